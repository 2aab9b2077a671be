// Start-up, the source-file count, the write-out from the menu and closing.
#include <filesystem>

#include "builder/messages.h"
#include "codec/codec.h"
#include "forms/line.h"
#include "forms/screen.h"
#include "platform/app_title.h"
#include "platform/system_error.h"
#include "window_fixture.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

class StartCloseTest : public WindowTest {
  protected:
    // A settings file naming a source folder with two sources, one server and one title.
    void PrepareJob() {
        fs::create_directory(dir / "src");
        WriteBytes(dir / "src/a.txt", codec::cp932::Encode("一行目ヴォルナック\r\n二行目"));
        WriteBytes(dir / "src/b.txt", codec::cp932::Encode("ヴォルナックだけ"));
        WriteBytes(dir / "template.html", "<title>&&TITLE&&</title>&&BODY&&");
        WriteSettings({"[Setting]", "Server1=host user pass", "PrevServer=0", "Title1=題名",
                       "PrevTitle=0", "SrcPath=" + (dir / "src"), "MakePageNum=3",
                       "PagePerSrcNum=2"});
    }
};

TEST_F(StartCloseTest, StartUpPlacesTheWindowAndFillsTheFields) {
    PrepareJob();
    auto& w = Started();
    EXPECT_TRUE(w.TopMost());
    // Centred on the whole screen.
    const auto& screen = forms::GetScreen();
    EXPECT_EQ(w.Top(), static_cast<int>((screen.Height() - w.Height()) / 2));
    EXPECT_EQ(w.Left(), static_cast<int>((screen.Width() - w.Width()) / 2));
    // The etched line pair under the menu bar.
    ASSERT_EQ(w.lnMenu.Count(), 2);
    EXPECT_TRUE(w.lnMenu[1].Visible());
    // The fields from the settings file.
    EXPECT_EQ(w.txtSrcPath.Text(), dir / "src");
    EXPECT_EQ(w.txtSrcNum.Text(), "2");
    EXPECT_EQ(w.cboServer.Text(), "host");
    EXPECT_EQ(w.txtMakePageNum.Text(), "3");
    EXPECT_TRUE(fs::is_directory(dir / "local/host"));
    EXPECT_EQ(w.lblUrl.MousePointer(), 99);
    EXPECT_NE(w.lblUrl.MouseIcon(), nullptr);
    // The caption as the window must show it; the other tests use platform::kAppTitle.
    EXPECT_EQ(w.Caption(), "ＺＵＮＤヴォルナックビルダー v" VB_TEST_CAPTION_VERSION);
    EXPECT_FALSE(w.wbCM.Visible());
    EXPECT_EQ(w.wbCM.LocationRequested(), "about:blank");
    EXPECT_EQ(w.txtLog.Text(), "");
    EXPECT_EQ(w.txtCM.Text(), "For Rent\r\nCM Area\r\n");  // stated here once: kAdPlaceholder
    EXPECT_TRUE(w.txtCM.Visible());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StartCloseTest, AStartThatLeavesServerFoldersMakesNone) {
    PrepareJob();
    auto services = Services();
    services.options.serverFolders = settings::ServerFolders::Leave;
    ui::frmVornack(services).Form_Load();
    EXPECT_FALSE(fs::exists(dir / "local/host"));
}

TEST_F(StartCloseTest, SourceCountFollowsTheTypedPath) {
    auto& w = Started();
    fs::create_directories(dir / "src/sub");
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.jpg"})
        WriteBytes((dir.path() / "src" / name).string(), "x");
    for (int i = 0; i < 10; ++i)
        WriteBytes((dir.path() / "src/sub" / std::to_string(i)).string(), "x");
    const struct {
        std::string path;
        std::string count;
    } cases[] = {
        {dir / "src", "4"},       {dir / "src/", "4"}, {dir / "missing", "0"},
        {dir / "src/a.txt", "0"}, {"", "0"},           {dir / "src/sub", "10"},
    };
    for (const auto& c : cases) {
        w.txtSrcPath.SetText(c.path);
        w.txtSrcPath.LostFocus();
        EXPECT_EQ(w.txtSrcNum.Text(), c.count) << c.path;
    }
}

TEST_F(StartCloseTest, WriteOutFromTheMenuFillsTheServersFolder) {
    PrepareJob();
    int seedsAsked = 0;
    pickSeed = [&] {
        ++seedsAsked;
        return 5u;
    };
    auto& w = Started();
    w.mnuGo.RaiseClick();
    EXPECT_EQ(seedsAsked, 1);  // the run seeds its picks from the window's services
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir / "local/host"))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names.size(), 4u);  // three pages and the index
    EXPECT_TRUE(fs::exists(dir / "local/host/index.html"));
    EXPECT_EQ(w.txtLog.Text(), std::string(builder::msg::kLogStarted) + builder::msg::kLogFinished);
    EXPECT_FLOAT_EQ(w.pbrProcess.Value(), 3.0f);
}

TEST_F(StartCloseTest, ClosingSavesTheFieldsWhateverAsksForIt) {
    PrepareJob();
    std::string saved[2];
    for (int road = 0; road < 2; ++road) {
        window.reset();
        PrepareJob();
        auto& w = Started();
        w.txtMakePageNum.SetText("42");
        if (road == 0)
            w.mnuExit.RaiseClick();
        else
            w.Unload(forms::UnloadMode::ControlMenu);  // the close box
        EXPECT_TRUE(w.IsUnloaded());
        saved[road] = SettingsBytes();
    }
    EXPECT_EQ(saved[0], saved[1]);
    EXPECT_NE(saved[0].find("MakePageNum=42\r\n"), std::string::npos);
}

TEST_F(StartCloseTest, SaveRunsOnceEvenWhenAskedTwice) {
    PrepareJob();
    auto& w = Started();
    w.mnuExit.RaiseClick();
    WriteBytes(IniPath(), "changed by hand");
    w.Unload(forms::UnloadMode::ControlMenu);
    w.Unload(forms::UnloadMode::AppWindows);
    EXPECT_EQ(SettingsBytes(), "changed by hand");
}

TEST_F(StartCloseTest, CloseDuringAWriteOutWaitsForItsEnd) {
    PrepareJob();
    auto& w = Started();
    const std::string before = SettingsBytes();
    bool unloadedDuringRun = true;
    events.AtYield(1, [&] {
        w.Unload(forms::UnloadMode::ControlMenu);
        unloadedDuringRun = w.IsUnloaded();
        EXPECT_EQ(SettingsBytes(), before);  // nothing saved while the run goes on
    });
    w.mnuGo.RaiseClick();
    EXPECT_FALSE(unloadedDuringRun);
    EXPECT_TRUE(w.IsUnloaded());
    EXPECT_TRUE(fs::exists(dir / "local/host/index.html"));
    EXPECT_NE(SettingsBytes(), before);
}

TEST_F(StartCloseTest, CloseDuringStartUpWaitsAndSavesTheLoadedValues) {
    PrepareJob();
    auto& w = Window();
    const std::string before = SettingsBytes();
    bool unloadedDuringLoad = true;
    events.AtYield(1, [&] {  // the 3D line's yield, before the settings are loaded
        w.Unload(forms::UnloadMode::ControlMenu);
        unloadedDuringLoad = w.IsUnloaded();
        EXPECT_EQ(SettingsBytes(), before);
    });
    w.Form_Load();
    EXPECT_FALSE(unloadedDuringLoad);
    EXPECT_TRUE(w.IsUnloaded());
    EXPECT_NE(SettingsBytes().find("MakePageNum=3\r\n"), std::string::npos);
    EXPECT_NE(SettingsBytes().find("Server1=host user pass\r\n"), std::string::npos);
}

TEST_F(StartCloseTest, AFailingStartUpIsReportedAndTheWindowStillCloses) {
    PrepareJob();
    auto& w = Window();
    const std::string before = SettingsBytes();
    events.AtYield(1, [] { throw std::runtime_error("途中で失敗しました。"); });
    w.Load();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "途中で失敗しました。");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Critical);
    EXPECT_TRUE(w.Unload(forms::UnloadMode::ControlMenu));
    EXPECT_EQ(SettingsBytes(), before);  // the fields it never loaded are not saved
}

TEST_F(StartCloseTest, AFailureWithoutDescriptionAtStartUpIsReportedInTheProgramsWords) {
    auto& w = Window();
    events.AtYield(1, [] { throw 42; });
    w.Load();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "予期しないエラーが発生しました。");
}

TEST_F(StartCloseTest, CommandsDuringStartUpAreIgnored) {
    PrepareJob();
    auto& w = Window();
    events.AtYield(1, [&] {  // before the settings are loaded
        w.mnuGo.RaiseClick();
        w.mnuVersion.RaiseClick();
    });
    w.Load();
    EXPECT_TRUE(boxes.shown().empty());  // no run's confirmation, no version box
    EXPECT_FALSE(fs::exists(dir / "local/host/index.html"));
}

TEST_F(StartCloseTest, SessionEndDuringAWriteOutSavesAtOnceAndClosesAfterIt) {
    PrepareJob();
    auto& w = Started();
    std::string savedDuringRun;
    bool unloadedDuringRun = true;
    events.AtYield(1, [&] {
        w.txtPagePerSrcNum.SetText("1");
        w.Unload(forms::UnloadMode::AppWindows);
        savedDuringRun = SettingsBytes();
        unloadedDuringRun = w.IsUnloaded();
    });
    w.mnuGo.RaiseClick();
    EXPECT_NE(savedDuringRun.find("PagePerSrcNum=1\r\n"), std::string::npos);
    EXPECT_FALSE(unloadedDuringRun);
    EXPECT_TRUE(w.IsUnloaded());
    EXPECT_TRUE(fs::exists(dir / "local/host/index.html"));
}

TEST_F(StartCloseTest, CommandsDuringAWriteOutAreIgnored) {
    PrepareJob();
    auto& w = Started();
    events.AtYield(1, [&] {
        w.txtMakePageNum.SetText("3");
        WriteSettings({"[Setting]", "Server1=other", "PrevServer=0"});
        w.mnuFileReload.RaiseClick();  // would switch the server mid-run
        w.mnuGo.RaiseClick();          // a second write-out
        w.mnuVersion.RaiseClick();
    });
    w.mnuGo.RaiseClick();
    EXPECT_EQ(w.cboServer.Text(), "host");
    EXPECT_FALSE(fs::exists(dir / "local/other"));
    EXPECT_EQ(boxes.shown().size(), 1u);  // only the confirmation of the one run
    // Once the run is over the commands work again.
    w.mnuFileReload.RaiseClick();
    EXPECT_EQ(w.cboServer.Text(), "other");
}

// A file-system service whose listing fails, to stand for a folder that cannot be read.
class UnlistableFso : public platform::FileSystemObject {
  public:
    platform::Folder GetFolder(const std::string& path) override {
        throw platform::SystemError("フォルダの中を読めません。\r\n" + path);
    }
};

TEST_F(StartCloseTest, AnUnlistableSourceFolderIsReportedAndTheProgramCarriesOn) {
    PrepareJob();
    makeFileSystem = [] { return std::make_unique<UnlistableFso>(); };
    auto& w = Window();
    w.Form_Load();
    EXPECT_EQ(w.txtSrcNum.Text(), "0");  // the load never fails
    w.mnuGo.RaiseClick();                // the run's own failure report
    ASSERT_FALSE(boxes.shown().empty());
    EXPECT_EQ(boxes.shown().back().icon, platform::MsgIcon::Critical);
    EXPECT_NE(boxes.shown().back().text.find("フォルダの中を読めません。"), std::string::npos);
    EXPECT_EQ(boxes.shown().back().caption, platform::kAppTitle);
}

}  // namespace
}  // namespace vb::test
