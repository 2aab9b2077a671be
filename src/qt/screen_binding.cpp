#include "qt/screen_binding.h"

#include <QGuiApplication>

#include "qt/cursors.h"

namespace vb::qtview {

ScreenBinding::ScreenBinding(forms::Screen& screen, QScreen* qscreen, QObject* parent)
    : QObject(parent),
      screen_(screen),
      qscreen_(qscreen ? qscreen : QGuiApplication::primaryScreen()) {
    if (qscreen_) {
        connect(qscreen_, &QScreen::geometryChanged, this, &ScreenBinding::Refresh);
        connect(qscreen_, &QScreen::availableGeometryChanged, this, &ScreenBinding::Refresh);
    }
    Refresh();
    screen_.SetObserver([this](forms::Change change) {
        if (change == forms::Change::Pointer) ApplyPointer();
    });
    ApplyPointer();
}

ScreenBinding::~ScreenBinding() {
    screen_.SetObserver(nullptr);
    if (overriding_) QGuiApplication::restoreOverrideCursor();
}

void ScreenBinding::Refresh() {
    if (!qscreen_) return;
    const QRect size = qscreen_->geometry();
    const QRect work = qscreen_->availableGeometry().translated(-size.topLeft());
    // QRect::bottom() is the last row inside; the work area's bottom edge is the first
    // row below it.
    screen_.SetGeometry(size.width(), size.height(), kTwipsPerPixel, kTwipsPerPixel,
                        {work.x(), work.y(), work.x() + work.width(), work.y() + work.height()});
}

void ScreenBinding::ApplyPointer() {
    if (overriding_) {
        QGuiApplication::restoreOverrideCursor();
        overriding_ = false;
    }
    if (auto cursor = PointerCursor(screen_.MousePointer(), screen_.MouseIcon())) {
        QGuiApplication::setOverrideCursor(*cursor);
        overriding_ = true;
    }
}

}  // namespace vb::qtview
