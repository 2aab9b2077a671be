#include "qt/browser_policy.h"

#include <QHostAddress>

#include "qt/process_setup.h"

namespace vb::qtview {

bool IsLoopbackAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme != "http" && scheme != "https" && scheme != "ws" && scheme != "wss") return false;
    const QString host = url.host().toLower();
    if (host == "localhost") return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

BrowserPolicy BrowserPolicy::OfThisProcess() { return BrowserPolicy(RunsAsRoot()); }

bool BrowserPolicy::MayNavigate(const QUrl& url) const {
    if (!keptToLoopback_) return true;
    return url == QUrl(QStringLiteral("about:blank")) || IsLoopbackAddress(url);
}

bool BrowserPolicy::MayOpenExternally(const QUrl& url) const {
    const QString scheme = url.scheme().toLower();
    if (scheme != "http" && scheme != "https") return false;
    return !keptToLoopback_ || IsLoopbackAddress(url);
}

bool BrowserPolicy::MayRequest(const QUrl& url) const {
    if (!keptToLoopback_) return true;
    const QString scheme = url.scheme().toLower();
    return scheme == "about" || scheme == "data" || scheme == "blob" || IsLoopbackAddress(url);
}

void LoopbackInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!BrowserPolicy(true).MayRequest(info.requestUrl())) info.block(true);
}

}  // namespace vb::qtview
