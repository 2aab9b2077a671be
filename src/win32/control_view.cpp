#include "win32/control_view.h"

#include "forms/combo_box.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/progress_bar.h"
#include "forms/shape.h"
#include "forms/text_box.h"
#include "forms/timer.h"
#include "forms/web_browser.h"
#include "win32/combo_box_view.h"
#include "win32/cursors.h"
#include "win32/geometry.h"
#include "win32/graphic_views.h"
#include "win32/label_view.h"
#include "win32/progress_bar_view.h"
#include "win32/text_box_view.h"
#include "win32/timer_view.h"
#include "win32/web_browser_view.h"

namespace vb::win32view {

ControlView::ControlView(forms::Control& control, HWND window, HWND surface)
    : control_(control), window_(window), surface_(surface) {}

void ControlView::Refresh() {
    if (Handle()) {
        ApplyGeometry();
        EnableWindow(Handle(), control_.Enabled());
        ShowWindow(Handle(), control_.Visible() ? SW_SHOWNA : SW_HIDE);
    }
    RefreshOwn();
    if (IsGraphical()) InvalidateSurface();
}

void ControlView::Update(forms::Change change) {
    if (Handle()) {
        switch (change) {
            case forms::Change::Visible:
                ShowWindow(Handle(), control_.Visible() ? SW_SHOWNA : SW_HIDE);
                break;
            case forms::Change::Enabled:
                EnableWindow(Handle(), control_.Enabled());
                break;
            case forms::Change::Geometry:
                ApplyGeometry();
                break;
            default:
                break;
        }
    } else if (IsGraphical() &&
               (change == forms::Change::Visible || change == forms::Change::Geometry ||
                change == forms::Change::Appearance || change == forms::Change::ZOrder)) {
        InvalidateSurface();
    }
    UpdateOwn(change);
}

void ControlView::ApplyGeometry() {
    const RECT r = PixelRect(control_);
    MoveWindow(Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void ControlView::InvalidateSurface() const {
    if (surface_) InvalidateRect(surface_, nullptr, TRUE);
}

HCURSOR ControlView::Cursor() const {
    return PointerCursor(control_.MousePointer(), control_.MouseIcon());
}

HWND CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, const ViewContext& context,
                 const wchar_t* windowName) {
    static int nextId = 0x100;
    HWND window =
        CreateWindowExW(exStyle, className, windowName, WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0,
                        0, context.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)),
                        GetModuleHandleW(nullptr), nullptr);
    if (window && context.font)
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(context.font), FALSE);
    return window;
}

namespace {

// Makes the window view of each kind of control.
class ViewMaker final : public forms::ControlVisitor {
  public:
    explicit ViewMaker(const ViewContext& context) : context_(context) {}

    void Visit(forms::TextBox& c) override { made = std::make_unique<TextBoxView>(c, context_); }
    void Visit(forms::ComboBox& c) override { made = std::make_unique<ComboBoxView>(c, context_); }
    void Visit(forms::Label& c) override { made = std::make_unique<LabelView>(c, context_); }
    void Visit(forms::ProgressBar& c) override {
        made = std::make_unique<ProgressBarView>(c, context_);
    }
    void Visit(forms::Line& c) override { made = std::make_unique<LineView>(c, context_.parent); }
    void Visit(forms::Shape& c) override { made = std::make_unique<ShapeView>(c, context_.parent); }
    void Visit(forms::Timer& c) override { made = std::make_unique<TimerView>(c); }
    void Visit(forms::WebBrowser& c) override {
        made = std::make_unique<WebBrowserView>(c, context_);
    }

    std::unique_ptr<ControlView> made;

  private:
    const ViewContext& context_;
};

}  // namespace

std::unique_ptr<ControlView> MakeControlView(forms::Control& control, const ViewContext& context) {
    ViewMaker maker(context);
    control.Accept(maker);
    return std::move(maker.made);
}

}  // namespace vb::win32view
