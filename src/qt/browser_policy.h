#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>
#include <optional>

// What the browser control may load. As root the browser component runs without its
// sandbox, so it is then kept away from the network: it navigates only to about:blank and
// loopback addresses, and its pages may fetch only from loopback addresses.
namespace vb::qtview {

// True when the browser is kept to about:blank and loopback (as root, unless a test says).
bool BrowserKeptToLoopback();
void SetBrowserKeptToLoopbackForTesting(std::optional<bool> kept);

// http, https, ws or wss on localhost, 127.0.0.0/8 or ::1.
bool IsLoopbackAddress(const QUrl& url);

// Whether the control may navigate its page or a frame to the address.
bool MayNavigate(const QUrl& url);
// Whether a new window the page asks for may be handed to the user's own browser: http and
// https only, and as root only loopback addresses.
bool MayOpenExternally(const QUrl& url);
// Whether a page may fetch the address (also data: and blob: content, which stay inside).
bool MayRequest(const QUrl& url);

// Blocks every request MayRequest refuses.
class LoopbackInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
  public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

}  // namespace vb::qtview
