#pragma once

#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/control_visitor.h"

namespace vb::forms {

// A drop-down list: the user picks an item, nothing can be typed. Text is the chosen item
// ("" when nothing is chosen) and cannot be set.
class ComboBox : public Control {
  public:
    using Control::Control;
    const char* TypeName() const override { return "ComboBox"; }
    void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }

    std::string Text() const override;
    void SetText(const std::string& text) override;  // refused: the list is selection only

    void Clear();
    void AddItem(const std::string& item);
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::vector<std::string>& Items() const { return items_; }

    // -1 when nothing is chosen. Setting a position outside -1..ListCount()-1 throws
    // InvalidPropertyValue and leaves the selection as it was.
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int index);
    // Whether SetListIndex takes the position: -1 (nothing chosen) or an item's.
    bool AcceptsListIndex(int index) const { return index >= -1 && index < ListCount(); }
    // The user chose an item in the view.
    void SetListIndexFromView(int index) { listIndex_ = index; }

  private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

}  // namespace vb::forms
