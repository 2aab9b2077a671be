#pragma once

#include "forms/combo_box.h"
#include "qt/control_view.h"

class QComboBox;

namespace vb::qtview {

// A drop-down list as a non-editable QComboBox. The user's choice goes to the control's
// ListIndex; the control's items and selection are shown without echoing back.
class ComboBoxView : public ControlView {
  public:
    ComboBoxView(forms::ComboBox& box, QWidget* parent);

  protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;

  private:
    void ShowItems();
    void ShowAddedItem();
    void ShowSelection();

    forms::ComboBox& box_;
    QComboBox* combo_;
};

}  // namespace vb::qtview
