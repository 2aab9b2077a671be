#include "qt/control_view.h"

#include "forms/combo_box.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/progress_bar.h"
#include "forms/shape.h"
#include "forms/text_box.h"
#include "forms/timer.h"
#include "forms/web_browser.h"
#include "qt/combo_box_view.h"
#include "qt/cursors.h"
#include "qt/geometry.h"
#include "qt/graphic_views.h"
#include "qt/label_view.h"
#include "qt/progress_bar_view.h"
#include "qt/text_box_view.h"
#include "qt/timer_view.h"
#include "qt/web_browser_view.h"

namespace vb::qtview {

ControlView::ControlView(forms::Control& control, QWidget* widget)
    : control_(control), widget_(widget) {
    if (widget_) widget_->setObjectName(QString::fromStdString(control.Name()));
}

ControlView::~ControlView() = default;

void ControlView::Refresh() {
    if (widget_) {
        ApplyGeometry();
        widget_->setEnabled(control_.Enabled());
        widget_->setVisible(control_.Visible());
        ApplyPointer();
    }
    RefreshOwn();
}

void ControlView::Update(forms::Change change) {
    if (widget_) {
        switch (change) {
            case forms::Change::Visible:
                widget_->setVisible(control_.Visible());
                break;
            case forms::Change::Enabled:
                widget_->setEnabled(control_.Enabled());
                break;
            case forms::Change::Geometry:
                ApplyGeometry();
                break;
            case forms::Change::Pointer:
                ApplyPointer();
                break;
            default:
                break;
        }
    }
    UpdateOwn(change);
}

void ControlView::ApplyGeometry() { widget_->setGeometry(PixelRect(control_)); }

void ControlView::ApplyPointer() {
    if (IsDefaultPointer(control_.MousePointer()))
        widget_->unsetCursor();
    else
        widget_->setCursor(PointerCursor(control_.MousePointer(), control_.MouseIcon()));
}

std::unique_ptr<ControlView> MakeControlView(forms::Control& control, QWidget* parent,
                                             AddressOpener openExternally, BrowserPolicy policy) {
    if (auto* c = dynamic_cast<forms::TextBox*>(&control))
        return std::make_unique<TextBoxView>(*c, parent);
    if (auto* c = dynamic_cast<forms::ComboBox*>(&control))
        return std::make_unique<ComboBoxView>(*c, parent);
    if (auto* c = dynamic_cast<forms::Label*>(&control))
        return std::make_unique<LabelView>(*c, parent);
    if (auto* c = dynamic_cast<forms::ProgressBar*>(&control))
        return std::make_unique<ProgressBarView>(*c, parent);
    if (auto* c = dynamic_cast<forms::Line*>(&control))
        return std::make_unique<LineView>(*c, parent);
    if (auto* c = dynamic_cast<forms::Shape*>(&control))
        return std::make_unique<ShapeView>(*c, parent);
    if (auto* c = dynamic_cast<forms::Timer*>(&control))
        return std::make_unique<TimerView>(*c, parent);
    if (auto* c = dynamic_cast<forms::WebBrowser*>(&control))
        return std::make_unique<WebBrowserView>(*c, parent, std::move(openExternally), policy);
    return std::make_unique<ControlView>(control, new QWidget(parent));
}

}  // namespace vb::qtview
