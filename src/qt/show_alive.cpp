#include "qt/show_alive.h"

#include <QtGui/private/qtx11extras_p.h>
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "forms/pacing.h"
#include "forms/window_thread.h"

namespace vb::qtview {

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_ATOM_NONE;
    std::free(reply);
    return atom;
}

// What one look at Qt's queue found.
struct Look {
    xcb_atom_t protocols = XCB_ATOM_NONE;
    xcb_atom_t ping = XCB_ATOM_NONE;
    xcb_window_t root = XCB_WINDOW_NONE;
    std::vector<xcb_client_message_event_t> pings;
    std::map<xcb_window_t, QRegion> uncovered;
};

// Notes the pings and exposures among the queued events; takes none (answers false, so the
// look goes on to the end of the queue).
bool Note(xcb_generic_event_t* event, void* data) {
    Look& look = *static_cast<Look*>(data);
    switch (event->response_type & ~0x80) {
        case XCB_CLIENT_MESSAGE: {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (message->format == 32 && message->type == look.protocols &&
                message->data.data32[0] == look.ping && message->window != look.root)
                look.pings.push_back(*message);
            break;
        }
        case XCB_EXPOSE: {
            const auto* expose = reinterpret_cast<const xcb_expose_event_t*>(event);
            look.uncovered[expose->window] +=
                QRect(expose->x, expose->y, expose->width, expose->height);
            break;
        }
        default:
            break;
    }
    return false;
}

// The reply EWMH asks for: the ping itself, sent back to the root window.
void Answer(xcb_connection_t* connection, xcb_window_t root, xcb_client_message_event_t ping) {
    ping.response_type = XCB_CLIENT_MESSAGE;
    ping.window = root;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&ping));
}

// Draws the uncovered part of one of the program's native windows again (Qt widgets paint
// at once on repaint, as the progress bar does during the run). The region is in the
// window's device pixels.
void Repaint(xcb_window_t window, const QRegion& region) {
    QWidget* widget = QWidget::find(window);
    if (!widget || !widget->isVisible()) return;
    const qreal ratio = widget->devicePixelRatioF();
    QRegion logical;
    for (const QRect& r : region)
        logical += QRectF(r.x() / ratio, r.y() / ratio, r.width() / ratio, r.height() / ratio)
                       .toAlignedRect();
    widget->repaint(logical);
}

// Qt's private X11 interface, looked up when the program runs rather than linked: Qt
// promises nothing of it between releases, and the Linux release runs on the distribution's
// Qt. A Qt without these functions, of these types, disables only the looks (the pings go
// unanswered during a long run); the program, and every command-line run, starts all the same.
struct PrivateX11 {
    decltype(&QX11Info::isPlatformX11) isPlatformX11 = nullptr;
    decltype(&QX11Info::connection) connection = nullptr;
    decltype(&QX11Info::appRootWindow) appRootWindow = nullptr;
    decltype(&QX11Info::generatePeekerId) generatePeekerId = nullptr;
    decltype(&QX11Info::peekEventQueue) peekEventQueue = nullptr;

    // Empty when one is missing.
    static std::optional<PrivateX11> Find() {
        PrivateX11 x;
        const auto find = [](auto& function, const char* symbol) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                ::dlsym(RTLD_DEFAULT, symbol));
            return function != nullptr;
        };
        // The names are the functions' with their types (the Itanium C++ ABI): a change of
        // type is a missing function.
        if (find(x.isPlatformX11, "_ZN8QX11Info13isPlatformX11Ev") &&
            find(x.connection, "_ZN8QX11Info10connectionEv") &&
            find(x.appRootWindow, "_ZN8QX11Info13appRootWindowEi") &&
            find(x.generatePeekerId, "_ZN8QX11Info16generatePeekerIdEv") &&
            find(x.peekEventQueue,
                 "_ZN8QX11Info14peekEventQueueEPFbP19xcb_generic_event_tPvES2_6QFlagsINS_"
                 "10PeekOptionEEi"))
            return x;
        return std::nullopt;
    }
};

class QueueLooker {
  public:
    explicit QueueLooker(const PrivateX11& x) : x_(x), connection_(x.connection()) {
        look_.root = x_.appRootWindow(-1);
        look_.protocols = InternAtom(connection_, "WM_PROTOCOLS");
        look_.ping = InternAtom(connection_, "_NET_WM_PING");
        // The queue remembers how far this looker has read, so each look sees only what
        // came since the last one (from the start again once Qt has handled events).
        peeker_ = x_.generatePeekerId();
    }

    void LookOnce() {
        look_.pings.clear();
        look_.uncovered.clear();
        x_.peekEventQueue(Note, &look_, QX11Info::PeekFromCachedIndex, peeker_);
        for (const xcb_client_message_event_t& ping : look_.pings) {
            // The queue may show a ping again (after Qt handled other events, or when it was
            // the only new one): answer each once.
            const std::pair<std::uint32_t, std::uint32_t> key{ping.data.data32[2],
                                                              ping.data.data32[1]};
            if (std::find(answered_.begin(), answered_.end(), key) != answered_.end()) continue;
            Answer(connection_, look_.root, ping);
            answered_.push_back(key);
            if (answered_.size() > kAnsweredKept) answered_.pop_front();
        }
        for (const auto& [window, region] : look_.uncovered) Repaint(window, region);
        // The answers, and what was drawn since the last look (the repaints, the progress
        // bar), go to the X server now: Qt sends its buffered requests only when it next
        // handles events, or when the buffer is full.
        xcb_flush(connection_);
    }

  private:
    static constexpr std::size_t kAnsweredKept = 32;

    const PrivateX11 x_;
    xcb_connection_t* connection_;
    qint32 peeker_ = -1;
    Look look_;
    std::deque<std::pair<std::uint32_t, std::uint32_t>> answered_;  // (window, time)
};

}  // namespace

void ShowAlive() {
    static Clock::time_point last{};
    const Clock::time_point now = Clock::now();
    if (last != Clock::time_point{} && now - last < forms::kAliveLookInterval) return;
    last = now;
    static const std::optional<PrivateX11> x11 = PrivateX11::Find();
    static const bool onX11 = x11 && x11->isPlatformX11();
    if (!onX11) return;
    // Qt's queue is the window thread's: no other thread may look at it (checked in every
    // build, as the form layer's calls are).
    forms::CheckWindowThread("ShowAlive");
    static QueueLooker looker(*x11);
    looker.LookOnce();
}

}  // namespace vb::qtview
