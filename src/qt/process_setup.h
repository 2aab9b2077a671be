#pragma once

class QCoreApplication;

// What the program does around creating its QApplication.
namespace vb::qtview {

// True when the process runs with root's user id.
bool RunsAsRoot();

// Call before the QApplication is created. The browser component needs shared OpenGL
// contexts; as root its sandbox cannot run, so it is switched off (and the browser control
// then keeps to about:blank and loopback addresses, see browser_policy.h). On a desktop
// that offers both Wayland and X, X is chosen (window position and stay-on-top work there).
void PrepareProcess();

// Loads Qt's own Japanese translations (qtbase_ja.qm), whatever the system locale, so that
// standard buttons read はい / いいえ / OK. False when they are not installed.
bool LoadJapaneseTranslations(QCoreApplication& app);

}  // namespace vb::qtview
