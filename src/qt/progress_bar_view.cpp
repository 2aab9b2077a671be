#include "qt/progress_bar_view.h"

#include <QProgressBar>
#include <cmath>

namespace vb::qtview {

ProgressBarView::ProgressBarView(forms::ProgressBar& bar, QWidget* parent)
    : ControlView(bar, new QProgressBar(parent)), bar_(bar) {
    qbar_ = static_cast<QProgressBar*>(Widget());
    qbar_->setRange(0, kScale);
    qbar_->setTextVisible(false);
    qbar_->setFocusPolicy(Qt::NoFocus);
}

int ProgressBarView::ScaledValue(float value, float max) {
    if (!(max > 0)) return 0;
    const double scaled = static_cast<double>(value) / static_cast<double>(max) * kScale;
    return static_cast<int>(std::clamp(std::lround(scaled), 0L, static_cast<long>(kScale)));
}

void ProgressBarView::ShowProgress() {
    // setValue repaints at once when the bar's look changes.
    qbar_->setValue(ScaledValue(bar_.Value(), bar_.Max()));
}

}  // namespace vb::qtview
