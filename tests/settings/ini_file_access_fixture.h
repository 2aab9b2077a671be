#pragma once

// The temporary program folder and the access layer the settings-file tests share.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "fakes.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
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

    test::TempDir dir;
    test::FakeMessageBox boxes;
    IniFileAccess ini{boxes};
};

}  // namespace vb::settings
