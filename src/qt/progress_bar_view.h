#pragma once

#include "forms/progress_bar.h"
#include "qt/control_view.h"

class QProgressBar;

namespace vb::qtview {

// A progress bar as a QProgressBar on the control's whole-number scale. The bar repaints as
// soon as it visibly changes, without waiting for the event loop.
class ProgressBarView : public ControlView {
  public:
    ProgressBarView(forms::ProgressBar& bar, QWidget* parent);

  protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;

  private:
    forms::ProgressBar& bar_;
    QProgressBar* qbar_;
};

}  // namespace vb::qtview
