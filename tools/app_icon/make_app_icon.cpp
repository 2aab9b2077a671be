// Draws the program's icon and writes it twice: as a Windows icon file (.ico) with the sizes
// Windows asks for (16, 24, 32, 48 and 256 pixels), which the executable carries as its first
// icon, and as a 256-pixel PNG, which the Linux edition shows as its window icon and its
// release carries beside the .desktop file. Run it again when the picture changes:
//   make_app_icon resources/app_icon.ico resources/app_icon.png
//
// The picture: a blue tile holding a stack of two white pages with lines of text, and an
// orange "V" over their corner. Each size is drawn from the same shapes with 4 x 4 samples a
// pixel, so the edges stay smooth at 16 pixels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "little_endian.h"

namespace {

using vb::tools::Put16;
using vb::tools::Put32;

struct Rgba {
    double r, g, b, a;
};

bool InRoundedRect(double x, double y, double x0, double y0, double x1, double y1, double radius) {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    const double cx = std::clamp(x, x0 + radius, x1 - radius);
    const double cy = std::clamp(y, y0 + radius, y1 - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

double DistanceToSegment(double x, double y, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double px = ax + t * dx - x, py = ay + t * dy - y;
    return std::sqrt(px * px + py * py);
}

bool Tile(double x, double y) { return InRoundedRect(x, y, 0.04, 0.04, 0.96, 0.96, 0.18); }
bool BackPage(double x, double y) { return InRoundedRect(x, y, 0.32, 0.14, 0.80, 0.70, 0.03); }
// The front page with its top right corner folded away.
bool FrontPage(double x, double y) {
    return InRoundedRect(x, y, 0.18, 0.26, 0.66, 0.86, 0.03) && (x - 0.54) - (y - 0.26) < 0.0;
}
bool Fold(double x, double y) {
    return x >= 0.54 && y <= 0.38 && (x - 0.54) - (y - 0.26) >= 0.0 && x <= 0.66 && y >= 0.26;
}
bool TextLines(double x, double y) {
    if (x < 0.25 || x > 0.56) return false;
    for (const double top : {0.42, 0.53, 0.64, 0.75})
        if (y >= top && y <= top + 0.05) return true;
    return false;
}
bool VMark(double x, double y) {
    return DistanceToSegment(x, y, 0.55, 0.50, 0.69, 0.84) <= 0.065 ||
           DistanceToSegment(x, y, 0.69, 0.84, 0.84, 0.50) <= 0.065;
}
bool VOutline(double x, double y) {
    return DistanceToSegment(x, y, 0.55, 0.50, 0.69, 0.84) <= 0.095 ||
           DistanceToSegment(x, y, 0.69, 0.84, 0.84, 0.50) <= 0.095;
}

// The colour of one sample point, the layers painted over each other.
Rgba Sample(double x, double y) {
    Rgba c{0, 0, 0, 0};
    const auto over = [&c](Rgba top) {
        const double a = top.a + c.a * (1 - top.a);
        if (a <= 0) return;
        c.r = (top.r * top.a + c.r * c.a * (1 - top.a)) / a;
        c.g = (top.g * top.a + c.g * c.a * (1 - top.a)) / a;
        c.b = (top.b * top.a + c.b * c.a * (1 - top.a)) / a;
        c.a = a;
    };
    if (Tile(x, y)) over({0.18 - 0.08 * y, 0.44 - 0.19 * y, 0.85 - 0.29 * y, 1});
    if (BackPage(x, y)) over({0.86, 0.91, 1.0, 1});
    if (FrontPage(x, y)) over({1, 1, 1, 1});
    if (Fold(x, y)) over({0.75, 0.82, 0.95, 1});
    if (TextLines(x, y)) over({0.55, 0.62, 0.75, 1});
    if (VOutline(x, y)) over({0.11, 0.25, 0.56, 1});
    if (VMark(x, y)) over({1.0, 0.60, 0.12, 1});
    return c;
}

// Straight (not premultiplied) 8-bit RGBA rows, top-down.
std::vector<std::uint8_t> Draw(int size) {
    constexpr int kSamples = 4;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size * size * 4));
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Rgba s = Sample((px + (sx + 0.5) / kSamples) / size,
                                          (py + (sy + 0.5) / kSamples) / size);
                    r += s.r * s.a;
                    g += s.g * s.a;
                    b += s.b * s.a;
                    a += s.a;
                }
            }
            const auto byte = [](double v) {
                return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
            };
            std::uint8_t* out = &pixels[static_cast<std::size_t>((py * size + px) * 4)];
            out[0] = a > 0 ? byte(r / a) : 0;
            out[1] = a > 0 ? byte(g / a) : 0;
            out[2] = a > 0 ? byte(b / a) : 0;
            out[3] = byte(a / (kSamples * kSamples));
        }
    }
    return pixels;
}

void Put32BigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// One icon image as a device-independent bitmap: 32-bit BGRA rows bottom-up, then the
// one-bit AND mask (all zero: the alpha channel decides), at twice the height as icons keep it.
std::vector<std::uint8_t> IconBitmap(int size) {
    const std::vector<std::uint8_t> rgba = Draw(size);
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(size * 2));
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t* p = &rgba[static_cast<std::size_t>((y * size + x) * 4)];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    const int maskRow = (size + 31) / 32 * 4;
    out.insert(out.end(), static_cast<std::size_t>(maskRow * size), 0);
    return out;
}

std::vector<std::uint8_t> IconFile(const std::vector<int>& sizes) {
    std::vector<std::vector<std::uint8_t>> images;
    for (int size : sizes) images.push_back(IconBitmap(size));
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // an icon, not a cursor
    Put16(out, static_cast<unsigned>(sizes.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const auto side = static_cast<std::uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]);  // 0 is 256
        out.insert(out.end(), {side, side, 0, 0});
        Put16(out, 1);   // planes
        Put16(out, 32);  // bits per pixel
        Put32(out, static_cast<std::uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    Put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32BigEndian(out, Crc32(&out[start], out.size() - start));
}

// A PNG of 8-bit RGBA, its image data a zlib stream of stored (uncompressed) blocks: the file
// is larger than a compressed one, but the generator needs no compression library.
std::vector<std::uint8_t> PngFile(int size) {
    const std::vector<std::uint8_t> rgba = Draw(size);
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);  // no filter
        const auto row = rgba.begin() + static_cast<std::ptrdiff_t>(y * size * 4);
        raw.insert(raw.end(), row, row + size * 4);
    }
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    for (std::size_t pos = 0; pos < raw.size();) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        zlib.push_back(pos + n == raw.size() ? 1 : 0);
        Put16(zlib, static_cast<unsigned>(n));
        Put16(zlib, static_cast<unsigned>(~n & 0xFFFF));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                    raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    }
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32BigEndian(zlib, (b << 16) | a);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Put32BigEndian(header, static_cast<std::uint32_t>(size));
    Put32BigEndian(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", zlib);
    PutChunk(out, "IEND", {});
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_app_icon output.ico output.png\n";
        return 2;
    }
    if (!WriteFile(argv[1], IconFile({16, 24, 32, 48, 256})) || !WriteFile(argv[2], PngFile(256))) {
        std::cerr << "make_app_icon: cannot write the output files\n";
        return 1;
    }
    return 0;
}
