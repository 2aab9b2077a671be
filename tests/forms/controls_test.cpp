#include <gtest/gtest.h>

#include <vector>

#include "forms/errors.h"
#include "forms/line.h"
#include "forms/menu.h"
#include "forms/screen.h"
#include "forms/shape.h"
#include "forms/timer.h"
#include "forms/web_browser.h"

namespace vb::forms {
namespace {

TEST(LineControl, HasNoBoxGeometryAndChecksItsBorder) {
    Line line("lnMenu", 0);
    EXPECT_STREQ(line.TypeName(), "Line");
    EXPECT_THROW(line.SetLeft(1), PropertyNotSupported);
    EXPECT_THROW(line.SetTop(1), PropertyNotSupported);
    EXPECT_THROW(line.SetWidth(1), PropertyNotSupported);
    EXPECT_THROW(line.SetHeight(1), PropertyNotSupported);
    for (int style = 0; style <= 6; ++style) EXPECT_NO_THROW(line.SetBorderStyle(style));
    EXPECT_THROW(line.SetBorderStyle(7), InvalidPropertyValue);
    EXPECT_THROW(line.SetBorderStyle(-1), InvalidPropertyValue);
    EXPECT_THROW(line.SetBorderWidth(0), InvalidPropertyValue);
    EXPECT_EQ(line.BorderStyle(), 6);
    EXPECT_EQ(line.BorderColor(), kWindowText);
}

TEST(ShapeControl, AcceptsSixShapes) {
    Shape shape("shpBox");
    EXPECT_STREQ(shape.TypeName(), "Shape");
    for (int kind = 0; kind <= 5; ++kind) EXPECT_NO_THROW(shape.SetKind(kind));
    EXPECT_THROW(shape.SetKind(6), InvalidPropertyValue);
    EXPECT_EQ(shape.Kind(), kShapeRoundedSquare);
}

TEST(TimerControl, TicksOnlyWhileEnabledWithAnInterval) {
    Timer timer("tmrNaviStep");
    int ticks = 0;
    timer.Tick = [&] { ++ticks; };
    timer.RaiseTick();  // enabled, but no interval
    timer.SetInterval(1000);
    timer.RaiseTick();
    timer.SetEnabled(false);
    timer.RaiseTick();
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Running());
    EXPECT_THROW(timer.SetInterval(-1), InvalidPropertyValue);
    EXPECT_THROW(timer.SetInterval(65536), InvalidPropertyValue);
    EXPECT_EQ(timer.Interval(), 1000);
}

TEST(TimerControl, EnablingARunningTimerTellsTheViewNothing) {
    // The view restarts the interval only on a change; a second True must not be one.
    Timer timer("tmrNaviStep");
    timer.SetInterval(1000);
    timer.SetEnabled(false);
    std::vector<Change> changes;
    timer.SetObserver([&](Change c) { changes.push_back(c); });
    timer.SetEnabled(true);
    timer.SetEnabled(true);
    timer.SetInterval(500);
    EXPECT_EQ(changes, (std::vector<Change>{Change::Enabled, Change::Interval}));
}

struct AccessKeyCase {
    const char* caption;
    const char* key;
    const char* shown;
};
void PrintTo(const AccessKeyCase& c, std::ostream* os) { *os << c.caption; }

class MenuAccessKey : public ::testing::TestWithParam<AccessKeyCase> {};

TEST_P(MenuAccessKey, IsTheCharacterAfterASingleAmpersand) {
    const AccessKeyCase& c = GetParam();
    Menu menu("mnuTest", c.caption);
    EXPECT_EQ(menu.AccessKey(), c.key);
    EXPECT_EQ(CaptionWithoutAccessMarks(c.caption), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, MenuAccessKey,
    ::testing::Values(AccessKeyCase{"操作(&O)", "O", "操作(O)"},
                      AccessKeyCase{"ﾊﾞｰｼﾞｮﾝ情報(&A)...", "A", "ﾊﾞｰｼﾞｮﾝ情報(A)..."},
                      AccessKeyCase{"Save && Quit", "", "Save & Quit"},
                      AccessKeyCase{"&&x&Y", "Y", "&xY"}, AccessKeyCase{"&ｱ", "ｱ", "ｱ"},
                      AccessKeyCase{"trailing&", "", "trailing"}, AccessKeyCase{"-", "", "-"}));

TEST(MenuTree, ItemsKnowTheirMenuAndSeparatorsAreDashes) {
    Menu operate("mnuOperate", "操作(&O)");
    Menu go("mnuGo", "書き出し(&W)");
    Menu separator("xSprt1", "-");
    operate.AddItem(go);
    operate.AddItem(separator);
    EXPECT_EQ(go.ParentMenu(), &operate);
    EXPECT_TRUE(separator.IsSeparator());
    EXPECT_FALSE(go.IsSeparator());
    int clicks = 0;
    go.Click = [&] { ++clicks; };
    go.RaiseClick();
    separator.RaiseClick();  // nothing attached: nothing happens
    EXPECT_EQ(clicks, 1);
}

TEST(WebBrowserControl, RecordsTheLastAddressAndPassesTheBrowserObjectOn) {
    WebBrowser wb("wbCM");
    std::vector<Change> changes;
    wb.SetObserver([&](Change c) { changes.push_back(c); });
    EXPECT_EQ(wb.LocationRequested(), "");
    wb.Navigate("about:blank");
    wb.Navigate("http://127.0.0.1:8080/member/zund/cm/navigator.php");
    EXPECT_EQ(wb.LocationRequested(), "http://127.0.0.1:8080/member/zund/cm/navigator.php");
    EXPECT_EQ(changes, (std::vector<Change>{Change::Navigate, Change::Navigate}));

    std::vector<std::string> titles;
    int unreadable = 0;
    wb.NavigateComplete2 = [&](const BrowserObject& browser, const std::string&) {
        try {
            titles.push_back(browser.DocumentTitle());
        } catch (const DocumentUnavailable&) {
            ++unreadable;
        }
    };
    wb.RaiseNavigateComplete2(CompletedNavigation::WithTitle("about:blank", ""), "about:blank");
    wb.RaiseNavigateComplete2(CompletedNavigation::WithTitle("http://x/", "ZUND"), "http://x/");
    wb.RaiseNavigateComplete2(CompletedNavigation::Unreadable("http://y/", "refused"), "http://y/");
    EXPECT_EQ(titles, (std::vector<std::string>{"", "ZUND"}));
    EXPECT_EQ(unreadable, 1);
}

TEST(ScreenObject, MeasuresInTwipsAndRefusesEmptyGeometry) {
    Screen screen;
    EXPECT_EQ(screen.Width(), 1024 * 15);
    EXPECT_EQ(screen.Height(), 768 * 15);
    screen.SetGeometry(1920, 1080, 12.0f, 12.0f, {0, 0, 1920, 1040});
    EXPECT_EQ(screen.Width(), 23040);
    EXPECT_EQ(screen.Height(), 12960);
    EXPECT_EQ(screen.WorkArea().bottom, 1040);
    EXPECT_THROW(screen.SetGeometry(0, 1080, 12, 12, {}), InvalidPropertyValue);
    EXPECT_THROW(screen.SetGeometry(1920, 1080, 0, 12, {}), InvalidPropertyValue);
    EXPECT_EQ(screen.WidthPixels(), 1920);
}

}  // namespace
}  // namespace vb::forms
