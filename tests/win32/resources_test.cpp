// The program's resources as Windows reads them: the version numbers, the program's icon and
// the hand cursor, which must be the very picture the form layer draws.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "forms/hand_cursor.h"

namespace {

TEST(ResourcesTest, VersionResourceCarriesTheVersionString) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));
    wchar_t* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041104B0\\FileVersion",
                               reinterpret_cast<void**>(&value), &length));
    EXPECT_EQ(std::wstring(value), std::wstring(L"" VB_VERSION_STRING));
}

TEST(ResourcesTest, HandCursorResourceIsTheDrawnHandInJapanese) {
    HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_NE(FindResourceExW(self, MAKEINTRESOURCEW(12) /* RT_GROUP_CURSOR */, L"CURSOR_HAND",
                              MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)),
              nullptr);
    HCURSOR cursor = LoadCursorW(self, L"CURSOR_HAND");
    ASSERT_NE(cursor, nullptr);
    ICONINFO icon{};
    ASSERT_TRUE(GetIconInfo(cursor, &icon));
    EXPECT_EQ(icon.xHotspot, 6u);
    EXPECT_EQ(icon.yHotspot, 2u);
    // A monochrome cursor keeps its AND mask above its XOR plane in one bitmap, rows padded
    // to 16 bits (32 pixels are whole words already).
    ASSERT_EQ(icon.hbmColor, nullptr);
    std::vector<BYTE> bits(4 * 64);
    EXPECT_EQ(GetBitmapBits(icon.hbmMask, static_cast<LONG>(bits.size()), bits.data()), 256);
    DeleteObject(icon.hbmMask);
    const vb::forms::Picture drawn = vb::forms::HandCursor();
    EXPECT_EQ(std::vector<BYTE>(bits.begin(), bits.begin() + 128), drawn.andMask);
    EXPECT_EQ(std::vector<BYTE>(bits.begin() + 128, bits.end()), drawn.xorPlane);
}

// File Explorer shows a program's first icon: it must be ours, with the 256-pixel image that
// large icon views use.
TEST(ResourcesTest, TheProgramsIconIsTheFirstAndHasItsLargestImage) {
    HMODULE self = GetModuleHandleW(nullptr);
    std::wstring first;
    EnumResourceNamesW(
        self, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            *reinterpret_cast<std::wstring*>(found) = IS_INTRESOURCE(name) ? L"#" : name;
            return FALSE;
        },
        reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(first, L"APP_ICON");
    auto* icon = static_cast<HICON>(LoadImageW(self, L"APP_ICON", IMAGE_ICON, 256, 256, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP color{};
    GetObjectW(info.hbmColor, sizeof(color), &color);
    EXPECT_EQ(color.bmWidth, 256);
    EXPECT_EQ(color.bmBitsPixel, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

}  // namespace
