#include "qt/progress_bar_view.h"

#include <QProgressBar>

namespace vb::qtview {

ProgressBarView::ProgressBarView(forms::ProgressBar& bar, QWidget* parent)
    : ControlView(bar, new QProgressBar(parent)), bar_(bar) {
    qbar_ = static_cast<QProgressBar*>(Widget());
    qbar_->setRange(0, forms::ProgressBar::kScale);
    qbar_->setTextVisible(false);
    qbar_->setFocusPolicy(Qt::NoFocus);
}

void ProgressBarView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Progress) RefreshOwn();
}

void ProgressBarView::RefreshOwn() {
    // setValue repaints at once when the bar's look changes.
    qbar_->setValue(bar_.ScaledValue());
}

}  // namespace vb::qtview
