#include "win32/timer_view.h"

#include <map>

#include "win32/failure_report.h"

namespace vb::win32view {

namespace {
std::map<UINT_PTR, TimerView*>& Running() {
    static std::map<UINT_PTR, TimerView*> running;
    return running;
}
}  // namespace

TimerView::TimerView(forms::Timer& timer) : ControlView(timer, nullptr, nullptr), timer_(timer) {}

TimerView::~TimerView() { Stop(); }

void TimerView::Apply(forms::Change change) {
    const forms::TimerStep step = forms::StepAfter(timer_, change, Active());
    if (step == forms::TimerStep::Stop) return Stop();
    if (step == forms::TimerStep::Keep) return;
    // SetTimer with the id of a running thread timer restarts it at the new interval.
    const UINT_PTR id = SetTimer(nullptr, id_, static_cast<UINT>(timer_.Interval()), OnTimer);
    if (id != id_) {
        Running().erase(id_);
        id_ = id;
    }
    if (id_) Running()[id_] = this;
}

void TimerView::Stop() {
    if (!id_) return;
    KillTimer(nullptr, id_);
    Running().erase(id_);
    id_ = 0;
}

void CALLBACK TimerView::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Running().find(id);
    if (it == Running().end()) return;
    forms::Timer& timer = it->second->timer_;
    RunGuarded([&] { timer.RaiseTick(); });
}

}  // namespace vb::win32view
