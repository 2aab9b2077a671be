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
    std::string name;
    PictureKind kind = PictureKind::Bitmap;
    int width = 0;
    int height = 0;
    int hotSpotX = 0;
    int hotSpotY = 0;
    std::vector<std::uint8_t> andMask;
    std::vector<std::uint8_t> xorPlane;
};

}  // namespace vb::forms
