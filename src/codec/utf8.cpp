#include "codec/utf8.h"

namespace vb::codec::utf8 {

std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

char32_t DecodeAt(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t len = SequenceLength(lead);
    if (len == 1 || pos + len > text.size()) {
        ++pos;
        return lead;
    }
    char32_t cp = lead & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return lead;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    pos += len;
    return cp;
}

void Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t Length(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < text.size(); ++n) DecodeAt(text, pos);
    return n;
}

std::string_view Substr(std::string_view text, std::size_t first, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < first && pos < text.size(); ++i) DecodeAt(text, pos);
    const std::size_t start = pos;
    for (std::size_t i = 0; i < count && pos < text.size(); ++i) DecodeAt(text, pos);
    return text.substr(start, pos - start);
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace vb::codec::utf8
