#include "qt/browser_page.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace vb::qtview {

namespace {

// Reports a frame's document once it is ready. Reading the top page's location fails
// across origins, which is exactly when the host may not read the frame's title.
QString FrameReportScript(const QString& token) {
    return QStringLiteral(
               "(function () {"
               "  if (window === window.top) return;"
               "  var readable = true;"
               "  try { void window.top.location.href; } catch (e) { readable = false; }"
               "  console.log('%1' + JSON.stringify({"
               "    url: location.href, readable: readable,"
               "    title: readable ? document.title : ''}));"
               "})();")
        .arg(token);
}

}  // namespace

BrowserPage::BrowserPage(BrowserPolicy policy, QObject* parent)
    : QWebEnginePage(parent),
      policy_(policy),
      token_(QStringLiteral("vb-frame-") + QUuid::createUuid().toString(QUuid::Id128) +
             QLatin1Char(' ')) {
    QWebEngineScript script;
    script.setName(QStringLiteral("vb-frame-report"));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setRunsOnSubFrames(true);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setSourceCode(FrameReportScript(token_));
    scripts().insert(script);
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message,
                                           int, const QString&) {
    if (!message.startsWith(token_)) return;
    const QJsonObject report =
        QJsonDocument::fromJson(message.mid(token_.size()).toUtf8()).object();
    emit frameCompleted(report.value("url").toString(), report.value("readable").toBool(),
                        report.value("title").toString());
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (!policy_.MayNavigate(url)) return false;
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

}  // namespace vb::qtview
