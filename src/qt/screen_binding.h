#pragma once

#include <QObject>
#include <QPointer>
#include <QScreen>

#include "forms/screen.h"

namespace vb::qtview {

// Twips per logical pixel: Qt scales logical pixels for high-density screens, so a logical
// pixel is always 1/96 inch.
inline constexpr float kTwipsPerPixel = 15.0f;

// Keeps a form-layer screen object in step with a QScreen (size and work area) and shows
// the application-wide pointer the screen object asks for.
class ScreenBinding : public QObject {
    Q_OBJECT
  public:
    // Without a QScreen the primary screen is taken.
    explicit ScreenBinding(forms::Screen& screen = forms::GetScreen(), QScreen* qscreen = nullptr,
                           QObject* parent = nullptr);
    ~ScreenBinding() override;

    // Copies size and work area from the QScreen now.
    void Refresh();

  private:
    void ApplyPointer();

    forms::Screen& screen_;
    QPointer<QScreen> qscreen_;
    bool overriding_ = false;
};

}  // namespace vb::qtview
