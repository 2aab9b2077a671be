#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vb::builder {

// The index captions of a run's pages, by page file name. A run may make a million pages
// from a few hundred sources, so each distinct caption is kept once and a page holds its
// number; names and captions share one buffer each and are found through flat tables of
// numbers, instead of a string pair and a heap node per page.
class PageCaptions {
  public:
    explicit PageCaptions(std::size_t expectedPages);

    bool Contains(std::string_view name) const;
    // Records the caption of the page written to a file of this name; the name must be new.
    void Add(std::string_view name, std::string_view caption);
    // The caption recorded for the name; empty when there is none.
    std::string_view CaptionOf(std::string_view name) const;

  private:
    // One buffer of strings, each found by its number.
    struct Strings {
        std::string bytes;
        std::vector<std::uint32_t> ends;  // end of string k in bytes
        std::string_view At(std::uint32_t k) const;
        std::uint32_t Append(std::string_view s);
    };
    // Open addressing over string numbers + 1 (0: empty), at most half full, a power of two
    // in size so that a hash picks a slot with a mask. The slot of s: the one holding it, or
    // the empty one where it would go.
    static std::size_t SlotOf(const std::vector<std::uint32_t>& slots, const Strings& strings,
                              std::string_view s);
    static void Insert(std::vector<std::uint32_t>& slots, const Strings& strings, std::uint32_t k);

    Strings names_;                            // page k's file name
    std::vector<std::uint32_t> captionOf_;     // page k's caption number
    Strings captions_;                         // each distinct caption once
    std::vector<std::uint32_t> nameSlots_;     // page numbers + 1
    std::vector<std::uint32_t> captionSlots_;  // caption numbers + 1
};

}  // namespace vb::builder
