// Where a symbolic link leads, from its reparse data: Wine cannot make symbolic links, so the
// data is made here as FSCTL_GET_REPARSE_POINT gives it on Windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/save/symbolic_link.h"
#include "platform/wide_text.h"

namespace vb::platform {
namespace {

// A symbolic link's REPARSE_DATA_BUFFER, the print name stored before the substitute name.
std::string LinkData(ULONG tag, const std::wstring& substitute, ULONG flags) {
    const std::wstring print = L"shown", names = print + substitute;
    std::string data(20 + names.size() * sizeof(wchar_t), '\0');
    const auto put = [&data](std::size_t at, auto value) {
        std::memcpy(data.data() + at, &value, sizeof value);
    };
    put(0, tag);
    put(4, static_cast<USHORT>(data.size() - 8));
    put(8, static_cast<USHORT>(print.size() * sizeof(wchar_t)));
    put(10, static_cast<USHORT>(substitute.size() * sizeof(wchar_t)));
    put(12, USHORT{0});
    put(14, static_cast<USHORT>(print.size() * sizeof(wchar_t)));
    put(16, flags);
    std::memcpy(data.data() + 20, names.data(), names.size() * sizeof(wchar_t));
    return data;
}

TEST(SymbolicLinkTest, ReparseDataLeadsToTheFileTheLinkNames) {
    const std::string link = "C:\\users\\設定\\VornackBuilder.ini";
    EXPECT_EQ(LinkTargetFromReparseData(
                  link, LinkData(IO_REPARSE_TAG_SYMLINK, L"..\\共有\\settings.ini", 1)),
              "C:\\users\\共有\\settings.ini");
    EXPECT_EQ(LinkTargetFromReparseData(
                  link, LinkData(IO_REPARSE_TAG_SYMLINK, L"\\??\\UNC\\host\\share\\x.ini", 0)),
              "\\\\host\\share\\x.ini");
    // A link relative to the root starts at the link's own drive or share.
    const auto rooted = LinkData(IO_REPARSE_TAG_SYMLINK, L"\\conf\\x.ini", 1);
    EXPECT_EQ(LinkTargetFromReparseData(link, rooted), "C:\\conf\\x.ini");
    EXPECT_EQ(LinkTargetFromReparseData("\\\\host\\share\\prog\\x.ini", rooted),
              "\\\\host\\share\\conf\\x.ini");
    EXPECT_EQ(
        LinkTargetFromReparseData(link, LinkData(IO_REPARSE_TAG_SYMLINK, L"D:conf\\x.ini", 1)),
        "D:\\conf\\x.ini");
    // A junction, or data cut short, leads nowhere.
    EXPECT_EQ(LinkTargetFromReparseData(link, LinkData(IO_REPARSE_TAG_MOUNT_POINT, L"D:\\", 0)),
              std::nullopt);
    EXPECT_EQ(LinkTargetFromReparseData(
                  link, LinkData(IO_REPARSE_TAG_SYMLINK, L"\\??\\D:\\x.ini", 0).substr(0, 30)),
              std::nullopt);
}

}  // namespace
}  // namespace vb::platform
