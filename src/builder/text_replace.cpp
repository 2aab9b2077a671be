#include "builder/text_replace.h"

#include <cstring>

namespace vb::builder {

namespace {

// Below this length the library's search (first byte, then compare) is as fast; up to the
// next the moves fit the table's bytes.
constexpr std::size_t kSkipTableFrom = 4;
constexpr std::size_t kSkipTableUpTo = 255;

// The table slot of the byte pair text[at - 1], text[at].
std::uint8_t PairHash(const char* text, std::size_t at) {
    const auto first = static_cast<unsigned char>(text[at - 1]);
    const auto second = static_cast<unsigned char>(text[at]);
    return static_cast<std::uint8_t>(second - (first << 3));
}

template <class Search>
void AppendReplacedWith(std::string& out, std::string_view text, std::size_t targetSize,
                        std::string_view replacement, const Search& find) {
    if (targetSize == 0) {
        out += text;
        return;
    }
    std::size_t from = 0;
    for (std::size_t hit; (hit = find(text, from)) != std::string_view::npos;
         from = hit + targetSize) {
        out.append(text, from, hit - from);
        out += replacement;
    }
    out.append(text, from);
}

}  // namespace

WordSearch::WordSearch(std::string_view word) : word_(word) {
    const std::size_t m = word_.size();
    if (m < kSkipTableFrom || m > kSkipTableUpTo) return;
    // Horspool's rule on byte pairs: a window whose last pair is the word's pair ending at
    // i may move m - 1 - i; a pair the word lacks lets it move m - 1, so that the pair's
    // second byte may still begin the word. Pairs are hashed, so a slot keeps the smallest
    // move of the pairs that share it.
    skip_.fill(static_cast<std::uint8_t>(m - 1));
    for (std::size_t i = 1; i + 1 < m; ++i)
        skip_[PairHash(word_.data(), i)] = static_cast<std::uint8_t>(m - 1 - i);
    lastPair_ = PairHash(word_.data(), m - 1);
    skipAfterMiss_ = skip_[lastPair_];
}

std::size_t WordSearch::Find(std::string_view text, std::size_t from) const {
    const std::size_t m = word_.size();
    if (m < kSkipTableFrom || m > kSkipTableUpTo) return text.find(word_, from);
    const char* const base = text.data();
    for (std::size_t at = from; at <= text.size() && text.size() - at >= m;) {
        const std::uint8_t pair = PairHash(base, at + m - 1);
        if (pair != lastPair_) {
            at += skip_[pair];
        } else if (std::memcmp(base + at, word_.data(), m) == 0) {
            return at;
        } else {
            at += skipAfterMiss_;
        }
    }
    return std::string_view::npos;
}

void AppendReplaced(std::string& out, std::string_view text, std::string_view target,
                    std::string_view replacement) {
    AppendReplacedWith(
        out, text, target.size(), replacement,
        [target](std::string_view t, std::size_t from) { return t.find(target, from); });
}

void AppendReplaced(std::string& out, std::string_view text, const WordSearch& target,
                    std::string_view replacement) {
    AppendReplacedWith(
        out, text, target.Word().size(), replacement,
        [&target](std::string_view t, std::size_t from) { return target.Find(t, from); });
}

std::string ReplaceAll(std::string_view text, std::string_view target,
                       std::string_view replacement) {
    std::string out;
    out.reserve(text.size());
    AppendReplaced(out, text, target, replacement);
    return out;
}

void AppendPreparedSource(std::string& out, std::string_view raw, const WordSearch& target,
                          std::string_view replacement, std::string& scratch) {
    if (ContainsBrTagAnyCase(raw)) {
        AppendReplaced(out, raw, target, replacement);
        return;
    }
    scratch.clear();
    AppendReplaced(scratch, raw, "\r\n", "<br>\r\n");
    AppendReplaced(out, scratch, target, replacement);
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
