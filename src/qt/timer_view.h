#pragma once

#include <QTimer>

#include "forms/timer_step.h"
#include "qt/control_view.h"

namespace vb::qtview {

// A timer on a QTimer. Enabling a running timer changes nothing (its interval goes on);
// a new Interval restarts it.
class TimerView : public ControlView {
  public:
    TimerView(forms::Timer& timer, QObject* parent);
    bool TakesFocus() const override { return false; }
    const QTimer& qtimer() const { return *qtimer_; }

  protected:
    void RefreshOwn() override { Apply(forms::Change::Enabled); }
    void UpdateOwn(forms::Change change) override { Apply(change); }

  private:
    void Apply(forms::Change change);

    forms::Timer& timer_;
    QPointer<QTimer> qtimer_;
};

}  // namespace vb::qtview
