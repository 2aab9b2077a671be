// The write-out run: log, yields, output folder, pages, index.
#include "builder/page_builder.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "builder/index_caption.h"
#include "builder/messages.h"
#include "builder/output_folder.h"
#include "builder/page_counts.h"
#include "builder/page_names.h"
#include "builder/page_template.h"
#include "codec/codec.h"
#include "platform/app_title.h"
#include "platform/closes_behind.h"
#include "platform/deletes_behind.h"
#include "platform/local_clock.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/run_beside.h"
#include "platform/system_error.h"
#include "rules/folder_name.h"

namespace vb::builder {

namespace {

// The run stops because the job, as the window shows it now, must not go on; the user sees
// the message as a validation message.
class JobRefused : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Another write-out holds the server's output folder: the job is fine, the moment is not.
class FolderBusy : public JobRefused {
  public:
    using JobRefused::JobRefused;
};

// How many pages the source picks are read ahead of the page being written. Enough that a
// page write that waits (a file creation behind the file system's journal, a close that the
// virus scanner holds) leaves the reads busy, and few enough that an edit of a source shows
// a few dozen pages later at most.
constexpr std::size_t kPagesAhead = 32;

// How many bytes of their own the picks waiting may hold, beyond the page being written. A
// pick of a source the slots keep (KeptPreparations, 64 MiB in all) shares the kept one and
// holds nothing of its own, so a job of usual sources reads the whole kPagesAhead ahead; a
// source beyond that keep is held once per pick, and one big source picked again and again
// would multiply. 16 MiB is what the helper reads and prepares from the cache in some
// 20-50 ms, as long as a page write waits on a journal commit or a scanner's close, so a
// run of big sources keeps its reads beside the writes; and it stays small beside the keep,
// so such a run's peak is the keep, this, and a few copies of the biggest source (the page
// being written, the pick in the making and one waiting when a source passes this alone).
constexpr std::size_t kBytesAhead = std::size_t{16} << 20;

// Marks the write-out as running for as long as the object lives, whatever way the run ends.
class RunningMark {
  public:
    explicit RunningMark(RunState& state) : state_(state) { state_.writeOutRunning = true; }
    ~RunningMark() { state_.writeOutRunning = false; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

  private:
    RunState& state_;
};

// A page that does not fit in the memory: named by its biggest source, the one that needs
// the room. Called while the failure is handled; with no source it goes on as it was.
[[noreturn]] void ThrowPageTooBig(const std::vector<std::shared_ptr<PreparedSource>>& sources) {
    const auto biggest = std::max_element(
        sources.begin(), sources.end(),
        [](const auto& a, const auto& b) { return a->HeldBytes() < b->HeldBytes(); });
    if (biggest == sources.end()) throw;
    platform::ThrowFailure("ページを作成できません。", (*biggest)->Path(),
                           platform::os_error::kOutOfMemory);
}

}  // namespace

PageBuilder::PageBuilder(const BuildWindow& window)
    : w_(window), pickSeedSource_(platform::SecondsSinceMidnight) {}

void PageBuilder::SetPickSeedSource(std::function<std::uint32_t()> source) {
    pickSeedSource_ = source ? std::move(source) : platform::SecondsSinceMidnight;
}

WriteOutOutcome PageBuilder::Run() {
    RunningMark running(w_.state);
    pagesWritten_ = 0;
    WriteOutOutcome ended = Attempt();
    ended.pagesWritten = pagesWritten_;
    // IsCheck has shown its own refusal already.
    if (ended.outcome == Outcome::Busy || (ended.outcome == Outcome::Refused && !checkFault_))
        Warn(ended.text);
    if (ended.outcome == Outcome::Failed) ReportFailure(ended.text);
    return ended;
}

WriteOutOutcome PageBuilder::Attempt() {
    checkFault_ = nullptr;
    try {
        w_.pbrProcess.SetValue(0.0f);
        if (!IsCheck()) {
            if (checkFault_) return {Outcome::Refused, checkFault_};
            return {Outcome::Unconfirmed, {}};
        }
        WriteOut();
        return {Outcome::Done, {}};
    } catch (const FolderBusy& busy) {
        return {Outcome::Busy, busy.what()};
    } catch (const JobRefused& refusal) {
        return {Outcome::Refused, refusal.what()};
    } catch (const std::exception& failure) {
        return {Outcome::Failed, failure.what()};
    } catch (...) {
        return {Outcome::Failed, platform::kUnexpectedFailure};
    }
}

void PageBuilder::WriteOut() {
    w_.txtLog.SetText(msg::kLogStarted);
    w_.events.ProcessEvents();
    picks_.seed(pickSeedSource_());

    const std::string srcPath = w_.txtSrcPath.Text();
    const std::vector<std::string> strFiles = ListSources(srcPath);
    platform::FileLock outputLock;  // held until the run ends, however it ends
    // The old pages go beside the new ones; a run that fails waits for them here, still
    // holding the lock.
    platform::DeletesBehind oldPages(w_.fso, [this] { w_.pbrProcess.KeepShown(); });
    const std::string outputFolder = RenewOutputFolder(srcPath, outputLock, oldPages);

    // The fields may have changed during the yields: the counts are checked again as read.
    const auto plan = PlanPageCount(w_.txtMakePageNum.Text());
    if (!plan) throw JobRefused(msg::kBadMakePageNum);
    w_.pbrProcess.SetMax(plan->progressMax);

    std::string indexBytes;
    std::string leftAside;  // why the old pages' deletion failed
    {
        const PageCaptions captions = WritePages(outputFolder, plan->pages, strFiles);
        // Once aside the old pages no longer stand in the way: a deletion that failed (a page
        // held open) is told of after the index, and the next run removes what stayed.
        try {
            oldPages.Finish();
        } catch (const platform::SystemError& failure) {
            leftAside = failure.what();
        }
        w_.pbrProcess.SetValue(w_.pbrProcess.Max());
        indexBytes = IndexBytes(outputFolder, captions);
    }  // the captions go before the index is written: a large run needs the room
    w_.fso.WriteAllBytes(platform::JoinPath(outputFolder, "index.html"), indexBytes);
    if (!leftAside.empty()) w_.txtLog.AppendText(msg::kOldPagesLeftAside + leftAside + "\r\n");
    w_.txtLog.AppendText(msg::kLogFinished);
}

// The source list: index 0 empty, then the names of the files in the listing's order.
// A folder emptied since validation stops the run before the output folder is touched.
// The biggest source a run takes. A page is made of whole sources, and a source is held a few
// times over while it is read, prepared and written (its bytes, its prepared text, the page):
// 1.07 GB measured for one source of 256 MiB a page, 520 MB for one of 64 MiB twice a page.
// A 1 GB source made a 5.3 GB peak.
constexpr std::uintmax_t kMostSourceBytes = std::uintmax_t{256} << 20;

std::vector<std::string> PageBuilder::ListSources(const std::string& srcPath) {
    if (IsSameFolder(srcPath, platform::ProgramFolder()))
        throw JobRefused(msg::kSrcIsProgramFolder);
    const platform::Folder folder = w_.fso.GetFolder(srcPath);
    if (folder.Count() == 0) throw JobRefused(msg::kNoSources);
    std::vector<std::string> strFiles;
    strFiles.reserve(folder.Count() + 1);
    strFiles.emplace_back();
    for (const auto& file : folder.Files()) {
        // Asked before the output folder is touched; a size that cannot be read fails later,
        // at the read, as any read does.
        std::error_code unknown;
        if (std::filesystem::file_size(platform::PathFromUtf8(file.path), unknown) >
                kMostSourceBytes &&
            !unknown)
            throw JobRefused(std::string(msg::kSourceTooBig) + "\r\n" + file.path);
        strFiles.push_back(file.name);
    }
    return strFiles;
}

// Empties the server's output folder by moving the old one aside and creating it anew, with
// the second yield in between; the old one is deleted on oldPages' helper thread meanwhile,
// and the new one is empty when the first page is written. The server name and the source folder's
// place are checked again as they are now, since both could have changed during the first yield.
// Another write-out into the same folder (another window, a scheduled run) refuses this one before
// anything is deleted.
std::string PageBuilder::RenewOutputFolder(const std::string& srcPath,
                                           platform::FileLock& outputLock,
                                           platform::DeletesBehind& oldPages) {
    const std::string server = w_.cboServer.Text();
    if (!rules::IsPlainFolderName(server)) throw JobRefused(msg::kServerNameNotFolder);
    const std::string outputFolder = OutputFolderPath(server);
    if (IsSameOrInside(srcPath, outputFolder)) throw JobRefused(msg::kSrcInsideOutput);
    outputLock = w_.fso.TakeLock(OutputLockPath(server));
    if (!outputLock.Held()) throw FolderBusy(msg::kOutputFolderBusy);
    RemoveOldLockInPlaceOf(outputFolder);

    // A missing output folder is simply created; "local" itself must exist already.
    // What a run ended during a deletion left aside goes on the helper too: after a killed
    // run of many pages it costs what the helper was made to hide.
    // The move looks at every old page first (anything write-protected, a mount inside): on
    // the helper, with the window shown alive, as the deletion is.
    std::string aside;
    // A link in the folder's place is removed, not followed, whatever it points to (a folder,
    // a file, nothing): the log says so, since the pages no longer go where it pointed.
    const bool link = w_.fso.IsFolderLink(outputFolder);
    if (link || w_.fso.FolderExists(outputFolder)) {
        aside = platform::RunBeside([&] { return w_.fso.MoveFolderAside(outputFolder); },
                                    [this] { w_.pbrProcess.KeepShown(); });
        if (link) w_.txtLog.AppendText(msg::kOutputWasLink + outputFolder + "\r\n");
    }
    oldPages.Start(std::move(aside), outputFolder);
    w_.events.ProcessEvents();
    w_.fso.CreateFolder(outputFolder);
    return outputFolder;
}

PageCaptions PageBuilder::WritePages(const std::string& outputFolder, std::int32_t pages,
                                     const std::vector<std::string>& strFiles) {
    // No events run from here on, so the fields read once hold for every page.
    const auto perPage = SourcesPerPage(w_.txtPagePerSrcNum.Text());
    if (!perPage) throw JobRefused(msg::kBadPagePerSrcNum);
    const PageTemplate page(w_.TemplateText, w_.cboTitle.Text());
    SlotRules rules{WordSearch(w_.txtReplaceTarget.Text()), w_.txtReplaceText.Text()};

    // Pages are made in cp932 throughout where the job allows it (see PageBytes).
    std::optional<PageBytes> pageBytesWay =
        PageBytes::For(page, rules.replaceTarget.Word(), rules.replaceText);
    rules.inCp932 = pageBytesWay ? &*pageBytesWay : nullptr;
    SourceSlots slots(w_.fso, w_.txtLog, w_.txtSrcPath.Text(), strFiles, rules, picks_);
    // Fewer than one source a page (a negative count) picks none, as the page loop does.
    const auto perPageCount = static_cast<std::size_t>(std::max(*perPage, 0));
    slots.ReadAhead(static_cast<std::size_t>(std::max(pages, 0)) * perPageCount,
                    kPagesAhead * perPageCount, kBytesAhead);

    // Each page file is closed beside the next writes where a close costs (kClosesBehind);
    // every close is done, or the first failed one thrown, before the index is made.
    platform::ClosesBehind closes(w_.fso, platform::kClosesBehind);
    PageCaptions captions(static_cast<std::size_t>(std::max(pages, 0)));
    // The last source picked gives each page's caption; it carries over a page without one.
    // Only the caption is held over, not the source: a big one would be held twice.
    std::string caption;
    std::vector<std::shared_ptr<PreparedSource>> sources;
    std::vector<std::string_view> pagePieces;
    for (std::int32_t i = 1; i <= pages; ++i) {
        // Every slot is picked before the page is made: one source not in whole cp932
        // characters makes the whole page go the text way.
        sources.clear();
        bool allInCp932 = rules.inCp932 != nullptr;
        for (std::int32_t slot = 1; slot <= *perPage; ++slot) {
            sources.push_back(slots.GetSrcPage());
            allInCp932 = allInCp932 && sources.back()->InCp932();
        }
        try {
            AssemblePage(pagePieces, sources, page, allInCp932 ? rules.inCp932 : nullptr);
            if (!sources.empty()) caption = sources.back()->Caption();
        } catch (const std::bad_alloc&) {
            ThrowPageTooBig(sources);
        }

        // A name this run already wrote is drawn again, so no page replaces another.
        std::string name;
        do {
            name = DrawPageName(w_.fso);
        } while (captions.Contains(name));
        w_.fso.WriteAllPieces(platform::JoinPath(outputFolder, name), pagePieces);
        captions.Add(name, caption);
        ++pagesWritten_;
        w_.pbrProcess.SetValue(static_cast<float>(i));
    }
    closes.Finish();
    return captions;
}

// Each source after "<br>" and CR LF unless the body is still empty.
void PageBuilder::AssemblePage(std::vector<std::string_view>& pieces,
                               const std::vector<std::shared_ptr<PreparedSource>>& sources,
                               const PageTemplate& page, PageBytes* inCp932) {
    pieces.clear();
    if (inCp932) {
        // The page is written from the pieces as they are: nothing is copied to make it.
        pieces.push_back(inCp932->Head());
        bool bodyEmpty = true;
        for (const auto& source : sources) {
            if (!bodyEmpty) pieces.push_back("<br>\r\n");
            pieces.push_back(source->Cp932Piece());
            bodyEmpty = bodyEmpty && source->Cp932Piece().empty();
        }
        pieces.push_back(inCp932->Tail());
        return;
    }
    // With the body placeholder there once, the body goes straight into the page after the
    // template's head; otherwise it is assembled apart and filled in.
    const bool direct = page.HasOneBodyPlace();
    std::string& assembly = direct ? text_ : body_;
    assembly.clear();
    if (direct) assembly += page.Head();
    const std::size_t bodyStart = assembly.size();
    for (const auto& source : sources) {
        if (assembly.size() != bodyStart) assembly += "<br>\r\n";
        assembly += source->TextPiece();
    }
    if (direct)
        text_ += page.Tail();
    else
        page.Fill(text_, body_);
    pageBytes_ = codec::cp932::Encode(text_);
    pieces.push_back(pageBytes_);
}

// The index lists the output folder's files in the listing's order, each with the caption
// of the page written to it, in cp932.
std::string PageBuilder::IndexBytes(const std::string& outputFolder, const PageCaptions& captions) {
    const PageTemplate index(w_.TemplateText, w_.cboTitle.Text());
    const std::vector<std::string> names = w_.fso.GetFileNames(outputFolder);
    std::string entry;
    // With the body placeholder there once and a template that encodes one character at a
    // time, each entry is encoded as it is made, straight after the encoded head: an entry
    // ends in CR LF, so encoding it alone gives the bytes encoding the whole index gives,
    // and a run of many pages holds one copy of the entries, in cp932.
    if (index.HasOneBodyPlace() && codec::cp932::EncodesCharacterByCharacter(index.Head()) &&
        codec::cp932::EncodesCharacterByCharacter(index.Tail())) {
        std::string bytes = codec::cp932::Encode(index.Head());
        bytes.reserve(index.FixedSize() + names.size() * 128);
        for (const auto& name : names) {
            entry.clear();
            AppendIndexEntry(entry, captions.CaptionOf(name), name);
            bytes += codec::cp932::Encode(entry);
        }
        bytes += codec::cp932::Encode(index.Tail());
        return bytes;
    }
    std::string body;
    for (const auto& name : names) AppendIndexEntry(body, captions.CaptionOf(name), name);
    std::string text;
    index.Fill(text, body);
    return codec::cp932::Encode(text);
}

void PageBuilder::Warn(const std::string& text) {
    w_.msgBox.Show(text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                   platform::kAppTitle);
}

void PageBuilder::ReportFailure(const std::string& description) {
    w_.msgBox.Show(description, platform::MsgButtons::OK, platform::MsgIcon::Critical,
                   platform::kAppTitle);
}

}  // namespace vb::builder
