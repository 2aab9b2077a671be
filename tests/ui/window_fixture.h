#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/desktop_shell.h"
#include "platform/program_folder.h"
#include "temp_dir.h"
#include "ui/frm_vornack.h"

namespace vb::test {

// Records what the window hands to the desktop instead of starting programs.
class FakeDesktopShell : public platform::DesktopShell {
  public:
    int Execute(const std::optional<std::string>&, const std::string& file,
                const std::optional<std::string>&, const std::optional<std::string>&,
                int show) override {
        executed.push_back(file);
        shows.push_back(show);
        return executeResult;
    }
    bool OpenFolder(const std::string& folder) override {
        folders.push_back(folder);
        return true;
    }
    bool OpenAddress(const std::string& address) override {
        addresses.push_back(address);
        return addressResult;
    }

    std::vector<std::string> executed;
    std::vector<int> shows;
    std::vector<std::string> folders;
    std::vector<std::string> addresses;
    int executeResult = platform::kShellStarted;
    bool addressResult = true;
};

// A browser object whose title a test chooses (or that cannot be read).
class FakeBrowserObject : public forms::BrowserObject {
  public:
    explicit FakeBrowserObject(std::optional<std::string> title) : title_(std::move(title)) {}
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
        platform::SetDesktopShellForTesting(&shell);
        std::filesystem::create_directory(dir / "local");
    }
    void TearDown() override {
        platform::SetDesktopShellForTesting(nullptr);
        platform::SetProgramFolderForTesting("");
    }

    // The settings file, written as cp932 from UTF-8 lines joined by CR LF.
    void WriteSettings(const std::vector<std::string>& lines);
    std::string SettingsBytes() const { return ReadBytes(dir / "VornackBuilder.ini"); }
    std::string IniPath() const { return dir / "VornackBuilder.ini"; }

    ui::frmVornack& Window() {
        if (!window) window = std::make_unique<ui::frmVornack>(ui::WindowServices{boxes, events});
        return *window;
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
    std::unique_ptr<ui::frmVornack> window;
};

}  // namespace vb::test
