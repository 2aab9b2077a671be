#include "builder/page_captions.h"

#include <functional>

namespace vb::builder {

namespace {

// Slots for this many pages at most half full, a power of two so a hash picks a slot with
// a mask.
std::size_t SlotCountFor(std::size_t pages) {
    std::size_t count = 16;
    while (count < pages * 2) count *= 2;
    return count;
}

}  // namespace

PageCaptions::PageCaptions(std::size_t expectedPages) : slots_(SlotCountFor(expectedPages), 0) {
    // Room for the usual page name and a caption of 40 Japanese characters, taken up front:
    // growing a buffer of a million captions by doubling would copy it and hold both copies
    // for a moment. Memory not yet written to costs nothing.
    names_.reserve(expectedPages * 13);
    captions_.reserve(expectedPages * 40 * 3);
    nameEnds_.reserve(expectedPages);
    captionEnds_.reserve(expectedPages);
}

std::string_view PageCaptions::NameOf(std::uint32_t page) const {
    const std::uint32_t begin = page == 0 ? 0 : nameEnds_[page - 1];
    return std::string_view(names_).substr(begin, nameEnds_[page] - begin);
}

std::string_view PageCaptions::CaptionOfPage(std::uint32_t page) const {
    const std::uint32_t begin = page == 0 ? 0 : captionEnds_[page - 1];
    return std::string_view(captions_).substr(begin, captionEnds_[page] - begin);
}

std::size_t PageCaptions::SlotOf(std::string_view name) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = std::hash<std::string_view>{}(name)&mask;; slot = (slot + 1) & mask) {
        if (slots_[slot] == 0 || NameOf(slots_[slot] - 1) == name) return slot;
    }
}

bool PageCaptions::Contains(std::string_view name) const { return slots_[SlotOf(name)] != 0; }

std::string_view PageCaptions::CaptionOf(std::string_view name) const {
    const std::uint32_t entry = slots_[SlotOf(name)];
    return entry == 0 ? std::string_view() : CaptionOfPage(entry - 1);
}

void PageCaptions::Add(std::string_view name, std::string_view caption) {
    if ((nameEnds_.size() + 1) * 2 > slots_.size()) Grow();
    const auto page = static_cast<std::uint32_t>(nameEnds_.size());
    names_ += name;
    nameEnds_.push_back(static_cast<std::uint32_t>(names_.size()));
    captions_ += caption;
    captionEnds_.push_back(static_cast<std::uint32_t>(captions_.size()));
    slots_[SlotOf(name)] = page + 1;
}

void PageCaptions::Grow() {
    slots_.assign(slots_.size() * 2, 0);
    for (std::uint32_t page = 0; page < nameEnds_.size(); ++page)
        slots_[SlotOf(NameOf(page))] = page + 1;
}

}  // namespace vb::builder
