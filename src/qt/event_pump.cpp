#include "qt/event_pump.h"

#include <QCoreApplication>

namespace vb::qtview {

void QtEventPump::ProcessEvents() { QCoreApplication::processEvents(); }

}  // namespace vb::qtview
