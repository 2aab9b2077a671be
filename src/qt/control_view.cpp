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
#include "qt/show_alive.h"
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
    // Long stretches without events (the page loop, a start-up reading a large settings
    // file) change controls as they go: each change lets the desktop see the program alive.
    ShowAlive();
}

void ControlView::ApplyGeometry() { widget_->setGeometry(PixelRect(control_)); }

void ControlView::ApplyPointer() {
    if (auto cursor = PointerCursor(control_.MousePointer(), control_.MouseIcon()))
        widget_->setCursor(*cursor);
    else
        widget_->unsetCursor();
}

namespace {

// Makes the widget view of each kind of control.
class ViewMaker final : public forms::ControlVisitor {
  public:
    ViewMaker(QWidget* parent, AddressOpener openExternally, BrowserPolicy policy)
        : parent_(parent), openExternally_(std::move(openExternally)), policy_(policy) {}

    void Visit(forms::TextBox& c) override { made = std::make_unique<TextBoxView>(c, parent_); }
    void Visit(forms::ComboBox& c) override { made = std::make_unique<ComboBoxView>(c, parent_); }
    void Visit(forms::Label& c) override { made = std::make_unique<LabelView>(c, parent_); }
    void Visit(forms::ProgressBar& c) override {
        made = std::make_unique<ProgressBarView>(c, parent_);
    }
    void Visit(forms::Line& c) override { made = std::make_unique<LineView>(c, parent_); }
    void Visit(forms::Shape& c) override { made = std::make_unique<ShapeView>(c, parent_); }
    void Visit(forms::Timer& c) override { made = std::make_unique<TimerView>(c, parent_); }
    void Visit(forms::WebBrowser& c) override {
        made = std::make_unique<WebBrowserView>(c, parent_, std::move(openExternally_), policy_);
    }

    std::unique_ptr<ControlView> made;

  private:
    QWidget* parent_;
    AddressOpener openExternally_;
    BrowserPolicy policy_;
};

}  // namespace

std::unique_ptr<ControlView> MakeControlView(forms::Control& control, QWidget* parent,
                                             AddressOpener openExternally, BrowserPolicy policy) {
    ViewMaker maker(parent, std::move(openExternally), policy);
    control.Accept(maker);
    return std::move(maker.made);
}

}  // namespace vb::qtview
