#pragma once

#include "forms/progress_bar.h"
#include "win32/control_view.h"

namespace vb::win32view {

// A progress bar as msctls_progress32 on the control's whole-number scale. Each change
// repaints the bar at once, since no messages run while a write-out moves it.
class ProgressBarView : public ControlView {
  public:
    ProgressBarView(forms::ProgressBar& bar, const ViewContext& context);

  protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;

  private:
    forms::ProgressBar& bar_;
};

}  // namespace vb::win32view
