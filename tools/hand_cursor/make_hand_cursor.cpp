// Writes the hand cursor the form layer draws as a Windows cursor file (.cur), which the
// Windows executable carries as its resource CURSOR_HAND. Run it again when the picture
// changes; the Win32 view's tests check that the resource matches the drawn picture.
//   cmake --build --preset core --target make_hand_cursor &&
//       build/core/tools/hand_cursor/make_hand_cursor resources/hand_cursor.cur
#include <cstdint>
#include <fstream>
#include <iostream>
#include <vector>

#include "forms/hand_cursor.h"
#include "little_endian.h"

namespace {

using vb::tools::Put16;
using vb::tools::Put32;

// A plane of whole-byte rows, top-down, as the bottom-up rows of 32-bit alignment a
// device-independent bitmap keeps.
void PutPlane(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& plane, int width,
              int height) {
    const int rowBytes = (width + 7) / 8;
    const int paddedBytes = (width + 31) / 32 * 4;
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < paddedBytes; ++x)
            out.push_back(x < rowBytes ? plane[static_cast<std::size_t>(y * rowBytes + x)] : 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_hand_cursor output.cur\n";
        return 2;
    }
    const vb::forms::Picture p = vb::forms::HandCursor();
    const std::uint32_t planeBytes = static_cast<std::uint32_t>((p.width + 31) / 32 * 4 * p.height);
    const std::uint32_t imageBytes = 40 + 8 + 2 * planeBytes;
    std::vector<std::uint8_t> out;
    // The file header: one cursor image.
    Put16(out, 0);
    Put16(out, 2);
    Put16(out, 1);
    // Its directory entry: size, two colours, hot spot, bytes and where they start.
    out.push_back(static_cast<std::uint8_t>(p.width));
    out.push_back(static_cast<std::uint8_t>(p.height));
    out.push_back(2);
    out.push_back(0);
    Put16(out, static_cast<unsigned>(p.hotSpotX));
    Put16(out, static_cast<unsigned>(p.hotSpotY));
    Put32(out, imageBytes);
    Put32(out, 22);
    // The image: a one-bit bitmap of twice the height (XOR plane, then AND mask).
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(p.width));
    Put32(out, static_cast<std::uint32_t>(2 * p.height));
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, 0);
    Put32(out, 2 * planeBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 2);
    Put32(out, 0);
    Put32(out, 0x00000000);  // black
    Put32(out, 0x00FFFFFF);  // white
    PutPlane(out, p.xorPlane, p.width, p.height);
    PutPlane(out, p.andMask, p.width, p.height);
    std::ofstream file(argv[1], std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return file ? 0 : 1;
}
