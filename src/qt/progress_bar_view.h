#pragma once

#include "forms/progress_bar.h"
#include "qt/control_view.h"

class QProgressBar;

namespace vb::qtview {

// A progress bar as a QProgressBar. QProgressBar takes whole numbers only, so the control's
// single-precision Value out of Max is shown on a scale of 0 to 10000. The bar repaints as
// soon as it visibly changes, without waiting for the event loop.
class ProgressBarView : public ControlView {
  public:
    static constexpr int kScale = 10000;

    ProgressBarView(forms::ProgressBar& bar, QWidget* parent);
    static int ScaledValue(float value, float max);

  protected:
    void RefreshOwn() override { ShowProgress(); }
    void UpdateOwn(forms::Change change) override {
        if (change == forms::Change::Progress) ShowProgress();
    }

  private:
    void ShowProgress();

    forms::ProgressBar& bar_;
    QProgressBar* qbar_;
};

}  // namespace vb::qtview
