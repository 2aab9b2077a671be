#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "builder/build_window.h"
#include "builder/page_bytes.h"
#include "builder/page_captions.h"
#include "builder/page_template.h"
#include "builder/text_replace.h"

namespace vb::builder {

// The write-out command: validates the job shown in the window, empties the server's
// output folder and fills it with pages of randomly picked source texts and an index.
// The window keeps one PageBuilder for its lifetime and calls Run from mnuGo_Click.
class PageBuilder {
  public:
    explicit PageBuilder(const BuildWindow& window);

    // The whole command. A failure ends the run at the failing step, leaves what was done
    // in place and is reported in a message box with the critical icon; the run never
    // throws. Ignored while a write-out is already running (during its yields).
    void Run();

    // Checks the job's fields in their fixed order and stops at the first fault with its
    // message; then reads template.html into TemplateText and asks for confirmation.
    // True when every check passed and the user answered Yes. Failures of the file-system
    // queries (other than opening the template) are not caught.
    bool IsCheck();

    // One piece of a page body: picks a source file of strFiles (index 0 unused) at random,
    // reads it into strRaw and returns it with line breaks turned into "<br>" and the
    // replacement target replaced. A source without the target is logged and returned as
    // read. Reads the source folder and the replacement fields from the window. It is one
    // slot of the run (PickSource, then AppendPiece), made as text.
    std::string GetSrcPage(const std::vector<std::string>& strFiles, std::string& strRaw);

    // Where each run takes the seed of its source picks from; by default the seconds since
    // midnight. Tests and benchmarks pass a fixed seed.
    void SetPickSeedSource(std::function<std::uint32_t()> source);

  private:
    // The fields a pick reads. During the page loop no window events run, so they are read
    // once for the whole loop.
    struct PickFields {
        std::string SrcPath;
        WordSearch ReplaceTarget;
        std::string ReplaceText;
    };

    // One source slot of a page: the file drawn, its bytes as read and what the page
    // needs of them.
    struct Pick {
        std::string path;
        std::string bytes;
        std::string reencoded;  // the bytes in the page's cp932 form, while the page has one
        bool holdsTarget = false;
        // The source's text (decoded on first need).
        const std::string& Text();
        std::string text;
        bool hasText = false;
    };

    const char* FirstFault();
    PickFields ReadPickFields() const;
    std::size_t DrawSource(const std::vector<std::string>& strFiles);
    void LogMissingTarget(const std::string& path);
    // One source slot of a page, in the two steps the run takes it: the pick (read and
    // logged as it is drawn) and the piece it adds to the page.
    bool PickSource(Pick& pick, const std::vector<std::string>& strFiles, const PickFields& fields,
                    const PageBytes* inCp932);
    void AppendPiece(std::string& out, Pick& pick, const PickFields& fields, PageBytes* inCp932);
    // A page: every slot picked first, since one source not in whole cp932 characters makes
    // the whole page go the text way, then the pieces joined.
    bool PickSources(std::vector<Pick>& picks, std::int32_t count,
                     const std::vector<std::string>& strFiles, const PickFields& fields,
                     const PageBytes* inCp932);
    void AssemblePage(std::string& out, std::vector<Pick>& picks, const PageTemplate& page,
                      const PickFields& fields, PageBytes* inCp932);
    void AppendBody(std::string& out, std::vector<Pick>& picks, const PickFields& fields,
                    PageBytes* inCp932);

    void WriteOut();
    std::vector<std::string> ListSources(const std::string& srcPath);
    std::string RenewOutputFolder(const std::string& srcPath);
    PageCaptions WritePages(const std::string& outputFolder, std::int32_t pages,
                            const std::vector<std::string>& strFiles);
    std::string IndexText(const std::string& outputFolder, const PageCaptions& captions);

    void Warn(const std::string& text);
    void ReportFailure(const std::string& description);

    BuildWindow w_;
    std::function<std::uint32_t()> pickSeedSource_;
    std::mt19937 picks_;
    // Working room kept for its buffers: a source's text with its line breaks done, and a
    // page being assembled as text.
    std::string scratch_;
    std::string body_;
    std::string text_;
};

}  // namespace vb::builder
