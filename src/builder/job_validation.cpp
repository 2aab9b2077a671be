// Job validation: the checks a write-out must pass before anything is touched.
#include "builder/messages.h"
#include "builder/output_folder.h"
#include "builder/page_builder.h"
#include "builder/page_counts.h"
#include "builder/page_template.h"
#include "platform/app_title.h"
#include "platform/program_folder.h"
#include "rules/folder_name.h"
#include "rules/numeric.h"

namespace vb::builder {

namespace {

// Only spaces count as blanks here; the text itself is later used untrimmed.
bool IsBlankText(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

bool PageBuilder::IsCheck() {
    checkFault_ = FirstFault();
    if (checkFault_) {
        Warn(checkFault_);
        return false;
    }
    w_.TemplateText = w_.fso.ReadAllText(TemplatePath());
    const auto answer = w_.msgBox.Show(msg::kConfirmEmptying, platform::MsgButtons::YesNo,
                                       platform::MsgIcon::Question, platform::kAppTitle);
    return answer != platform::MsgResult::No;
}

// The message of the first check that fails, in the fixed order; nullptr when all pass.
// The server name and the source folder's place are checked right after the server is
// chosen, because the run deletes the server's output folder before it reads the sources.
const char* PageBuilder::FirstFault() {
    const std::string srcPath = w_.txtSrcPath.Text();
    if (!w_.fso.FolderExists(srcPath)) return msg::kNoSrcPath;
    if (w_.fso.GetFolder(srcPath).Count() == 0) return msg::kNoSources;
    if (IsSameFolder(srcPath, platform::ProgramFolder())) return msg::kSrcIsProgramFolder;
    if (w_.cboServer.ListIndex() < 0) return msg::kNoServer;
    const std::string server = w_.cboServer.Text();
    if (!rules::IsPlainFolderName(server)) return msg::kServerNameNotFolder;
    if (IsSameOrInside(srcPath, OutputFolderPath(server))) return msg::kSrcInsideOutput;

    const std::string makePageNum = w_.txtMakePageNum.Text();
    if (!rules::IsNumeric(makePageNum) || !PlanPageCount(makePageNum)) return msg::kBadMakePageNum;
    const std::string pagePerSrcNum = w_.txtPagePerSrcNum.Text();
    if (!rules::IsNumeric(pagePerSrcNum) || !SourcesPerPage(pagePerSrcNum))
        return msg::kBadPagePerSrcNum;
    if (IsBlankText(w_.txtReplaceTarget.Text())) return msg::kBadReplaceTarget;
    if (IsBlankText(w_.txtReplaceText.Text())) return msg::kBadReplaceText;
    if (w_.cboTitle.ListIndex() < 0) return msg::kNoTitle;
    // Any reason the template cannot be opened counts as missing.
    if (!w_.fso.CanOpenForReading(TemplatePath())) return msg::kNoTemplate;
    return nullptr;
}

}  // namespace vb::builder
