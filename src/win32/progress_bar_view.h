#pragma once

#include "forms/pacing.h"
#include "forms/progress_bar.h"
#include "win32/control_view.h"

namespace vb::win32view {

// A progress bar as msctls_progress32 on the control's whole-number scale. A change repaints
// the bar at once, since no messages run while a write-out moves it; while a run moves it
// page after page, paced (forms::Pacing; a step of a hundredth, the start and the end at
// once).
class ProgressBarView : public ControlView {
  public:
    ProgressBarView(forms::ProgressBar& bar, const ViewContext& context);

  protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;

  private:
    void Show(int scaled);  // sets and paints the position

    forms::ProgressBar& bar_;
    int shown_ = -1;  // the position last shown, -1 before the first
    forms::Pacing repaints_;
};

}  // namespace vb::win32view
