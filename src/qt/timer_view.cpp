#include "qt/timer_view.h"

#include "qt/failure_report.h"

namespace vb::qtview {

TimerView::TimerView(forms::Timer& timer, QObject* parent)
    : ControlView(timer, nullptr), timer_(timer), qtimer_(new QTimer(parent)) {
    qtimer_->setObjectName(QString::fromStdString(timer.Name()));
    QObject::connect(qtimer_, &QTimer::timeout, qtimer_,
                     [this] { RunGuarded([this] { timer_.RaiseTick(); }); });
}

void TimerView::Apply(forms::Change change) {
    if (!qtimer_) return;
    const forms::TimerStep step = forms::StepAfter(timer_, change, qtimer_->isActive());
    if (step == forms::TimerStep::Stop) qtimer_->stop();
    if (step == forms::TimerStep::Start) qtimer_->start(timer_.Interval());
}

}  // namespace vb::qtview
