#include <windows.h>
// clang-format off
#include <winioctl.h>
// clang-format on

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "child_process_win32.h"
#include "file_system_fixture.h"
#include "platform/file_system.h"
#include "platform/leftover_name.h"
#include "platform/native_path.h"
#include "platform/own_name.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"
#include "platform/writability.h"
#include "temp_dir.h"

// The file service on Windows: the read-only attribute, folders and files that another
// program holds open, junctions, and the system's own failure texts.
using namespace vb::platform;
namespace fs = std::filesystem;
using vb::test::ReadBytes;
using vb::test::WriteBytes;

namespace {

using FileSystemWin32Test = vb::test::FileSystemFixture;

// An open handle to a file or folder, as File Explorer or an editor keeps one.
class HeldOpen {
  public:
    HeldOpen(const std::string& path, DWORD share)
        : h_(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
    ~HeldOpen() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE h_;
};

// Makes link a junction to target (an absolute folder path); false when this system's file
// system has no junctions.
bool MakeJunction(const std::string& link, const std::string& target) {
    if (!CreateDirectoryW(WideFromUtf8(link).c_str(), nullptr)) return false;
    const std::wstring substitute = L"\\??\\" + WideFromUtf8(target);
    const std::wstring print = WideFromUtf8(target);
    std::vector<char> buffer(sizeof(DWORD) + 2 * sizeof(WORD) + 4 * sizeof(WORD) +
                             (substitute.size() + print.size() + 2) * sizeof(wchar_t));
    auto* data = reinterpret_cast<BYTE*>(buffer.data());
    auto put16 = [&](std::size_t at, WORD v) { std::memcpy(data + at, &v, sizeof v); };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(data, &tag, sizeof tag);
    put16(4, static_cast<WORD>(buffer.size() - 8));  // ReparseDataLength
    const WORD subBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    put16(8, 0);                                     // SubstituteNameOffset
    put16(10, subBytes);                             // SubstituteNameLength
    put16(12, static_cast<WORD>(subBytes + 2));      // PrintNameOffset
    put16(14, static_cast<WORD>(print.size() * 2));  // PrintNameLength
    std::memcpy(data + 16, substitute.c_str(), subBytes + 2);
    std::memcpy(data + 16 + subBytes + 2, print.c_str(), (print.size() + 1) * 2);

    const HANDLE h =
        CreateFileW(WideFromUtf8(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const BOOL ok =
        DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(),
                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(h);
    return ok && (GetFileAttributesW(WideFromUtf8(link).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
}

TEST_F(FileSystemWin32Test, TheReadOnlyAttributeProtectsAFileFromDeletion) {
    const std::string out = dir / "out";
    fso.CreateFolder(out);
    WriteBytes(out + "\\a.html", "a");
    WriteBytes(out + "\\locked.html", "l");
    ASSERT_TRUE(
        SetFileAttributesW(WideFromUtf8(out + "\\locked.html").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(MayWrite(out + "\\locked.html"));
    EXPECT_TRUE(MayWrite(out + "\\a.html"));

    EXPECT_THROW(DeleteFolder(out), SystemError);
    EXPECT_EQ(ReadBytes(out + "\\a.html"), "a");
    SetFileAttributesW(WideFromUtf8(out + "\\locked.html").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileSystemWin32Test, ARunAgainWhileTheOutputFolderIsOpenElsewhereMakesItAnew) {
    const std::string out = dir / "出力";
    fso.CreateFolder(out);
    WriteBytes(out + "\\old.html", "old");
    {
        // File Explorer showing the folder: it lets others delete it.
        HeldOpen explorer(out, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(explorer.ok());
        DeleteFolder(out);
        fso.CreateFolder(out);
        fso.WriteAllText(out + "\\new.html", "new");
    }
    EXPECT_EQ(ReadBytes(out + "\\new.html"), "new");
    EXPECT_FALSE(fs::exists(PathFromUtf8(out + "\\old.html")));
}

// A run killed while removing the folder it had moved aside leaves that folder beside the
// output folder; the next deletion removes it, but never one of a process that still runs
// (it is deleting it now) nor a name the program did not give.
TEST_F(FileSystemWin32Test, WhatAKilledDeletionLeftAsideGoesWithTheNextDeletion) {
    const std::string out = dir / "出力";
    fso.CreateFolder(out);
    const auto aside = [&](std::uint64_t process) {
        return dir / OwnName("出力", "deleting-" + ThisMachineTag() + "-" +
                                         std::to_string(process) + "-123");
    };
    vb::test::ChildProcess ended;  // runs no case and ends at once: a process that has ended
    ASSERT_EQ(ended.StartCase("None.DISABLED_None"), 0u);
    ASSERT_EQ(ended.Wait(30000), 0u);
    const std::string leftOver = aside(ended.Id());
    const std::string running = aside(GetCurrentProcessId());
    const std::string users = out + " ~VornackBuilder-deleting-notes";
    for (const auto& folder : {leftOver, running, users}) {
        fso.CreateFolder(folder);
        WriteBytes(folder + "\\old.html", "old");
    }
    DeleteFolder(out);
    EXPECT_FALSE(fso.FolderExists(leftOver));
    EXPECT_TRUE(fso.FolderExists(running));
    EXPECT_TRUE(fso.FolderExists(users));
}

TEST_F(FileSystemWin32Test, AFileHeldOpenStopsTheDeletionWithTheSystemsReason) {
    const std::string out = dir / "out";
    fso.CreateFolder(out);
    WriteBytes(out + "\\busy.html", "b");
    HeldOpen editor(out + "\\busy.html", FILE_SHARE_READ);
    ASSERT_TRUE(editor.ok());
    std::string named;  // the folder the failure names: where the held file stays
    try {
        DeleteFolder(out);
        FAIL() << "deleted a folder holding an open file";
    } catch (const SystemError& e) {
        const std::string text = e.what();
        const std::size_t first = text.find("\r\n") + 2;
        named = text.substr(first, text.find("\r\n", first) - first);
        EXPECT_TRUE(named.starts_with(out)) << text;
    }
    // Windows refuses to move the folder (still under its name); Wine moves it aside, where it
    // stays for a later deletion, never moved back under a name a new folder may have taken.
    EXPECT_TRUE(fs::exists(named + "\\busy.html")) << named;
}

TEST_F(FileSystemWin32Test, AJunctionInsideTheOutputFolderIsRemovedNotFollowed) {
    const std::string out = dir / "out";
    fso.CreateFolder(out);
    fso.CreateFolder(dir / "outside");
    WriteBytes(dir / "outside\\keep.txt", "keep");
    if (!MakeJunction(out + "\\junction", dir / "outside"))
        GTEST_SKIP() << "no junctions here (Wine 8 refuses FSCTL_SET_REPARSE_POINT, and mklink /j)";

    DeleteFolder(out);
    EXPECT_FALSE(fso.FolderExists(out));
    EXPECT_EQ(ReadBytes(dir / "outside\\keep.txt"), "keep");
}

TEST_F(FileSystemWin32Test, JapaneseAndEmojiPathsWorkWholeWay) {
    const std::string folder = dir / "ソース😀";
    fso.CreateFolder(folder);
    fso.WriteAllText(folder + "\\ネタ😀.txt", "本文");
    const Folder listed = fso.GetFolder(folder);
    ASSERT_EQ(listed.Count(), 1u);
    EXPECT_EQ(listed.Files()[0].name, "ネタ😀.txt");
    EXPECT_EQ(fso.ReadAllText(listed.Files()[0].path), "本文");
    DeleteFolder(folder);
    EXPECT_FALSE(fso.FolderExists(folder));
}

TEST_F(FileSystemWin32Test, FailuresCarryTheSystemsOwnText) {
    const std::string text = DescribeOsError(ERROR_FILE_NOT_FOUND);
    EXPECT_NE(text, "Windows error 2");
    EXPECT_NE(text.back(), '\n');
    try {
        fso.ReadAllBytes(dir / "missing.txt");
        FAIL();
    } catch (const SystemError& e) {
        EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
    }
}

}  // namespace

// Windows without the long-path policy refuses paths over 260 characters unless they come
// in their long form; Wine has no such limit, so the conversion itself is tested.
TEST(LongPathTest, LongAbsolutePathsTakeTheLongFormShortOnesStayAsTheyAre) {
    const std::wstring deep(300, L'フ');
    EXPECT_EQ(LongPathForm(L"C:\\" + deep), L"\\\\?\\C:\\" + deep);
    EXPECT_EQ(LongPathForm(L"\\\\server\\share\\" + deep), L"\\\\?\\UNC\\server\\share\\" + deep);
    EXPECT_EQ(LongPathForm(L"C:\\short\\a.txt"), L"C:\\short\\a.txt");
    EXPECT_EQ(LongPathForm(L"\\\\server\\share\\a.txt"), L"\\\\server\\share\\a.txt");
    EXPECT_EQ(LongPathForm(L"\\\\?\\C:\\" + deep), L"\\\\?\\C:\\" + deep);
    // From the program's UTF-8 paths: resolved to the full form first, "/" and ".." too.
    const std::string utf8(std::string("C:/") + "x/../" + std::string(300, 'a'));
    EXPECT_EQ(WidePathFromUtf8(utf8), L"\\\\?\\C:\\" + std::wstring(300, L'a'));
    EXPECT_EQ(WidePathFromUtf8("C:/x/../a.txt"), L"C:/x/../a.txt");
}
