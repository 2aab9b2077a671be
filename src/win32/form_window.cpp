#include "win32/form_window.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/wide_text.h"
#include "win32/event_pump.h"
#include "win32/failure_report.h"
#include "win32/geometry.h"
#include "win32/screen_binding.h"

namespace vb::win32view {

namespace {

constexpr const wchar_t* kWindowClass = L"VornackBuilderForm";
// A fixed frame: the layout does not follow a resize.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
// The window's font, in points.
constexpr int kFontPoints = 9;

// The program's own icon at one of the system's icon sizes; the system's application icon
// where the module carries none (the view's test programs).
HICON ProgramIcon(int widthMetric, int heightMetric) {
    auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"APP_ICON", IMAGE_ICON,
                                               GetSystemMetrics(widthMetric),
                                               GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
    return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

void RegisterWindowClass() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcW;  // replaced per window at WM_NCCREATE
        wc.hInstance = GetModuleHandleW(nullptr);
        // Large for the task bar and Alt+Tab, small for the caption.
        wc.hIcon = ProgramIcon(SM_CXICON, SM_CYICON);
        wc.hIconSm = ProgramIcon(SM_CXSMICON, SM_CYSMICON);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        // The form's background is the button face.
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

HFONT MakeFont() {
    const int dpi = static_cast<int>(1440.0f / SystemTwipsPerPixelY() + 0.5f);
    return CreateFontW(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic");
}

}  // namespace

FormWindow::FormWindow(forms::Form& form) : form_(form), views_(form), rules_(form, RunGuarded) {
    RegisterWindowClass();
    font_.reset(MakeFont());
    window_.reset(CreateWindowExW(kExStyle, kWindowClass,
                                  platform::WideFromUtf8(form.Caption()).c_str(), kStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_.get(), GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(&FormWindow::WindowProc));

    menuBar_ = std::make_unique<MenuBar>(window_.get(), form.Menus());
    views_.ShowControls(
        [this](forms::Control& control) -> ControlView& { return AddView(control); },
        [this](ControlView& view) { PlaceInContainer(view); }, [this] { Restack(); });

    ApplyClientSize();
    ApplyPosition();
    ApplyTopMost();
    // The hidden window's rectangles already hold its frame: the start-up sequence can
    // place the window before it is shown.
    ReportFrame();

    views_.FollowForm([this](forms::Change change) { OnFormChange(change); });
}

FormWindow::~FormWindow() {
    views_.Clear();
    menuBar_.reset();
    // The window outlives this object by a few messages while it is destroyed.
    if (IsWindow(window_.get())) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

HWND FormWindow::HandleFor(const forms::Control& control) const {
    ControlView* view = ViewFor(control);
    return view ? view->Handle() : nullptr;
}

ControlView* FormWindow::ViewFor(const forms::Control& control) const {
    return views_.For(control);
}

UINT FormWindow::CommandIdFor(const forms::Menu& menu) const {
    return menuBar_->CommandIdFor(menu);
}

ControlView* FormWindow::ViewOfWindow(HWND window) const {
    if (!window) return nullptr;
    for (const auto& view : views_.All())
        if (view->Handle() == window) return view.get();
    return nullptr;
}

ControlView& FormWindow::AddView(forms::Control& control) {
    // The handler is looked up when a browser asks, so it may be set after construction.
    ViewContext context{window_.get(), font_.get(), [this](const std::string& url) {
                            if (OpenExternally) OpenExternally(url);
                        }};
    return views_.Add(
        MakeControlView(control, context), [this](ControlView& view) { PlaceInContainer(view); },
        [this] { Restack(); });
}

void FormWindow::PlaceInContainer(ControlView& view) {
    HWND child = view.Handle();
    if (!child) return;
    HWND parent = window_.get();
    if (const forms::Control* container = view.Control().Container())
        if (HWND w = HandleFor(*container)) parent = w;
    if (GetParent(child) != parent) SetParent(child, parent);
}

void FormWindow::Restack() {
    // IsDialogMessage moves the focus in the order of the child windows, so the fields come
    // first in tab order; the other windows follow from the front of the form's z-order to
    // its back, so that one lying over another stays in front.
    std::vector<HWND> order;
    for (ControlView* view : views_.TabOrder()) order.push_back(view->Handle());
    const auto& z = form_.ZOrderList();
    for (auto it = z.rbegin(); it != z.rend(); ++it) {
        ControlView* view = ViewFor(**it);
        if (view && view->Handle() && !view->TakesFocus()) order.push_back(view->Handle());
    }
    HWND after = HWND_TOP;
    for (HWND child : order) {
        SetWindowPos(child, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child;
    }
}

void FormWindow::OnFormChange(forms::Change change) {
    using forms::Change;
    if (change == Change::Caption)
        SetWindowTextW(window_.get(), platform::WideFromUtf8(form_.Caption()).c_str());
    if (change == Change::Geometry) {
        ApplyClientSize();
        ApplyPosition();
    }
    if (change == Change::TopMost) ApplyTopMost();
    if (change == Change::Activate && IsWindowVisible(window_.get()))
        SetForegroundWindow(window_.get());
    if (change == Change::Unloaded) {
        rules_.MarkClosing();
        if (IsWindow(window_.get())) DestroyWindow(window_.get());
    }
}

void FormWindow::ApplyClientSize() {
    RECT r{0, 0, forms::ToPixelsX(form_.ClientWidth()), forms::ToPixelsY(form_.ClientHeight())};
    AdjustWindowRectEx(&r, kStyle, GetMenu(window_.get()) != nullptr, kExStyle);
    SetWindowPos(window_.get(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ApplyPosition() {
    SetWindowPos(window_.get(), nullptr, forms::ToPixelsX(form_.Left()),
                 forms::ToPixelsY(form_.Top()), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ApplyTopMost() {
    const bool topMost = (GetWindowLongPtrW(window_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topMost == form_.TopMost()) return;
    SetWindowPos(window_.get(), form_.TopMost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FormWindow::ShowForm() {
    ApplyPosition();
    ShowWindow(window_.get(), SW_SHOW);
    SetForegroundWindow(window_.get());
    UpdateWindow(window_.get());
    for (ControlView* view : views_.TabOrder()) {
        HWND child = view->Handle();
        if (IsWindowVisible(child) && IsWindowEnabled(child) &&
            (GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP)) {
            SetFocus(child);
            break;
        }
    }
    ReportFrame();
}

void FormWindow::ReportFrame() {
    RECT outer{}, client{};
    GetWindowRect(window_.get(), &outer);
    GetClientRect(window_.get(), &client);
    POINT origin{0, 0};
    ClientToScreen(window_.get(), &origin);
    form_.SetFrameFromView({forms::ToTwipsX(origin.x - outer.left),
                            forms::ToTwipsY(origin.y - outer.top),
                            forms::ToTwipsX(outer.right - (origin.x + client.right)),
                            forms::ToTwipsY(outer.bottom - (origin.y + client.bottom))});
}

void FormWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0) {
        if (HIWORD(wParam) == 0) menuBar_->HandleCommand(LOWORD(wParam));
        return;
    }
    ControlView* view = ViewOfWindow(reinterpret_cast<HWND>(lParam));
    if (view && view->OnCommand(HIWORD(wParam))) rules_.FocusMovedTo(&view->Control());
}

bool FormWindow::OnActivate(WPARAM wParam) {
    // A window that is no dialog gets the focus itself when it is activated again (after a
    // message box, or another program): the control that had it takes it back instead, so
    // that the keys the user types next reach that field.
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_.get(), focus)) focusBeforeDeactivation_ = focus;
        return false;
    }
    if (HIWORD(wParam) || !focusBeforeDeactivation_ || !IsWindow(focusBeforeDeactivation_))
        return false;  // minimised, or nothing to give back
    SetFocus(focusBeforeDeactivation_);
    return true;
}

void FormWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_.get(), &ps);
    // Lines and shapes lie on the form's surface, back to front.
    for (forms::Control* control : form_.ZOrderList()) {
        ControlView* view = ViewFor(*control);
        if (view && view->IsGraphical() && control->Visible() && !control->Container())
            view->Paint(dc);
    }
    EndPaint(window_.get(), &ps);
}

bool FormWindow::SetCursorFor(HWND under) {
    HCURSOR cursor = nullptr;
    if (ScreenBinding* screen = CurrentScreenBinding()) cursor = screen->Cursor();
    if (!cursor)
        if (ControlView* view = ViewOfWindow(under)) cursor = view->Cursor();
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

void FormWindow::Close() {
    if (rules_.AllowsClose() && IsWindow(window_.get())) DestroyWindow(window_.get());
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
            if (ControlView* view = ViewOfWindow(reinterpret_cast<HWND>(lParam)))
                if (HBRUSH brush = view->OnCtlColor(reinterpret_cast<HDC>(wParam)))
                    return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && SetCursorFor(reinterpret_cast<HWND>(wParam)))
                return TRUE;
            break;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_MOVE: {
            // The window's position (its frame's top-left corner) as the system placed it.
            RECT outer{};
            GetWindowRect(window_.get(), &outer);
            form_.SetPositionFromView(forms::ToTwipsX(outer.left), forms::ToTwipsY(outer.top));
            break;
        }
        case WM_ACTIVATE:
            if (OnActivate(wParam)) return 0;
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The settings are saved before this returns; the system may end the process
            // right after.
            if (wParam) rules_.EndSession();
            return 0;
        case WM_DISPLAYCHANGE:
        case WM_SETTINGCHANGE:
            if (ScreenBinding* screen = CurrentScreenBinding()) screen->Refresh();
            break;
        case WM_DESTROY:
            rules_.MarkClosing();
            if (quitWhenClosed_) PostQuitMessage(0);
            break;
        default:
            break;
    }
    return DefWindowProcW(window_.get(), message, wParam, lParam);
}

}  // namespace vb::win32view
