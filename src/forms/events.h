#pragma once

#include "platform/message_box.h"

// Letting pending window events run in the middle of a procedure. The view installs its
// event pump at start; without one (headless) DoEvents does nothing.
namespace vb::forms {

// Installs the pump DoEvents uses (nullptr removes it). The pump must outlive its use.
void SetEventPump(platform::EventPump* pump);
platform::EventPump* CurrentEventPump();

// Lets pending window events run, then returns.
void DoEvents();

}  // namespace vb::forms
