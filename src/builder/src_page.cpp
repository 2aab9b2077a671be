// One piece of a page body: a randomly picked source text, prepared for the page.
#include <algorithm>
#include <stdexcept>

#include "builder/messages.h"
#include "builder/page_builder.h"
#include "builder/text_replace.h"
#include "platform/codec.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"

namespace vb::builder {

std::string PageBuilder::GetSrcPage(const std::vector<std::string>& strFiles, std::string& strRaw) {
    const PickFields fields = ReadPickFields();
    const std::string path = platform::JoinPath(fields.SrcPath, strFiles[DrawSource(strFiles)]);
    strRaw = w_.Fso.ReadAllText(path);
    if (fields.ReplaceTarget.Find(strRaw) == std::string::npos) {
        LogMissingTarget(path);
        return strRaw;
    }
    std::string piece;
    AppendPreparedSource(piece, strRaw, fields.ReplaceTarget, fields.ReplaceText, scratch_);
    return piece;
}

PageBuilder::PickFields PageBuilder::ReadPickFields() const {
    return {w_.txtSrcPath.Text(), WordSearch(w_.txtReplaceTarget.Text()), w_.txtReplaceText.Text()};
}

std::size_t PageBuilder::DrawSource(const std::vector<std::string>& strFiles) {
    const std::size_t count = strFiles.empty() ? 0 : strFiles.size() - 1;
    if (count == 0) throw std::out_of_range("インデックスが有効範囲にありません。");
    // r uniform in [0, 1), index floor(r * count) + 1: every source equally likely.
    const double r = static_cast<double>(picks_() & 0xFFFFFFFFu) / 4294967296.0;
    return std::min(count - 1, static_cast<std::size_t>(r * count)) + 1;
}

// The source is named by its full path, made from the text alone (links stay as they are),
// however the source folder was typed: relative, with "." or "..", with a trailing separator.
void PageBuilder::LogMissingTarget(const std::string& path) {
    std::string warning = msg::kWarnMissingTargetBefore;
    warning += platform::LexicalFullPath(path);
    warning += msg::kWarnMissingTargetAfter;
    w_.txtLog.AppendText(warning);
}

// Reads the page's sources, in the order of their slots, and logs each one without the
// target as it is read. Sources stay in cp932 while every one so far could (see PageBytes);
// returns whether all of them did, so that the page can be made in cp932.
bool PageBuilder::PickSources(std::vector<Pick>& picks, std::int32_t count,
                              const std::vector<std::string>& strFiles, const PickFields& fields,
                              const PageBytes* inCp932) {
    // The slots' entries are reused from page to page for their buffers.
    std::size_t used = 0;
    bool keepCp932 = inCp932 != nullptr;
    for (std::int32_t slot = 1; slot <= count; ++slot) {
        if (used == picks.size()) picks.emplace_back();
        Pick& pick = picks[used++];
        pick.path = platform::JoinPath(fields.SrcPath, strFiles[DrawSource(strFiles)]);
        pick.bytes = w_.Fso.ReadAllBytes(pick.path);
        pick.reencoded.clear();
        pick.hasText = false;
        keepCp932 = keepCp932 && PageBytes::Reencode(pick.bytes, pick.reencoded);
        if (keepCp932)
            pick.holdsTarget = inCp932->HoldsTarget(pick.reencoded);
        else
            pick.holdsTarget = fields.ReplaceTarget.Find(pick.Text()) != std::string::npos;
        if (!pick.holdsTarget) LogMissingTarget(pick.path);
    }
    picks.resize(used);
    return keepCp932;
}

const std::string& PageBuilder::Pick::Text() {
    if (!hasText) {
        text = platform::cp932::Decode(bytes);
        hasText = true;
    }
    return text;
}

// The page in cp932: straight from the re-encoded sources when inCp932 is given (all of
// them are), else assembled as text from the sources' texts and encoded.
void PageBuilder::AssemblePage(std::string& out, std::vector<Pick>& picks, const PageTemplate& page,
                               const PickFields& fields, PageBytes* inCp932) {
    if (inCp932) {
        out = inCp932->Head();
        const std::size_t bodyStart = out.size();
        for (const Pick& pick : picks) {
            if (out.size() != bodyStart) out += "<br>\r\n";
            if (pick.holdsTarget)
                inCp932->AppendPrepared(out, pick.reencoded);
            else
                out += pick.reencoded;
        }
        out += inCp932->Tail();
        return;
    }
    // With the body placeholder there once, the body goes straight into the page after the
    // template's head; otherwise it is assembled apart and filled in.
    const bool direct = page.HasOneBodyPlace();
    std::string& assembly = direct ? text_ : body_;
    assembly.clear();
    if (direct) assembly += page.Head();
    const std::size_t bodyStart = assembly.size();
    for (Pick& pick : picks) {
        if (assembly.size() != bodyStart) assembly += "<br>\r\n";
        if (pick.holdsTarget)
            AppendPreparedSource(assembly, pick.Text(), fields.ReplaceTarget, fields.ReplaceText,
                                 scratch_);
        else
            assembly += pick.Text();
    }
    if (direct)
        text_ += page.Tail();
    else
        page.Fill(text_, body_);
    out = platform::cp932::Encode(text_);
}

}  // namespace vb::builder
