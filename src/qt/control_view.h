#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "forms/control.h"
#include "qt/browser_policy.h"

namespace vb::qtview {

// Keeps one control of the form layer and its widget in step. The properties every control
// has (visibility, enabled state, geometry, pointer) are handled here; each kind of control
// adds its own. The control must outlive its view.
class ControlView {
  public:
    ControlView(forms::Control& control, QWidget* widget);
    virtual ~ControlView();
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    forms::Control& Control() const { return control_; }
    // nullptr for controls that are not drawn (timers).
    QWidget* Widget() const { return widget_.data(); }

    // Brings the widget up to date with every property of the control.
    void Refresh();
    // Brings the widget up to date after one change of the control.
    void Update(forms::Change change);

    // Drawn on its container's surface, beneath the controls with windows of their own
    // (labels, lines, shapes).
    virtual bool IsGraphical() const { return false; }
    // Takes part in the tab order.
    virtual bool TakesFocus() const { return widget_ != nullptr; }

  protected:
    virtual void RefreshOwn() {}
    virtual void UpdateOwn(forms::Change) {}
    virtual void ApplyGeometry();

  private:
    void ApplyPointer();

    forms::Control& control_;
    QPointer<QWidget> widget_;
};

// Opens an address in the user's own browser.
using AddressOpener = std::function<void(const std::string& url)>;

// The view for a control; every kind of control has one.
// A browser control hands the new windows the user asks for to openExternally and keeps to
// the policy.
std::unique_ptr<ControlView> MakeControlView(forms::Control& control, QWidget* parent,
                                             AddressOpener openExternally = {},
                                             BrowserPolicy policy = BrowserPolicy::OfThisProcess());

}  // namespace vb::qtview
