#include "builder/page_bytes.h"

#include "codec/codec.h"

namespace vb::builder {

namespace cp932 = codec::cp932;

std::optional<PageBytes> PageBytes::For(const PageTemplate& page, std::string_view target,
                                        std::string_view replacement) {
    if (!page.HasOneBodyPlace() || target.empty()) return std::nullopt;
    for (std::string_view part :
         {std::string_view(page.Head()), std::string_view(page.Tail()), target, replacement})
        if (!cp932::EncodesCharacterByCharacter(part)) return std::nullopt;
    // A target that cp932 cannot hold, or holds only as another character, would be found
    // where its text is not.
    std::string targetBytes = cp932::Encode(target);
    if (cp932::Decode(targetBytes) != target) return std::nullopt;
    std::string probe;
    if (!Reencode("a", probe)) return std::nullopt;  // no conversion tables on this system
    return PageBytes(cp932::Encode(page.Head()), cp932::Encode(page.Tail()), std::move(targetBytes),
                     cp932::Encode(replacement));
}

PageBytes::PageBytes(std::string head, std::string tail, std::string target,
                     std::string replacement)
    : head_(std::move(head)),
      tail_(std::move(tail)),
      target_(target),
      replacement_(std::move(replacement)) {
    for (int b = 0; b < 256; ++b)
        isLead_[b] = cp932::CharacterLength(static_cast<unsigned char>(b)) == 2;
}

bool PageBytes::Reencode(std::string_view sourceBytes, std::string& into) {
    return cp932::AppendReencoded(into, sourceBytes);
}

std::size_t PageBytes::FindTarget(std::string_view text, std::size_t from) const {
    for (std::size_t hit = target_.Find(text, from); hit != std::string_view::npos;
         hit = target_.Find(text, hit + 1)) {
        // A byte that cannot lead a pair ends a character, whichever it is. After the last
        // such byte before the hit (or after from), every lead byte takes the next byte:
        // the hit starts a character when an even number of lead bytes precede it.
        std::size_t leads = 0;
        for (std::size_t at = hit; at > from && isLead_[static_cast<unsigned char>(text[at - 1])];
             --at)
            ++leads;
        if (leads % 2 == 0) return hit;
    }
    return std::string_view::npos;
}

bool PageBytes::HoldsTarget(std::string_view source) const {
    return FindTarget(source, 0) != std::string_view::npos;
}

void PageBytes::AppendTargetReplaced(std::string& out, std::string_view text) const {
    std::size_t from = 0;
    for (std::size_t hit; (hit = FindTarget(text, from)) != std::string_view::npos;
         from = hit + target_.Word().size()) {
        out.append(text, from, hit - from);
        out += replacement_;
    }
    out.append(text, from);
}

void PageBytes::AppendPrepared(std::string& out, std::string_view source) {
    // CR, LF and "<" are never part of a double-byte character, so these searches find
    // the same characters in cp932 as in the text.
    if (ContainsBrTagAnyCase(source)) {
        AppendTargetReplaced(out, source);
        return;
    }
    lineBreaksDone_.clear();
    AppendReplaced(lineBreaksDone_, source, "\r\n", "<br>\r\n");
    AppendTargetReplaced(out, lineBreaksDone_);
}

}  // namespace vb::builder
