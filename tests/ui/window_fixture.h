#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/program_folder.h"
#include "temp_dir.h"
#include "ui/frm_vornack.h"

namespace vb::test {

// A browser object whose title a test chooses (or that cannot be read).
class FakeBrowserObject : public forms::BrowserObject {
  public:
    explicit FakeBrowserObject(std::optional<std::string> title) : title_(std::move(title)) {}
    bool HasDocumentTitle() const override { return title_.has_value(); }
    std::string DocumentTitle() const override {
        if (!title_) throw std::runtime_error("no document");
        return *title_;
    }
    std::string LocationURL() const override { return "http://127.0.0.1/"; }

  private:
    std::optional<std::string> title_;
};

// One window in a program folder of its own (a temporary folder with a local/ folder),
// with fake message boxes, event pump and desktop.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetProgramFolderForTesting(dir.str(), "VornackBuilder");
        std::filesystem::create_directory(dir / "local");
    }
    void TearDown() override { platform::SetProgramFolderForTesting(""); }

    // The settings file, written as cp932 from UTF-8 lines joined by CR LF.
    void WriteSettings(const std::vector<std::string>& lines);
    std::string SettingsBytes() const { return ReadBytes(dir / "VornackBuilder.ini"); }
    std::string IniPath() const { return dir / "VornackBuilder.ini"; }

    ui::frmVornack& Window() {
        if (!window) window = std::make_unique<ui::frmVornack>(Services());
        return *window;
    }
    // The fakes below; a test may change what the window is given before it is made.
    ui::WindowServices Services() {
        return {.boxes = boxes,
                .events = events,
                .shell = shell,
                .options = {.makeFileSystem = makeFileSystem, .pickSeed = pickSeed}};
    }
    // Creates the window and runs its start-up.
    ui::frmVornack& Started() {
        Window().Form_Load();
        return *window;
    }

    TempDir dir;
    FakeMessageBox boxes;
    CountingEventPump events;
    FakeDesktopShell shell;
    std::function<std::unique_ptr<platform::FileSystemObject>()> makeFileSystem;
    std::function<std::uint32_t()> pickSeed;
    std::unique_ptr<ui::frmVornack> window;
};

}  // namespace vb::test
