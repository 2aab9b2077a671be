#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vb::forms {

// Kinds of program-resource picture.
enum class PictureKind { Bitmap = 0, Icon = 1, Cursor = 2 };

// A picture loaded from the program's resources. Monochrome images keep an AND mask and an
// XOR plane, one bit per pixel, rows top-down, each row padded to whole bytes.
struct Picture {
    std::string Name;
    PictureKind Kind = PictureKind::Bitmap;
    int Width = 0;
    int Height = 0;
    int HotSpotX = 0;
    int HotSpotY = 0;
    std::vector<std::uint8_t> AndMask;
    std::vector<std::uint8_t> XorPlane;
};

}  // namespace vb::forms
