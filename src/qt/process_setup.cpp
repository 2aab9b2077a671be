#include "qt/process_setup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace vb::qtview {

bool RunsAsRoot() {
#ifdef _WIN32
    return false;
#else
    return geteuid() == 0;
#endif
}

void PrepareProcess() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Wayland ignores window positions and the stay-on-top flag; where an X server is
    // there as well, the window goes to it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    if (RunsAsRoot()) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

bool LoadJapaneseTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return app.installTranslator(translator);
}

}  // namespace vb::qtview
