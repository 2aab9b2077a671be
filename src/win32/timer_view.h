#pragma once

#include <windows.h>

#include "forms/timer_step.h"
#include "win32/control_view.h"

namespace vb::win32view {

// A timer as a thread timer (SetTimer without a window). Enabling a running timer leaves
// its interval running; a new Interval restarts it.
class TimerView : public ControlView {
  public:
    explicit TimerView(forms::Timer& timer);
    ~TimerView() override;

    bool Active() const { return id_ != 0; }

  protected:
    void RefreshOwn() override { Apply(forms::Change::Enabled); }
    void UpdateOwn(forms::Change change) override { Apply(change); }

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
    void Apply(forms::Change change);
    void Stop();

    forms::Timer& timer_;
    UINT_PTR id_ = 0;
};

}  // namespace vb::win32view
