#pragma once

// Keeps the desktop from taking the window as hung during a long stretch that must not run
// events (the write-out's page loop).
namespace vb::qtview {

// At most four times a second, looks at the X events Qt has read but not yet handled,
// without taking any from its queue: answers every window manager's ping (_NET_WM_PING)
// found there, as Qt itself would, and repaints the parts of the program's windows that were
// uncovered meanwhile. Nothing is dispatched: keys, clicks, a close, focus changes, timers
// and posted events stay where they are and run when the event loop next runs, in their
// order (Qt then answers the same pings again; a window manager ignores a reply to a ping
// it no longer waits for). Does nothing on a platform other than X11.
//
// Qt's public interface cannot do this: letting Qt handle the connection's events
// (QCoreApplication::processEvents, whatever its flags) also sends every posted event (queued
// signals, the browser's notifications, deferred calls) and hands on focus changes, which
// ExcludeUserInputEvents does not hold back; and the events cannot be read off the
// connection beside Qt, whose reader thread takes them all, nor given back to it. The ping
// comes only to the connection that made the window. So this looks at Qt's queue through
// its private X11 interface (QX11Info::peekEventQueue, made for such looks) and answers on
// Qt's own connection.
void ShowAlive();

}  // namespace vb::qtview
