#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

namespace vb::fuzz {

Fields::Fields(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        done_ = true;
        return;
    }
    separator_ = static_cast<char>(data[0]);
    rest_ = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
}

std::string Fields::Next() {
    if (done_) return {};
    const std::size_t cut = rest_.find(separator_);
    std::string field(rest_.substr(0, cut));
    if (cut == std::string_view::npos) {
        done_ = true;
        rest_ = {};
    } else {
        rest_.remove_prefix(cut + 1);
    }
    return field;
}

void Fail(const char* condition, const std::string& detail, const char* file, int line) {
    std::fprintf(stderr, "\n%s:%d: property broken: %s\n%s\n", file, line, condition,
                 detail.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string Shown(std::string_view bytes) {
    constexpr std::size_t kMaxShown = 400;
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size() && i < kMaxShown; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\') {
            out += static_cast<char>(b);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    out += bytes.size() > kMaxShown ? "\"..." : "\"";
    return out + " (" + std::to_string(bytes.size()) + " bytes)";
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t len = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            len = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            len = 3;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            len = 4;
            cp = lead & 0x07;
        } else {
            return false;
        }
        if (i + len > text.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        const char32_t minimum = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

}  // namespace vb::fuzz
