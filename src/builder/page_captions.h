#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vb::builder {

// The index captions of a run's pages, by page file name. A run may make a million pages,
// so the captions and names share two buffers and are found through one flat table of
// page numbers, instead of a string pair and a heap node per page.
class PageCaptions {
  public:
    explicit PageCaptions(std::size_t expectedPages);

    bool Contains(std::string_view name) const;
    // Records the caption of the page written to a file of this name; the name must be new.
    void Add(std::string_view name, std::string_view caption);
    // The caption recorded for the name; empty when there is none.
    std::string_view CaptionOf(std::string_view name) const;

  private:
    std::string_view NameOf(std::uint32_t page) const;
    std::string_view CaptionOfPage(std::uint32_t page) const;
    // The slot of the name: the one holding it, or the empty one where it would go.
    std::size_t SlotOf(std::string_view name) const;
    void Grow();

    std::string names_;
    std::string captions_;
    std::vector<std::uint32_t> nameEnds_;     // end of page k's name in names_
    std::vector<std::uint32_t> captionEnds_;  // end of page k's caption in captions_
    std::vector<std::uint32_t> slots_;        // page number + 1, or 0 for an empty slot
};

}  // namespace vb::builder
