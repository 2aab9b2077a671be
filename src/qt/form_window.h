#pragma once

#include <QMainWindow>
#include <map>
#include <vector>

#include "forms/form.h"
#include "forms/view_registry.h"
#include "forms/window_rules.h"
#include "qt/control_view.h"

class QAction;

namespace vb::qtview {

// Draws a form of the form layer as a QMainWindow: the form's menus in the menu bar, a
// client area of the form's fixed size holding every control at its twips position
// converted at the screen's twips per pixel, the caption, the position and the top-most
// flag. Model and widgets stay in step both ways.
//
// Closing the window (close box, system menu, end of session) unloads the form, which runs
// its QueryUnload exactly once; unloading the form from code closes the window. A focus
// loss is reported to a control only when the focus moves to another control of this
// window. A letter typed with Alt is an access key: it opens its menu or does nothing, and
// never lands in a control. The form and its controls must outlive the window.
class FormWindow : public QMainWindow {
    Q_OBJECT
  public:
    // browserPolicy: what the form's browser controls may load (tests keep them to loopback
    // whoever runs them).
    explicit FormWindow(forms::Form& form, QWidget* parent = nullptr,
                        BrowserPolicy browserPolicy = BrowserPolicy::OfThisProcess());
    ~FormWindow() override;

    forms::Form& Form() const { return form_; }
    // The client area the controls sit in (below the menu bar).
    QWidget* ClientArea() const { return client_; }
    // The widget drawing a control, nullptr when it has none (timers).
    QWidget* WidgetFor(const forms::Control& control) const;
    ControlView* ViewFor(const forms::Control& control) const;
    QAction* ActionFor(const forms::Menu& menu) const;

    // Opens an address in the user's own browser: new windows the user asks for in an
    // embedded browser. Looked up when a browser asks, so it may be set at any time.
    AddressOpener OpenExternally;

    // Shows the window at the form's position, gives the focus to the first control in the
    // tab order and reports the real frame back to the form.
    void ShowForm();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    ControlView& AddView(forms::Control& control);
    void PlaceInContainer(ControlView& view);
    void Restack();
    void ApplyTabOrder();
    std::vector<QWidget*> TabOrder() const;
    void OnFormChange(forms::Change change);
    void ApplyClientSize();
    void ApplyPosition();
    void ApplyTopMost();
    void ReportFrame();
    void OpenMenuOfAccessKey(int key);
    void OnFocusChanged(QWidget* old, QWidget* now);
    forms::Control* ControlOf(QWidget* widget) const;

    forms::Form& form_;
    BrowserPolicy browserPolicy_;
    QWidget* client_;
    forms::ViewRegistry<ControlView> views_;
    std::map<const QWidget*, forms::Control*> controlOf_;
    std::map<const forms::Menu*, QAction*> actions_;
    forms::WindowRules rules_;
};

}  // namespace vb::qtview
