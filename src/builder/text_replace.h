#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vb::builder {

// Finds one word in many texts: the same result as std::string_view::find, but with a
// skip table made once for the word, so that long texts are crossed in strides. The table
// is keyed by the last two bytes under the window rather than the last one: in Japanese
// UTF-8 text a handful of bytes start nearly every character, and the word holds them too.
class WordSearch {
  public:
    explicit WordSearch(std::string_view word);

    const std::string& Word() const { return word_; }
    // The position of the first occurrence at or after from; npos when there is none.
    std::size_t Find(std::string_view text, std::size_t from = 0) const;

  private:
    std::string word_;
    std::array<std::uint8_t, 256> skip_{};  // by hashed byte pair: how far the window may move
    std::uint8_t lastPair_ = 0;             // hash of the word's own last two bytes
    std::size_t skipAfterMiss_ = 0;         // the move when that pair matched but the word did not
};

// Appends the text to out with every occurrence of target replaced by replacement: exact
// comparison, scanning from the start, non-overlapping; inserted text is not scanned again.
// An empty target replaces nothing.
void AppendReplaced(std::string& out, std::string_view text, std::string_view target,
                    std::string_view replacement);
void AppendReplaced(std::string& out, std::string_view text, const WordSearch& target,
                    std::string_view replacement);

// The text with every occurrence of target replaced, as AppendReplaced does.
std::string ReplaceAll(std::string_view text, std::string_view target,
                       std::string_view replacement);

// A source text that holds the target, as it goes into a page: unless the text already
// uses the "<br>" tag (in any letter case) every CR LF pair becomes "<br>" + CR LF; then
// every target is replaced, in the inserted tags too. Appended to out; scratch is working
// room, passed in to keep its buffer.
void AppendPreparedSource(std::string& out, std::string_view raw, const WordSearch& target,
                          std::string_view replacement, std::string& scratch);

// True when the text holds "<br>" in any letter case ("<BR>", "<Br>", ...). The
// self-closing form "<br/>" does not count.
bool ContainsBrTagAnyCase(std::string_view text);

}  // namespace vb::builder
