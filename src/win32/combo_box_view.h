#pragma once

#include "forms/combo_box.h"
#include "win32/control_view.h"

namespace vb::win32view {

// A drop-down list as a COMBOBOX (CBS_DROPDOWNLIST): the user picks, nothing is typed. The
// closed box is as high as the control; the list drops below it.
class ComboBoxView : public ControlView {
  public:
    ComboBoxView(forms::ComboBox& box, const ViewContext& context);

    bool TakesFocus() const override { return Handle() != nullptr; }
    bool OnCommand(WORD code) override;

  protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;
    void ApplyGeometry() override;

  private:
    void FitClosedHeight(int height);
    void ShowItems();
    void ShowAddedItem();
    void ShowSelection();

    forms::ComboBox& box_;
};

}  // namespace vb::win32view
