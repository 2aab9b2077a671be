#include "win32/progress_bar_view.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "win32/event_pump.h"

namespace vb::win32view {

ProgressBarView::ProgressBarView(forms::ProgressBar& bar, const ViewContext& context)
    : ControlView(bar, CreateChild(PROGRESS_CLASSW, 0, 0, context), context.parent), bar_(bar) {
    if (Handle()) SendMessageW(Handle(), PBM_SETRANGE32, 0, kScale);
}

int ProgressBarView::ScaledValue(float value, float max) {
    if (!(max > 0)) return 0;
    const double scaled = static_cast<double>(value) / static_cast<double>(max) * kScale;
    return static_cast<int>(std::clamp(std::lround(scaled), 0L, static_cast<long>(kScale)));
}

void ProgressBarView::ShowProgress() {
    if (!Handle()) return;
    SendMessageW(Handle(), PBM_SETPOS, ScaledValue(bar_.Value(), bar_.Max()), 0);
    UpdateWindow(Handle());
    // The page loop runs no events; its progress shows the system the program is alive.
    ShowAlive();
}

}  // namespace vb::win32view
