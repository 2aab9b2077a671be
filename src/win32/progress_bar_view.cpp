#include "win32/progress_bar_view.h"

#include <commctrl.h>

#include <chrono>
#include <cstdlib>

#include "win32/event_pump.h"

namespace vb::win32view {

namespace {

// How long the bar may show an older position, less than a hundredth behind, while a run
// moves it. Each position sent and painted is a round of window messages and paints (under
// Wine, requests to its server and the X server) on the page loop's thread; a few dozen a
// second still move the bar smoothly.
constexpr std::chrono::milliseconds kLeastRepaintPause{30};

}  // namespace

ProgressBarView::ProgressBarView(forms::ProgressBar& bar, const ViewContext& context)
    : ControlView(bar, CreateChild(PROGRESS_CLASSW, 0, 0, context), context.parent),
      bar_(bar),
      repaints_(kLeastRepaintPause) {
    if (Handle()) SendMessageW(Handle(), PBM_SETRANGE32, 0, forms::ProgressBar::kScale);
}

void ProgressBarView::UpdateOwn(forms::Change change) {
    if (change != forms::Change::Progress || !Handle()) return;
    // The page loop runs no events; its progress shows the system the program is alive.
    ShowAlive();
    const int scaled = bar_.ScaledValue();
    if (scaled == shown_) return;
    // A step of a hundredth, the start and the end show at once: a run's last position is
    // never left behind.
    const bool bigStep = std::abs(scaled - shown_) >= forms::ProgressBar::kScale / 100;
    const bool edge = scaled == 0 || bar_.Value() >= bar_.Max();
    if (!bigStep && !edge && !repaints_.Due()) return;
    Show(scaled);
}

void ProgressBarView::RefreshOwn() {
    if (!Handle()) return;
    Show(bar_.ScaledValue());
    ShowAlive();
}

void ProgressBarView::Show(int scaled) {
    repaints_.Began();
    SendMessageW(Handle(), PBM_SETPOS, scaled, 0);
    UpdateWindow(Handle());
    shown_ = scaled;
    repaints_.Ended();
}

}  // namespace vb::win32view
