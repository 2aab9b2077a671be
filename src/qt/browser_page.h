#pragma once

#include <QString>
#include <QWebEnginePage>

#include "qt/browser_policy.h"

namespace vb::qtview {

// The browser control's page. Qt has no notification per completed frame navigation, so a
// small script runs in every frame when its document is ready and reports the frame's
// address and its own document.title through the console, marked with a token the page's
// own scripts cannot know (the script runs in a world of its own). A frame of another
// origin than the top page reports that its title cannot be read. The page also refuses
// navigations its browser policy forbids.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
  public:
    explicit BrowserPage(BrowserPolicy policy, QObject* parent = nullptr);

  signals:
    // A frame (not the top page) finished loading its document.
    void frameCompleted(const QString& url, bool titleReadable, const QString& title);

  protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

  private:
    BrowserPolicy policy_;
    QString token_;
};

}  // namespace vb::qtview
