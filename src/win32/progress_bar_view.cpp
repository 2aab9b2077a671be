#include "win32/progress_bar_view.h"

#include <commctrl.h>

#include "win32/event_pump.h"

namespace vb::win32view {

ProgressBarView::ProgressBarView(forms::ProgressBar& bar, const ViewContext& context)
    : ControlView(bar, CreateChild(PROGRESS_CLASSW, 0, 0, context), context.parent), bar_(bar) {
    if (Handle()) SendMessageW(Handle(), PBM_SETRANGE32, 0, forms::ProgressBar::kScale);
}

void ProgressBarView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Progress) RefreshOwn();
}

void ProgressBarView::RefreshOwn() {
    if (!Handle()) return;
    SendMessageW(Handle(), PBM_SETPOS, bar_.ScaledValue(), 0);
    UpdateWindow(Handle());
    // The page loop runs no events; its progress shows the system the program is alive.
    ShowAlive();
}

}  // namespace vb::win32view
