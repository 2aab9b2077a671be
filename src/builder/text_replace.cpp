#include "builder/text_replace.h"

namespace vb::builder {

void AppendReplaced(std::string& out, std::string_view text, std::string_view target,
                    std::string_view replacement) {
    if (target.empty()) {
        out += text;
        return;
    }
    std::size_t from = 0;
    for (std::size_t hit; (hit = text.find(target, from)) != std::string_view::npos;
         from = hit + target.size()) {
        out.append(text, from, hit - from);
        out += replacement;
    }
    out.append(text, from);
}

std::string ReplaceAll(std::string_view text, std::string_view target,
                       std::string_view replacement) {
    std::string out;
    out.reserve(text.size());
    AppendReplaced(out, text, target, replacement);
    return out;
}

bool ContainsBrTagAnyCase(std::string_view text) {
    for (std::size_t at = text.find('<'); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        if (text.size() - at < 4) return false;
        const char b = text[at + 1], r = text[at + 2];
        if ((b == 'b' || b == 'B') && (r == 'r' || r == 'R') && text[at + 3] == '>') return true;
    }
    return false;
}

}  // namespace vb::builder
