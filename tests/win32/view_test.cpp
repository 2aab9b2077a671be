// The Win32 view in this process: messages sent as the system or the user would send them,
// and what reaches the form layer.
#include <gtest/gtest.h>
#include <windows.h>
// Needs windows.h first.
#include <commctrl.h>

#include <string>

#include "forms/combo_box.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/menu.h"
#include "forms/progress_bar.h"
#include "forms/resources.h"
#include "forms/screen.h"
#include "forms/text_box.h"
#include "forms/timer.h"
#include "win32/event_pump.h"
#include "win32/form_window.h"
#include "win32/progress_bar_view.h"
#include "win32/screen_binding.h"
#include "win32/timer_view.h"

namespace vb::win32view {
namespace {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A small form: a field, a second field, a read-only log, a list, a link label, a progress
// bar and a menu with one item.
struct SampleForm : forms::Form {
    SampleForm() : forms::Form("frmSample") {
        SetClientSize(6000, 4500);
        field.Move(150, 150, 3000, 300);
        second.Move(150, 600, 3000, 300);
        log.SetMultiLine(true);
        log.SetLocked(true);
        log.SetScrollBars(forms::ScrollBars::Both);
        log.Move(150, 1050, 3000, 1500);
        list.Move(150, 2700, 3000, 300);
        link.SetCaption("link");
        link.Move(150, 3150, 1000, 180);
        bar.Move(150, 3450, 3000, 300);
        for (forms::Control* c :
             {static_cast<forms::Control*>(&field), static_cast<forms::Control*>(&second),
              static_cast<forms::Control*>(&log), static_cast<forms::Control*>(&list),
              static_cast<forms::Control*>(&link), static_cast<forms::Control*>(&bar)})
            AddControl(*c);
        field.SetTabIndex(0);
        second.SetTabIndex(1);
        log.SetTabIndex(2);
        list.SetTabIndex(3);
        operate.AddItem(go);
        AddMenu(operate);
    }
    forms::TextBox field{"field"};
    forms::TextBox second{"second"};
    forms::TextBox log{"log"};
    forms::ComboBox list{"list"};
    forms::Label link{"link"};
    forms::ProgressBar bar{"bar"};
    forms::Menu operate{"operate", "操作(&O)"};
    forms::Menu go{"go", "書き出し(&W)"};
};

// One shown window for the suite: under Wine without a window manager, taking a shown
// window down waits two seconds for the manager's answer.
class ViewTest : public ::testing::Test {
  protected:
    struct Shown {
        ScreenBinding screen;
        SampleForm form;
        FormWindow window{form};
    };
    static void SetUpTestSuite() {
        shown = new Shown;
        shown->window.ShowForm();
    }
    static void TearDownTestSuite() { delete shown; }
    static void Pump() { Win32EventPump().ProcessEvents(); }
    HWND H(const forms::Control& c) { return window.HandleFor(c); }

    static inline Shown* shown = nullptr;
    SampleForm& form = shown->form;
    FormWindow& window = shown->window;
};

TEST_F(ViewTest, TypingReachesTheModelAndTextFromCodeDoesNotEcho) {
    SendMessageW(H(form.field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ソース\r\nパス"));
    EXPECT_EQ(form.field.Text(), "ソースパス");  // a single-line field drops line breaks

    // Text from code keeps its line breaks in the model although the field cannot show them.
    form.second.SetText("a\r\nb");
    EXPECT_EQ(WindowText(H(form.second)), L"ab");
    EXPECT_EQ(form.second.Text(), "a\r\nb");
}

TEST_F(ViewTest, TheLogHoldsAnyLengthAndAppendsInPlace) {
    const std::string line(99, 'x');
    std::string all;
    for (int i = 0; i < 1000; ++i) {  // about 100 K characters, beyond the EDIT's default
        form.log.AppendText(line + "\r\n");
        all += line + "\r\n";
    }
    Pump();  // the read-only log takes a burst of lines at the next turn of the loop
    EXPECT_EQ(GetWindowTextLengthW(H(form.log)), static_cast<int>(all.size()));
    // A CR LF pair split between two appends still shows as one line break.
    form.log.SetText("a\r");
    form.log.AppendText("\nb");
    Pump();
    EXPECT_EQ(WindowText(H(form.log)), L"a\r\nb");
}

TEST_F(ViewTest, MenuItemsRunTheirCommandAndCarryAccessKeys) {
    int clicks = 0;
    form.go.Click = [&] { ++clicks; };
    SendMessageW(window.Handle(), WM_COMMAND, window.CommandIdFor(form.go), 0);
    EXPECT_EQ(clicks, 1);

    // Escape and Return in a field become the dialog commands IDCANCEL and IDOK: no item.
    SetFocus(H(form.field));
    SetDialogWindow(window.Handle());
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        MSG press{H(form.field), WM_KEYDOWN, key, 0, 0, {}};
        DispatchOne(press);
    }
    SetDialogWindow(nullptr);
    EXPECT_EQ(clicks, 1);

    HMENU bar = GetMenu(window.Handle());
    ASSERT_NE(bar, nullptr);
    wchar_t caption[64] = {};
    GetMenuStringW(bar, 0, caption, 64, MF_BYPOSITION);
    EXPECT_STREQ(caption, L"操作(&O)");
}

TEST_F(ViewTest, FocusLossIsReportedOnlyBetweenControlsOfTheWindow) {
    int lost = 0;
    form.field.LostFocus = [&] { ++lost; };
    SetFocus(H(form.field));
    SetFocus(window.Handle());  // the window itself (as when a menu opens): no control
    SetFocus(H(form.field));
    EXPECT_EQ(lost, 0);
    SetFocus(H(form.second));
    EXPECT_EQ(lost, 1);
}

TEST_F(ViewTest, TheFieldKeepsTheKeyboardAcrossAMessageBox) {
    // A box (or another program) takes the activation and gives it back: the keys typed
    // next must reach the field the user was in, not the bare window.
    SetFocus(H(form.second));
    HWND box = CreateWindowExW(0, L"STATIC", L"box", WS_POPUP, 0, 0, 50, 50, window.Handle(),
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(box);
    SetActiveWindow(window.Handle());
    DestroyWindow(box);
    EXPECT_EQ(GetFocus(), H(form.second));
}

TEST_F(ViewTest, TabLeavesTheLogForTheNextField) {
    SetFocus(H(form.log));
    MSG tab{H(form.log), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    DispatchOne(tab);  // without a dialog window Tab would stay in the log
    SetDialogWindow(window.Handle());
    DispatchOne(tab);
    SetDialogWindow(nullptr);
    EXPECT_EQ(GetFocus(), H(form.list));
}

// A browser's in-place object as the WebBrowser control's: it takes the keys it is told to
// take, and counts those it is offered.
class FakeInPlaceObject : public IOleInPlaceActiveObject {
  public:
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override {
        ++offered;
        return answer;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    HRESULT answer = S_OK;
    int offered = 0;
};

// Wine never loads a page into the real control: the first field stands in for its window.
TEST_F(ViewTest, KeysInsideTheBrowserReachItBeforeTheDialogManager) {
    FakeInPlaceObject page;
    AddKeyboardTarget(H(form.field), &page);
    SetDialogWindow(window.Handle());
    SetFocus(H(form.field));
    MSG tab{H(form.field), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    DispatchOne(tab);
    EXPECT_EQ(GetFocus(), H(form.field)) << "the page took Tab";
    page.answer = S_FALSE;
    DispatchOne(tab);
    EXPECT_EQ(GetFocus(), H(form.second)) << "the page let Tab go on";
    tab.hwnd = H(form.second);
    DispatchOne(tab);
    EXPECT_EQ(page.offered, 2) << "a key outside the page";
    SetDialogWindow(nullptr);
    RemoveKeyboardTarget(H(form.field));
}

TEST_F(ViewTest, UsersChoiceInAListAndClickOnALabelReachTheModel) {
    form.list.AddItem("a");
    form.list.AddItem("b");
    SendMessageW(H(form.list), CB_SETCURSEL, 1, 0);
    SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(H(form.list)));
    EXPECT_EQ(form.list.ListIndex(), 1);

    int clicks = 0;
    form.link.Click = [&] { ++clicks; };
    SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(0, STN_CLICKED),
                 reinterpret_cast<LPARAM>(H(form.link)));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ViewTest, AClosedListIsExactlyAsHighAsItsControl) {
    // A taller box hides the field below it. Under Wine the closed box cannot be lower than
    // the font's line height (its stand-in font is far taller than MS UI Gothic), so the
    // list is made taller than that here.
    form.list.SetHeight(450);
    RECT r{};
    GetWindowRect(H(form.list), &r);
    form.list.SetHeight(300);
    EXPECT_EQ(r.bottom - r.top,
              static_cast<LONG>(450 / forms::GetScreen().TwipsPerPixelY() + 0.5f));
}

TEST_F(ViewTest, ALinkLabelShowsTheHandCursorResource) {
    form.link.SetMouseIcon(forms::LoadResPicture("CURSOR_HAND", 2));
    form.link.SetMousePointer(forms::kPointerCustom);
    SendMessageW(window.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(H(form.link)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(GetModuleHandleW(nullptr), L"CURSOR_HAND"));
}

TEST_F(ViewTest, TheWindowShowsTheProgramsIcon) {
    EXPECT_NE(reinterpret_cast<HICON>(GetClassLongPtrW(window.Handle(), GCLP_HICON)),
              LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_NE(GetClassLongPtrW(window.Handle(), GCLP_HICONSM), 0u);
}

TEST_F(ViewTest, ProgressShowsAtOnceOnTheBar) {
    form.bar.SetMax(3.0f);
    form.bar.SetValue(1.0f);
    EXPECT_EQ(SendMessageW(H(form.bar), PBM_GETPOS, 0, 0), forms::ProgressBar::kScale / 3);
}

TEST_F(ViewTest, ClientAreaAndPlaceFollowTheFormInTwips) {
    RECT client{};
    GetClientRect(window.Handle(), &client);
    const float tpp = forms::GetScreen().TwipsPerPixelX();
    EXPECT_EQ(client.right, static_cast<LONG>(6000 / tpp + 0.5f));
    form.SetTopMost(true);
    EXPECT_TRUE(GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    form.SetLeft(1500);
    RECT outer{};
    GetWindowRect(window.Handle(), &outer);
    EXPECT_EQ(outer.left, static_cast<LONG>(1500 / tpp + 0.5f));
}

TEST(ViewCloseTest, CloseBoxUnloadsAndAKeepingHandlerKeepsTheWindow) {
    ScreenBinding screen;
    SampleForm form;
    FormWindow window(form);
    int asked = 0;
    bool keep = true;
    form.QueryUnload = [&](bool& cancel, forms::UnloadMode mode) {
        ++asked;
        EXPECT_EQ(mode, forms::UnloadMode::ControlMenu);
        cancel = keep;
    };
    SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window.Handle()));
    keep = false;
    SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(IsWindow(window.Handle()));
    EXPECT_TRUE(form.IsUnloaded());
}

TEST(ViewCloseTest, SessionEndUnloadsBeforeItsMessageReturns) {
    ScreenBinding screen;
    SampleForm form;
    FormWindow window(form);
    std::vector<forms::UnloadMode> modes;
    form.QueryUnload = [&](bool&, forms::UnloadMode mode) { modes.push_back(mode); };
    SendMessageW(window.Handle(), WM_ENDSESSION, TRUE, 0);
    // Unloaded before WM_ENDSESSION returned, and only once.
    ASSERT_EQ(modes.size(), 1u);
    EXPECT_EQ(modes[0], forms::UnloadMode::AppWindows);
    EXPECT_FALSE(IsWindow(window.Handle()));
}

TEST(TimerViewTest, EnablingARunningTimerAgainKeepsItsInterval) {
    forms::Timer timer("tmrSample");
    timer.SetInterval(300);
    timer.SetEnabled(true);
    TimerView view(timer);
    view.Refresh();
    ASSERT_TRUE(view.Active());
    // The interval passes without a message being taken: its tick is due. Enabled again
    // then must not start a new interval, which would drop the due tick.
    Sleep(400);
    view.Update(forms::Change::Enabled);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST(EventPumpTest, AQuitMetInThePumpIsLeftForTheMainLoop) {
    PostQuitMessage(7);
    Win32EventPump().ProcessEvents();
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
}  // namespace vb::win32view
