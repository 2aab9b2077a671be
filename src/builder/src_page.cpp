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

// One slot of the run, made as text: the same pick and the same preparation as every slot of
// every page the run writes.
std::string PageBuilder::GetSrcPage(const std::vector<std::string>& strFiles, std::string& strRaw) {
    const PickFields fields = ReadPickFields();
    Pick pick;
    PickSource(pick, strFiles, fields, nullptr);
    strRaw = pick.Text();
    std::string piece;
    AppendPiece(piece, pick, fields, nullptr);
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

// Picks and reads one slot's source and logs it when it lacks the target. It stays in cp932
// when inCp932 is given and its bytes are whole characters; returns whether it did.
bool PageBuilder::PickSource(Pick& pick, const std::vector<std::string>& strFiles,
                             const PickFields& fields, const PageBytes* inCp932) {
    pick.path = platform::JoinPath(fields.SrcPath, strFiles[DrawSource(strFiles)]);
    pick.bytes = w_.Fso.ReadAllBytes(pick.path);
    pick.reencoded.clear();
    pick.hasText = false;
    const bool keptCp932 = inCp932 && PageBytes::Reencode(pick.bytes, pick.reencoded);
    if (keptCp932)
        pick.holdsTarget = inCp932->HoldsTarget(pick.reencoded);
    else
        pick.holdsTarget = fields.ReplaceTarget.Find(pick.Text()) != std::string::npos;
    if (!pick.holdsTarget) LogMissingTarget(pick.path);
    return keptCp932;
}

// Reads the page's sources, in the order of their slots. Sources stay in cp932 while every
// one so far could (see PageBytes); returns whether all of them did, so that the page can be
// made in cp932.
bool PageBuilder::PickSources(std::vector<Pick>& picks, std::int32_t count,
                              const std::vector<std::string>& strFiles, const PickFields& fields,
                              const PageBytes* inCp932) {
    // The slots' entries are reused from page to page for their buffers.
    std::size_t used = 0;
    bool keepCp932 = inCp932 != nullptr;
    for (std::int32_t slot = 1; slot <= count; ++slot) {
        if (used == picks.size()) picks.emplace_back();
        keepCp932 = PickSource(picks[used++], strFiles, fields, keepCp932 ? inCp932 : nullptr);
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

// Appends one slot's piece: the source prepared when it holds the target, else as read; in
// cp932 when inCp932 is given (the pick stayed in cp932), else as text.
void PageBuilder::AppendPiece(std::string& out, Pick& pick, const PickFields& fields,
                              PageBytes* inCp932) {
    if (inCp932) {
        if (pick.holdsTarget)
            inCp932->AppendPrepared(out, pick.reencoded);
        else
            out += pick.reencoded;
    } else if (pick.holdsTarget) {
        AppendPreparedSource(out, pick.Text(), fields.ReplaceTarget, fields.ReplaceText, scratch_);
    } else {
        out += pick.Text();
    }
}

// Appends the slots' pieces, each after "<br>" and CR LF unless the body is still empty.
void PageBuilder::AppendBody(std::string& out, std::vector<Pick>& picks, const PickFields& fields,
                             PageBytes* inCp932) {
    const std::size_t bodyStart = out.size();
    for (Pick& pick : picks) {
        if (out.size() != bodyStart) out += "<br>\r\n";
        AppendPiece(out, pick, fields, inCp932);
    }
}

// The page in cp932: straight from the re-encoded sources when inCp932 is given (all of
// them are), else assembled as text from the sources' texts and encoded.
void PageBuilder::AssemblePage(std::string& out, std::vector<Pick>& picks, const PageTemplate& page,
                               const PickFields& fields, PageBytes* inCp932) {
    if (inCp932) {
        out = inCp932->Head();
        AppendBody(out, picks, fields, inCp932);
        out += inCp932->Tail();
        return;
    }
    // With the body placeholder there once, the body goes straight into the page after the
    // template's head; otherwise it is assembled apart and filled in.
    const bool direct = page.HasOneBodyPlace();
    std::string& assembly = direct ? text_ : body_;
    assembly.clear();
    if (direct) assembly += page.Head();
    AppendBody(assembly, picks, fields, nullptr);
    if (direct)
        text_ += page.Tail();
    else
        page.Fill(text_, body_);
    out = platform::cp932::Encode(text_);
}

}  // namespace vb::builder
