#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "builder/build_window.h"
#include "builder/page_bytes.h"
#include "builder/page_captions.h"
#include "builder/page_template.h"
#include "builder/source_slots.h"
#include "builder/write_out_outcome.h"
#include "platform/deletes_behind.h"

namespace vb::builder {

// The write-out command: validates the job shown in the window, empties the server's
// output folder and fills it with pages of randomly picked source texts and an index.
// The window keeps one PageBuilder for its lifetime and calls Run from mnuGo_Click.
class PageBuilder {
  public:
    explicit PageBuilder(const BuildWindow& window);

    // The whole command. A failure ends the run at the failing step, leaves what was done
    // in place and is reported in a message box with the critical icon, a refused job in
    // one with the warning icon; the run never throws and returns how it ended. The window
    // calls it as a command, and its commands are ignored while a write-out runs (RunState),
    // so a run never starts during another's yields.
    WriteOutOutcome Run();

    // Checks the job's fields in their fixed order and stops at the first fault with its
    // message; then reads template.html into TemplateText and asks for confirmation.
    // True when every check passed and the user answered Yes. Failures of the file-system
    // queries (other than opening the template) are not caught.
    bool IsCheck();

    // Where each run takes the seed of its source picks from; by default the seconds since
    // midnight. Tests and benchmarks pass a fixed seed.
    void SetPickSeedSource(std::function<std::uint32_t()> source);

  private:
    const char* FirstFault();
    // The run without its boxes: how it ended.
    WriteOutOutcome Attempt();
    // A page in cp932, as the pieces to write one after another: the head, the sources'
    // cp932 pieces and the tail when inCp932 is given (every source has one), else the
    // page assembled as text from their text pieces and encoded. The pieces stay valid
    // while the sources and this builder do, until the next page.
    void AssemblePage(std::vector<std::string_view>& pieces,
                      const std::vector<std::shared_ptr<PreparedSource>>& sources,
                      const PageTemplate& page, PageBytes* inCp932);

    void WriteOut();
    std::vector<std::string> ListSources(const std::string& srcPath);
    std::string RenewOutputFolder(const std::string& srcPath, platform::FileLock& outputLock,
                                  platform::DeletesBehind& oldPages);
    PageCaptions WritePages(const std::string& outputFolder, std::int32_t pages,
                            const std::vector<std::string>& strFiles);
    std::string IndexBytes(const std::string& outputFolder, const PageCaptions& captions);

    void Warn(const std::string& text);
    void ReportFailure(const std::string& description);

    BuildWindow w_;
    std::function<std::uint32_t()> pickSeedSource_;
    std::mt19937 picks_;
    const char* checkFault_ = nullptr;  // the fault IsCheck last found; null: none
    std::int32_t pagesWritten_ = 0;     // by the current run
    // Working room kept for its buffers: a page being assembled as text, and its bytes.
    std::string body_;
    std::string text_;
    std::string pageBytes_;
};

}  // namespace vb::builder
