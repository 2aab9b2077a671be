#pragma once

#include <cstddef>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "builder/page_bytes.h"
#include "builder/picks_ahead.h"
#include "builder/text_replace.h"
#include "forms/text_box.h"
#include "platform/file_system.h"
#include "platform/folder_reader.h"

namespace vb::builder {

// The source a slot takes: r uniform in [0, 1) drawn from the run's generator, the index
// floor(r * count) + 1, so that every source 1..count is equally likely. Throws when the
// list is empty.
std::size_t DrawSourceIndex(std::mt19937& picks, std::size_t count);

// How a run prepares its sources: the replacement fields as the run read them, and the
// run's cp932 page form when the job allows one (see PageBytes).
struct SlotRules {
    WordSearch ReplaceTarget;
    std::string ReplaceText;
    PageBytes* InCp932 = nullptr;
};

// What the pages take from one source, made from the bytes read from its file: the bytes,
// whether they hold the target, the piece a page gets in cp932, and the text forms, made
// on first need. Made once for as long as the file reads the same.
class PreparedSource {
  public:
    PreparedSource(std::string_view bytes, const std::string& path, SlotRules& rules);

    bool Matches(std::string_view bytes) const { return bytes == bytes_; }
    bool HoldsTarget() const { return holdsTarget_; }
    // The log line for a pick of a source without the target; empty when it holds it.
    const std::string& Warning() const { return warning_; }
    // The piece in the page's cp932 form: the run makes pages in cp932 and the bytes are
    // whole characters.
    bool InCp932() const { return inCp932_; }
    const std::string& Cp932Piece() const { return cp932Piece_; }
    // The source's text as read, and the piece as text: line breaks turned into "<br>" and
    // the target replaced when it holds the target, else the text as read.
    const std::string& Text();
    const std::string& TextPiece();
    // The index caption the text gives when this is a page's last source.
    const std::string& Caption();
    // The memory it holds, near enough for a budget.
    std::size_t HeldBytes() const;

  private:
    SlotRules& rules_;
    std::string bytes_;
    bool holdsTarget_ = false;
    bool inCp932_ = false;
    std::string cp932Piece_;
    std::string warning_;
    std::string text_, textPiece_, caption_;
    bool hasText_ = false, hasTextPiece_ = false, hasCaption_ = false;
};

// The source slots of a run's pages (GetSrcPage, once per slot). Every pick opens and reads
// its file anew; what was made from the bytes is reused while they are the bytes the same
// file gave last time, and made again when they differ.
class SourceSlots {
  public:
    // strFiles: index 0 unused, then the source folder's file names. The generator and the
    // lists are the run's and must outlive the slots.
    SourceSlots(platform::FileSystemObject& fso, forms::TextBox& txtLog, const std::string& srcPath,
                const std::vector<std::string>& strFiles, SlotRules& rules, std::mt19937& picks);

    // One slot: draws a source, reads its whole file, and logs the pick when the source lacks
    // the target. A file that cannot be read throws, naming it. A page holds on to what it
    // got: a later pick that reads other bytes of the same file makes a new one.
    std::shared_ptr<PreparedSource> GetSrcPage();

    // From here on the next picks (as many as given) are drawn, read and prepared on a
    // helper thread, at most mostAhead of them before GetSrcPage takes them; GetSrcPage
    // still takes and logs them one by one in the draws' order, and throws a failed read at
    // its own pick. An edit of a source shows at most mostAhead picks later than without.
    void ReadAhead(std::size_t picks, std::size_t mostAhead);

  private:
    // A pick without its log line: drawn, read and prepared.
    std::shared_ptr<PreparedSource> Pick();
    // What the bytes read for the source at index make; kept for the next pick of it while
    // the budget allows.
    std::shared_ptr<PreparedSource> Remake(std::size_t index, std::string_view bytes);

    platform::FileSystemObject& fso_;
    forms::TextBox& txtLog_;
    platform::FolderReader folder_;
    const std::vector<std::string>& strFiles_;
    SlotRules& rules_;
    std::mt19937& picks_;
    std::vector<std::shared_ptr<PreparedSource>> made_;  // by index in strFiles
    std::vector<std::size_t> held_;                      // what each kept one held when made
    std::size_t heldBytes_ = 0;
    // Last: its helper, which uses everything above, stops before the rest goes.
    std::unique_ptr<PicksAhead> ahead_;
};

}  // namespace vb::builder
