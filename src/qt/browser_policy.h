#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

// What the browser control may load. As root the browser component runs without its
// sandbox, so it is then kept away from the network: it navigates only to about:blank and
// loopback addresses, and its pages may fetch only from loopback addresses.
namespace vb::qtview {

// http, https, ws or wss on localhost, 127.0.0.0/8 or ::1.
bool IsLoopbackAddress(const QUrl& url);

// The rule one browser view keeps to, chosen when the view is made.
class BrowserPolicy {
  public:
    // Kept to about:blank and loopback addresses when the process runs as root.
    static BrowserPolicy OfThisProcess();
    explicit BrowserPolicy(bool keptToLoopback) : keptToLoopback_(keptToLoopback) {}

    bool KeptToLoopback() const { return keptToLoopback_; }
    // Whether the control may navigate its page or a frame to the address.
    bool MayNavigate(const QUrl& url) const;
    // Whether a new window the page asks for may be handed to the user's own browser: http
    // and https only, and when kept to loopback only loopback addresses.
    bool MayOpenExternally(const QUrl& url) const;
    // Whether a page may fetch the address (also data: and blob: content, which stay inside).
    bool MayRequest(const QUrl& url) const;

  private:
    bool keptToLoopback_;
};

// Blocks every request that a browser kept to loopback may not make.
class LoopbackInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
  public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

}  // namespace vb::qtview
