#include "qt/browser_policy.h"

#include <QHostAddress>

#include "qt/process_setup.h"

namespace vb::qtview {

namespace {
std::optional<bool> g_keptForTesting;
}

bool BrowserKeptToLoopback() { return g_keptForTesting.value_or(RunsAsRoot()); }

void SetBrowserKeptToLoopbackForTesting(std::optional<bool> kept) { g_keptForTesting = kept; }

bool IsLoopbackAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme != "http" && scheme != "https" && scheme != "ws" && scheme != "wss") return false;
    const QString host = url.host().toLower();
    if (host == "localhost") return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool MayNavigate(const QUrl& url) {
    if (!BrowserKeptToLoopback()) return true;
    return url == QUrl(QStringLiteral("about:blank")) || IsLoopbackAddress(url);
}

bool MayOpenExternally(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme != "http" && scheme != "https") return false;
    return !BrowserKeptToLoopback() || IsLoopbackAddress(url);
}

bool MayRequest(const QUrl& url) {
    if (!BrowserKeptToLoopback()) return true;
    const QString scheme = url.scheme().toLower();
    return scheme == "about" || scheme == "data" || scheme == "blob" || IsLoopbackAddress(url);
}

void LoopbackInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!MayRequest(info.requestUrl())) info.block(true);
}

}  // namespace vb::qtview
