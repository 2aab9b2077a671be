#include "forms/events.h"

namespace vb::forms {

namespace {
platform::EventPump* g_pump = nullptr;
}

void SetEventPump(platform::EventPump* pump) { g_pump = pump; }

platform::EventPump* CurrentEventPump() { return g_pump; }

void DoEvents() {
    if (g_pump) g_pump->ProcessEvents();
}

}  // namespace vb::forms
