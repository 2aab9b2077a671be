#include <gtest/gtest.h>

#include "platform/desktop_shell.h"
#include "temp_dir.h"

// The desktop shell on Windows refuses what is not there, with the shell's own numbers, and
// starts nothing for it: no File Explorer on a file or a missing folder, no program for an
// empty address.
namespace vb::platform {
namespace {

TEST(SystemShellWin32, RefusesWhatIsNotThereWithoutStartingAnything) {
    test::TempDir dir;
    SystemDesktopShell shell;
    EXPECT_EQ(shell.Execute(std::nullopt, dir / "無い😀.txt", std::nullopt, std::nullopt, 1),
              kShellFileNotFound);
    test::WriteBytes(dir / "doc.txt", "x");
    EXPECT_FALSE(shell.OpenFolder(dir / "doc.txt"));
    EXPECT_FALSE(shell.OpenFolder(dir / "無い😀"));
    EXPECT_FALSE(shell.OpenFolder(""));
    EXPECT_FALSE(shell.OpenAddress(""));
}

}  // namespace
}  // namespace vb::platform
