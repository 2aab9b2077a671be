#pragma once

// The temporary program folder and the access layer the settings-file tests share.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "fakes.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/save/save_steps.h"
#include "settings/api_ini_file_access.h"
#include "temp_dir.h"

namespace vb::settings {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

inline std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(platform::PathFromUtf8(folder)))
        names.insert(platform::Utf8FromPath(entry.path().filename()));
    return names;
}

inline std::string Repeat(const std::string& unit, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) out += unit;
    return out;
}

class IniFileAccessTest : public testing::Test {
  protected:
    void SetUp() override { platform::SetProgramFolderForTesting(dir.str()); }
    void TearDown() override { platform::SetProgramFolderForTesting(""); }

    std::string IniPath() const { return dir / "VornackBuilder.ini"; }
    std::string Get(const std::string& key) {
        std::string value = "stale";
        return ini.GetIni("Setting", value, key) ? value : "<absent:" + value + ">";
    }

    // Saves a new value with each step of the save failing in turn (the first, the second,
    // ... until a save takes fewer steps than the one chosen to fail), with an error that no
    // step of either system treats apart: the file then holds the old settings or the new
    // ones, whole; a failed save says why; no file but the save's own temporary file has come
    // or gone beside it; and what kept reads of the file (who may use it) has not changed.
    void EachStepOfASaveFailingInTurn(const std::function<std::string()>& kept = {}) {
        const std::string before = "[Setting]\r\nA=111\r\n", after = "[Setting]\r\nA=2\r\n";
        const auto namesBeside = [this] {
            std::set<std::string> names = NamesIn(dir.str());
            std::erase_if(names, [](const std::string& name) {
                return name.starts_with(".VornackBuilder.ini.vbsave-") ||
                       name.starts_with("VornackBuilder.ini.vbsave-");
            });
            return names;
        };
        for (int failing = 1;; ++failing) {
            WriteBytes(IniPath(), before);
            const std::set<std::string> names = namesBeside();
            const std::string keptBefore = kept ? kept() : "";
            int steps = 0;
            platform::SetStepFaultForTesting(
                [&](std::string_view) { return ++steps == failing ? 29 : 0; });
            IniFileAccess access(boxes);
            const bool saved = access.PutIni("Setting", "2", "A");
            platform::SetStepFaultForTesting({});
            EXPECT_EQ(ReadBytes(IniPath()), saved ? after : before) << "step " << failing;
            EXPECT_TRUE(saved || !access.LastWriteFailure().reason.empty()) << "step " << failing;
            EXPECT_EQ(namesBeside(), names) << "step " << failing;
            EXPECT_EQ(kept ? kept() : "", keptBefore) << "step " << failing;
            if (steps < failing) break;
        }
    }

    test::TempDir dir;
    test::FakeMessageBox boxes;
    IniFileAccess ini{boxes};
};

}  // namespace vb::settings
