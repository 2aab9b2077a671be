#include "qt/timer_view.h"

#include "qt/failure_report.h"

namespace vb::qtview {

TimerView::TimerView(forms::Timer& timer, QObject* parent)
    : ControlView(timer, nullptr), timer_(timer), qtimer_(new QTimer(parent)) {
    qtimer_->setObjectName(QString::fromStdString(timer.Name()));
    QObject::connect(qtimer_, &QTimer::timeout, qtimer_,
                     [this] { RunGuarded([this] { timer_.RaiseTick(); }); });
}

void TimerView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Enabled) ApplyRunning(false);
    if (change == forms::Change::Interval) ApplyRunning(true);
}

void TimerView::ApplyRunning(bool restart) {
    if (!qtimer_) return;
    if (!timer_.Running()) {
        qtimer_->stop();
    } else if (restart || !qtimer_->isActive()) {
        qtimer_->start(timer_.Interval());
    }
}

}  // namespace vb::qtview
