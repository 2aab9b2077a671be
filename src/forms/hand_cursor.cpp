#include "forms/hand_cursor.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace vb::forms {

namespace {

constexpr int kSize = 32;
constexpr int kRowBytes = kSize / 8;

// The drawn part of the cursor, upper-left corner; everything outside is transparent.
// '#' black outline, 'o' white fill, '.' transparent.
constexpr std::array<std::string_view, 22> kHand = {
    ".................",  //
    ".....###.........",  // tip of the index finger
    "....#ooo#........",  // the hot spot (6, 2) lies here, just under the tip
    "....#ooo#........",  //
    "....#ooo#........",  //
    "....#ooo#........",  //
    "....#ooo####.....",  //
    "....#ooo#oo####..",  //
    "....#ooo#oo#oo##.",  //
    ".##.#ooo#oo#oo#o#",  // thumb
    "#oo##ooo#oo#oo#o#",  //
    "#ooo#ooooooooooo#",  //
    "#oooo#oooooooooo#",  //
    ".#oooooooooooooo#",  //
    ".#ooooooooooooo#.",  //
    "..#oooooooooooo#.",  //
    "..#ooooooooooo#..",  //
    "...#oooooooooo#..",  //
    "...#ooooooooo#...",  //
    "....#oooooooo#...",  //
    "....#oooooooo#...",  //
    "....##########...",  // wrist
};

// Sets pixel (x, y) in a top-down, most-significant-bit-first plane.
void SetBit(std::vector<std::uint8_t>& plane, int x, int y) {
    plane[static_cast<std::size_t>(y * kRowBytes + x / 8)] |=
        static_cast<std::uint8_t>(0x80u >> (x % 8));
}

}  // namespace

Picture HandCursor() {
    Picture p;
    p.name = "CURSOR_HAND";
    p.kind = PictureKind::Cursor;
    p.width = kSize;
    p.height = kSize;
    p.hotSpotX = 6;
    p.hotSpotY = 2;
    // AND mask 1 = transparent (screen kept), 0 = drawn; XOR plane 1 = white where drawn.
    p.andMask.assign(kSize * kRowBytes, 0xFF);
    p.xorPlane.assign(kSize * kRowBytes, 0x00);
    for (int y = 0; y < static_cast<int>(kHand.size()); ++y) {
        for (int x = 0; x < static_cast<int>(kHand[y].size()); ++x) {
            const char c = kHand[y][x];
            if (c == '.') continue;
            p.andMask[static_cast<std::size_t>(y * kRowBytes + x / 8)] &=
                static_cast<std::uint8_t>(~(0x80u >> (x % 8)));
            if (c == 'o') SetBit(p.xorPlane, x, y);
        }
    }
    return p;
}

}  // namespace vb::forms
