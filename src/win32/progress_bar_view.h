#pragma once

#include "forms/progress_bar.h"
#include "win32/control_view.h"

namespace vb::win32view {

// A progress bar as msctls_progress32. The control's single-precision Max and Value map
// onto 0 to kScale; the refusals stay with the control. Each change repaints the bar at
// once, since no messages run while a write-out moves it.
class ProgressBarView : public ControlView {
  public:
    static constexpr int kScale = 10000;

    ProgressBarView(forms::ProgressBar& bar, const ViewContext& context);

    static int ScaledValue(float value, float max);

  protected:
    void RefreshOwn() override { ShowProgress(); }
    void UpdateOwn(forms::Change change) override {
        if (change == forms::Change::Progress) ShowProgress();
    }

  private:
    void ShowProgress();

    forms::ProgressBar& bar_;
};

}  // namespace vb::win32view
