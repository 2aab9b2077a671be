#include "builder/page_captions.h"

#include <functional>

namespace vb::builder {

namespace {

// Slots for this many strings at most half full.
std::size_t SlotCountFor(std::size_t strings) {
    std::size_t count = 16;
    while (count < strings * 2) count *= 2;
    return count;
}

}  // namespace

PageCaptions::PageCaptions(std::size_t expectedPages)
    : nameSlots_(SlotCountFor(expectedPages), 0), captionSlots_(SlotCountFor(0), 0) {
    // Room for the usual page name, taken up front: growing the buffer of a million names
    // by doubling would copy it and hold both copies for a moment. Memory not yet written
    // to costs nothing.
    names_.bytes.reserve(expectedPages * 13);
    names_.ends.reserve(expectedPages);
    captionOf_.reserve(expectedPages);
}

std::string_view PageCaptions::Strings::At(std::uint32_t k) const {
    const std::uint32_t begin = k == 0 ? 0 : ends[k - 1];
    return std::string_view(bytes).substr(begin, ends[k] - begin);
}

std::uint32_t PageCaptions::Strings::Append(std::string_view s) {
    bytes += s;
    ends.push_back(static_cast<std::uint32_t>(bytes.size()));
    return static_cast<std::uint32_t>(ends.size() - 1);
}

std::size_t PageCaptions::SlotOf(const std::vector<std::uint32_t>& slots, const Strings& strings,
                                 std::string_view s) {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t slot = std::hash<std::string_view>{}(s)&mask;; slot = (slot + 1) & mask) {
        if (slots[slot] == 0 || strings.At(slots[slot] - 1) == s) return slot;
    }
}

void PageCaptions::Insert(std::vector<std::uint32_t>& slots, const Strings& strings,
                          std::uint32_t k) {
    if ((strings.ends.size() + 1) * 2 > slots.size()) {
        slots.assign(slots.size() * 2, 0);
        for (std::uint32_t old = 0; old < k; ++old)
            slots[SlotOf(slots, strings, strings.At(old))] = old + 1;
    }
    slots[SlotOf(slots, strings, strings.At(k))] = k + 1;
}

bool PageCaptions::Contains(std::string_view name) const {
    return nameSlots_[SlotOf(nameSlots_, names_, name)] != 0;
}

std::string_view PageCaptions::CaptionOf(std::string_view name) const {
    const std::uint32_t page = nameSlots_[SlotOf(nameSlots_, names_, name)];
    return page == 0 ? std::string_view() : captions_.At(captionOf_[page - 1]);
}

void PageCaptions::Add(std::string_view name, std::string_view caption) {
    Insert(nameSlots_, names_, names_.Append(name));
    const std::uint32_t known = captionSlots_[SlotOf(captionSlots_, captions_, caption)];
    if (known != 0) {
        captionOf_.push_back(known - 1);
    } else {
        const std::uint32_t k = captions_.Append(caption);
        Insert(captionSlots_, captions_, k);
        captionOf_.push_back(k);
    }
}

}  // namespace vb::builder
