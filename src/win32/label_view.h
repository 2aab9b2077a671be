#pragma once

#include "forms/label.h"
#include "win32/control_view.h"
#include "win32/system_colors.h"

namespace vb::win32view {

// A label as a STATIC window that takes clicks (SS_NOTIFY) and raises the label's Click,
// in its fore colour on the button face. It stands at its position and grows where this
// system's font needs more room than its size gives, so that no caption is cut off.
class LabelView : public ControlView {
  public:
    LabelView(forms::Label& label, const ViewContext& context);

    bool OnCommand(WORD code) override;
    HBRUSH OnCtlColor(HDC dc) override;

  protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;
    void ApplyGeometry() override;

  private:
    forms::Label& label_;
    ColorBrush background_;
};

}  // namespace vb::win32view
