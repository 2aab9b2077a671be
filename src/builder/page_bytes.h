#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "builder/page_template.h"
#include "builder/text_replace.h"

namespace vb::builder {

// Pages made as cp932 bytes straight from the bytes of their sources.
//
// A page is the template's head, the prepared sources and the template's tail, as text, then
// encoded. When every one of those parts encodes one character at a time (well-formed, no
// stand-ins: cp932::EncodesCharacterByCharacter) and the target word reads the same after
// encoding, keeping each source in cp932 — its bytes only re-encoded, cp932::AppendReencoded —
// and preparing it there gives the very same bytes: a CR LF pair, "<br>" in any case and
// the target are found at the same characters (searched at character boundaries) and
// replaced by their cp932 forms. That spares decoding every source and encoding every page.
// A page with a source whose bytes are not all whole characters is made as text.
class PageBytes {
  public:
    // The template (with its title), target and replacement of a run; empty when they do
    // not allow pages in cp932 (the body placeholder not there exactly once, a part that
    // does not encode character by character, a target that does not read back the same).
    static std::optional<PageBytes> For(const PageTemplate& page, std::string_view target,
                                        std::string_view replacement);

    // The template before and after the body, in cp932.
    const std::string& Head() const { return head_; }
    const std::string& Tail() const { return tail_; }

    // A source's bytes as a page takes them; false when they are not all whole characters.
    static bool Reencode(std::string_view sourceBytes, std::string& into);
    // Whether a re-encoded source holds the target word.
    bool HoldsTarget(std::string_view source) const;
    // Appends a re-encoded source that holds the target, prepared as its text would be:
    // line breaks turned into "<br>" unless it uses the tag already, then the target replaced.
    void AppendPrepared(std::string& out, std::string_view source);

  private:
    PageBytes(std::string head, std::string tail, std::string target, std::string replacement);

    // The first occurrence of the target at or after from (a character boundary) that
    // starts at a character boundary itself.
    std::size_t FindTarget(std::string_view text, std::size_t from) const;
    void AppendTargetReplaced(std::string& out, std::string_view text) const;

    std::string head_;
    std::string tail_;
    WordSearch target_;
    std::string replacement_;
    std::array<bool, 256> isLead_{};  // the byte starts a two-byte character
    std::string lineBreaksDone_;      // scratch, kept for its buffer
};

}  // namespace vb::builder
