#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
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
    WordSearch replaceTarget;
    std::string replaceText;
    PageBytes* inCp932 = nullptr;
};

class KeptPreparations;

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
    // The source's file by its full path, as the pick read it.
    const std::string& Path() const { return path_; }
    // Whoever keeps it for later picks is told of every part made later on first need, so
    // that what it keeps counts all of it. Kept once, before the pick is handed on; let go
    // on the thread that makes picks while the pages' thread may be making a part.
    void SetKeeper(KeptPreparations* keeper, std::size_t index) {
        keptAt_ = index;
        keeper_.store(keeper);
    }
    void LetGo() { keeper_.store(nullptr); }

  private:
    void Grew();

    SlotRules& rules_;
    std::atomic<KeptPreparations*> keeper_{nullptr};
    std::size_t keptAt_ = 0;
    std::string path_;
    std::string bytes_;
    bool holdsTarget_ = false;
    bool inCp932_ = false;
    std::string cp932Piece_;
    std::string warning_;
    std::string text_, textPiece_, caption_;
    bool hasText_ = false, hasTextPiece_ = false, hasCaption_ = false;
};

// The preparations kept for the next pick of their source, at most kMostHeldBytes in all. Each
// part of a kept preparation counts as it is made; one that would pass the cap is not kept, or
// is let go when a later part would (its page still holds it). The picks are made on the
// read-ahead's thread and the later parts on the pages' thread, so every call takes the lock.
class KeptPreparations {
  public:
    // A run over a folder of many large sources prepares the ones beyond the cap at every
    // pick instead of holding them all.
    static constexpr std::size_t kMostHeldBytes = std::size_t{64} << 20;

    explicit KeptPreparations(std::size_t count) : made_(count), held_(count, 0) {}
    ~KeptPreparations();
    KeptPreparations(const KeptPreparations&) = delete;
    KeptPreparations& operator=(const KeptPreparations&) = delete;

    // The preparation kept for the source at index, if any.
    std::shared_ptr<PreparedSource> Find(std::size_t index);
    // Keeps a new preparation in place of the old one, if it fits; true when it does.
    bool Offer(std::size_t index, const std::shared_ptr<PreparedSource>& made);
    // The preparation at index, when it is still the one kept there, now holds held bytes.
    void Grew(const PreparedSource* made, std::size_t index, std::size_t held);
    // What the kept preparations hold now, measured anew.
    std::size_t HeldNow() const;

  private:
    void Release(std::size_t index);

    std::vector<std::shared_ptr<PreparedSource>> made_;  // by index in strFiles
    std::vector<std::size_t> held_;                      // what each kept one holds
    // Let go when they outgrew the cap; dropped at the next Find, as the page that made
    // them grow is using them.
    std::vector<std::shared_ptr<PreparedSource>> outgrown_;
    std::size_t heldBytes_ = 0;
    mutable std::mutex mutex_;
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
    // What the slots keep of the sources they made.
    std::size_t HeldBytes() const { return kept_.HeldNow(); }

    // From here on the next picks (as many as given) are drawn, read and prepared on a
    // helper thread, at most mostAhead of them before GetSrcPage takes them; GetSrcPage
    // still takes and logs them one by one in the draws' order, and throws a failed read at
    // its own pick. An edit of a source shows at most mostAhead picks later than without.
    // The picks waiting hold at most about mostBytes beside what the slots keep (see
    // PicksAhead).
    void ReadAhead(std::size_t picks, std::size_t mostAhead, std::size_t mostBytes);

  private:
    // A pick without its log line: drawn, read and prepared. Its own bytes are those of a
    // preparation nothing keeps. A source too big for the memory fails naming its file.
    PicksAhead::Made Pick();
    // What the bytes read for the source at index make; kept for the next pick of it while
    // the budget allows.
    PicksAhead::Made Remake(std::size_t index, std::string_view bytes);

    platform::FileSystemObject& fso_;
    forms::TextBox& txtLog_;
    platform::FolderReader folder_;
    const std::vector<std::string>& strFiles_;
    SlotRules& rules_;
    std::mt19937& picks_;
    KeptPreparations kept_;
    // Last: its helper, which uses everything above, stops before the rest goes.
    std::unique_ptr<PicksAhead> ahead_;
};

}  // namespace vb::builder
