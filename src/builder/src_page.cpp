// One piece of a page body: a randomly picked source text, prepared for the page.
#include <algorithm>
#include <stdexcept>

#include "builder/messages.h"
#include "builder/page_builder.h"
#include "builder/text_replace.h"
#include "platform/program_folder.h"

namespace vb::builder {

std::string PageBuilder::GetSrcPage(const std::vector<std::string>& strFiles, std::string& strRaw) {
    std::string piece;
    AppendSrcPage(piece, strFiles, strRaw, ReadPickFields());
    return piece;
}

PageBuilder::PickFields PageBuilder::ReadPickFields() const {
    return {w_.txtSrcPath.Text(), WordSearch(w_.txtReplaceTarget.Text()),
            w_.txtReplaceText.Text()};
}

void PageBuilder::AppendSrcPage(std::string& out, const std::vector<std::string>& strFiles,
                                std::string& strRaw, const PickFields& fields) {
    const std::size_t count = strFiles.empty() ? 0 : strFiles.size() - 1;
    if (count == 0) throw std::out_of_range("インデックスが有効範囲にありません。");

    // r uniform in [0, 1), index floor(r * count) + 1: every source equally likely.
    const double r = static_cast<double>(picks_() & 0xFFFFFFFFu) / 4294967296.0;
    const std::size_t k = std::min(count - 1, static_cast<std::size_t>(r * count)) + 1;
    const std::string path = platform::JoinPath(fields.SrcPath, strFiles[k]);
    strRaw = w_.Fso.ReadAllText(path);

    if (fields.ReplaceTarget.Find(strRaw) == std::string::npos) {
        std::string warning = msg::kWarnMissingTargetBefore;
        warning += path;
        warning += msg::kWarnMissingTargetAfter;
        w_.txtLog.AppendText(warning);
        out += strRaw;
        return;
    }
    // A text that already uses "<br>" tags keeps its line breaks as they are. The target is
    // replaced after the conversion, so it also acts on the inserted tags.
    if (ContainsBrTagAnyCase(strRaw)) {
        AppendReplaced(out, strRaw, fields.ReplaceTarget, fields.ReplaceText);
        return;
    }
    lineBreaksDone_.clear();
    AppendReplaced(lineBreaksDone_, strRaw, "\r\n", "<br>\r\n");
    AppendReplaced(out, lineBreaksDone_, fields.ReplaceTarget, fields.ReplaceText);
}

}  // namespace vb::builder
