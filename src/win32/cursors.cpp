#include "win32/cursors.h"

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "forms/screen.h"
#include "platform/wide_text.h"

namespace vb::win32view {

namespace {

// A plane with rows padded to whole bytes, repacked to the 16-bit rows CreateCursor takes.
std::vector<BYTE> WordRows(const std::vector<std::uint8_t>& plane, int width, int height,
                           BYTE fill) {
    const int rowBytes = (width + 7) / 8;
    const int wordRowBytes = (width + 15) / 16 * 2;
    std::vector<BYTE> out(static_cast<std::size_t>(wordRowBytes * height), fill);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < rowBytes; ++x) {
            const std::size_t at = static_cast<std::size_t>(y * rowBytes + x);
            if (at < plane.size()) out[static_cast<std::size_t>(y * wordRowBytes + x)] = plane[at];
        }
    return out;
}

HCURSOR MadeFromPlanes(const forms::Picture& picture) {
    // Both sides agree on the planes: AND 1 lets the screen through, XOR 1 over AND 0 is white.
    const auto andPlane = WordRows(picture.andMask, picture.width, picture.height, 0xFF);
    const auto xorPlane = WordRows(picture.xorPlane, picture.width, picture.height, 0x00);
    return CreateCursor(GetModuleHandleW(nullptr), picture.hotSpotX, picture.hotSpotY,
                        picture.width, picture.height, andPlane.data(), xorPlane.data());
}

}  // namespace

HCURSOR CursorFromPicture(const forms::Picture& picture) {
    // Each load of a resource gives a picture of its own; equal pictures share one cursor.
    using Key = std::tuple<std::string, forms::PictureKind, int, int, int, int,
                           std::vector<std::uint8_t>, std::vector<std::uint8_t>>;
    static std::map<Key, HCURSOR> made;
    Key key{picture.name,     picture.kind,     picture.width,   picture.height,
            picture.hotSpotX, picture.hotSpotY, picture.andMask, picture.xorPlane};
    auto it = made.find(key);
    if (it != made.end()) return it->second;
    HCURSOR cursor = nullptr;
    if (picture.kind == forms::PictureKind::Cursor && !picture.name.empty())
        cursor =
            LoadCursorW(GetModuleHandleW(nullptr), platform::WideFromUtf8(picture.name).c_str());
    if (!cursor) cursor = MadeFromPlanes(picture);
    made.emplace(std::move(key), cursor);
    return cursor;
}

HCURSOR PointerCursor(int kind, const std::shared_ptr<const forms::Picture>& icon) {
    // In the order of the standard shapes.
    static const wchar_t* const kStandard[forms::kStandardPointers] = {
        IDC_ARROW,  IDC_CROSS,   IDC_IBEAM, IDC_SIZEALL, IDC_SIZENESW,    IDC_SIZENS, IDC_SIZENWSE,
        IDC_SIZEWE, IDC_UPARROW, IDC_WAIT,  IDC_NO,      IDC_APPSTARTING, IDC_HELP};
    forms::PointerShape shape = forms::ShapeOfPointer(kind, icon != nullptr);
    if (shape == forms::PointerShape::Default) return nullptr;
    if (shape == forms::PointerShape::Picture) {
        if (HCURSOR cursor = CursorFromPicture(*icon)) return cursor;
        shape = forms::PointerShape::Arrow;  // no cursor could be made of the picture
    }
    return LoadCursorW(nullptr, kStandard[static_cast<int>(shape)]);
}

}  // namespace vb::win32view
