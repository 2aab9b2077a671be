// Page body assembly on any source bytes, replacement target, replacement text, title and
// template: GetSrcPage (the run's own source slot, reading the source through the file
// service) and the builder's text rules against plain, obviously correct versions written
// from their definitions:
// - a source without the target comes back as read, with one warning line naming it;
// - otherwise CR LF becomes "<br>" + CR LF unless the text holds "<br>" in any letter case,
//   then every target is replaced, scanning on after each replacement;
// - a page is the template with every "&&TITLE&&" and then every "&&BODY&&" replaced;
// - an index caption is the raw text without " ", "　", "<br>" and CR LF (in that order),
//   ">" and "<" escaped, cut to 40 characters, and its entry puts characters 21-30 in the link.
// - a page made in cp932 straight from the source's bytes (PageBytes), where that way is
//   taken, has the very bytes of the page made as text and encoded.
// Every field is decoded from cp932 bytes, as the program's texts are.
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "builder/index_caption.h"
#include "builder/messages.h"
#include "builder/page_bytes.h"
#include "builder/page_template.h"
#include "builder/source_slots.h"
#include "builder/text_replace.h"
#include "codec/codec.h"
#include "codec/utf8.h"
#include "forms/text_box.h"
#include "fuzz_support.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"

namespace {

using vb::fuzz::Shown;
namespace cp932 = vb::codec::cp932;
namespace utf8 = vb::codec::utf8;

// The one source file, kept in memory.
class OneFileSystem : public vb::platform::FileSystemObject {
  public:
    std::string source;
    std::string_view ReadFileOf(vb::platform::FolderReader&, const std::string&) override {
        return source;
    }
};

// The log and the one source file, made once for the whole run.
struct Bench {
    vb::forms::TextBox txtLog{"txtLog"};
    OneFileSystem fso;
};

Bench& TheBench() {
    static Bench* bench = new Bench;
    return *bench;
}

// Replaces every occurrence, left to right, comparing at each position in turn.
std::string Replaced(std::string_view text, std::string_view target, std::string_view with) {
    if (target.empty()) return std::string(text);
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, target.size(), target) == 0) {
            out += with;
            i += target.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

bool HasBrTagAnyCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower.find("<br>") != std::string::npos;
}

std::string Characters(std::string_view text, std::size_t first, std::size_t count) {
    std::vector<std::string> chars;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        utf8::DecodeAt(text, pos);
        chars.emplace_back(text.substr(start, pos - start));
    }
    std::string out;
    for (std::size_t i = first; i < chars.size() && i < first + count; ++i) out += chars[i];
    return out;
}

std::string Caption(std::string_view raw) {
    std::string c = Replaced(raw, " ", "");
    c = Replaced(c, "\u3000", "");
    c = Replaced(c, "<br>", "");
    c = Replaced(c, "\r\n", "");
    c = Replaced(c, ">", "&gt;");
    c = Replaced(c, "<", "&lt;");
    return Characters(c, 0, 40);
}

void CheckSrcPage(Bench& bench, const std::string& source, const std::string& target,
                  const std::string& replacement) {
    bench.fso.source = source;
    bench.txtLog.SetText("");
    const std::vector<std::string> strFiles{"", "a.txt"};
    vb::builder::SlotRules rules{vb::builder::WordSearch(target), replacement};
    std::mt19937 picks(1);
    vb::builder::SourceSlots slots(bench.fso, bench.txtLog, "src", strFiles, rules, picks);
    const auto got = slots.GetSrcPage();
    const std::string piece = got->TextPiece();
    const std::string strRaw = got->Text();

    const std::string raw = cp932::Decode(source);
    // Built only when a property breaks.
    const auto detail = [&] {
        return std::string("source " + Shown(source) + "\ntarget " + Shown(target) +
                           "\nreplacement " + Shown(replacement) + "\npiece " + Shown(piece));
    };
    VB_FUZZ_CHECK(strRaw == raw, detail());
    const std::string warning =
        std::string(vb::builder::msg::kWarnMissingTargetBefore) +
        vb::platform::LexicalFullPath(vb::platform::JoinPath("src", "a.txt")) +
        vb::builder::msg::kWarnMissingTargetAfter;
    if (raw.find(target) == std::string::npos) {
        VB_FUZZ_CHECK(piece == raw, detail());
        VB_FUZZ_CHECK(bench.txtLog.Text() == warning,
                      detail() + "\nlog " + Shown(bench.txtLog.Text()));
        return;
    }
    const std::string broken = HasBrTagAnyCase(raw) ? raw : Replaced(raw, "\r\n", "<br>\r\n");
    VB_FUZZ_CHECK(piece == Replaced(broken, target, replacement), detail());
    VB_FUZZ_CHECK(bench.txtLog.Text().empty(), detail());
}

void CheckPage(const std::string& templateText, const std::string& title, const std::string& body) {
    const vb::builder::PageTemplate page(templateText, title);
    std::string filled = "stale";
    page.Fill(filled, body);
    const std::string expected =
        Replaced(Replaced(templateText, "&&TITLE&&", title), "&&BODY&&", body);
    VB_FUZZ_CHECK(filled == expected, "template " + Shown(templateText) + "\ntitle " +
                                          Shown(title) + "\nbody " + Shown(body) + "\nfilled " +
                                          Shown(filled));
    // Filling twice gives the same page (nothing of the first fill stays behind).
    page.Fill(filled, body);
    VB_FUZZ_CHECK(filled == expected, Shown(filled));
    VB_FUZZ_CHECK(vb::builder::ReplaceAll(templateText, "&&TITLE&&", title) ==
                      Replaced(templateText, "&&TITLE&&", title),
                  Shown(templateText));
}

void CheckIndexEntry(const std::string& raw) {
    const std::string caption = vb::builder::IndexCaption(raw);
    VB_FUZZ_CHECK(caption == Caption(raw), "raw " + Shown(raw) + "\ncaption " + Shown(caption) +
                                               "\nexpected " + Shown(Caption(raw)));
    std::string entry = "before";
    vb::builder::AppendIndexEntry(entry, caption, "vor0a1b2.html");
    const std::string expected = "before" + Characters(caption, 0, 20) +
                                 "<a href='vor0a1b2.html'>" + Characters(caption, 20, 10) + "</a>" +
                                 Characters(caption, 30, 10) + "<br>\r\n";
    VB_FUZZ_CHECK(entry == expected, "caption " + Shown(caption) + "\nentry " + Shown(entry));
}

void CheckPageBytes(const std::string& source, const std::string& target,
                    const std::string& replacement, const std::string& title,
                    const std::string& templateText) {
    const vb::builder::PageTemplate page(templateText, title);
    auto bytes = vb::builder::PageBytes::For(page, target, replacement);
    std::string reencoded;
    if (!bytes || !vb::builder::PageBytes::Reencode(source, reencoded)) return;

    const std::string raw = cp932::Decode(source);
    const vb::builder::WordSearch search(target);
    const bool holds = search.Find(raw) != std::string::npos;
    std::string text = page.Head();
    std::string scratch;
    if (holds)
        vb::builder::AppendPreparedSource(text, raw, search, replacement, scratch);
    else
        text += raw;
    text += page.Tail();

    VB_FUZZ_CHECK(bytes->HoldsTarget(reencoded) == holds, "source " + Shown(source));
    std::string made = bytes->Head();
    if (holds)
        bytes->AppendPrepared(made, reencoded);
    else
        made += reencoded;
    made += bytes->Tail();
    VB_FUZZ_CHECK(made == cp932::Encode(text), "source " + Shown(source) + "\ntarget " +
                                                   Shown(target) + "\nreplacement " +
                                                   Shown(replacement) + "\nmade " + Shown(made));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vb::fuzz::Fields fields(data, size);
    const std::string source = fields.Next();
    const std::string target = cp932::Decode(fields.Next());
    const std::string replacement = cp932::Decode(fields.Next());
    const std::string title = cp932::Decode(fields.Next());
    const std::string templateText = cp932::Decode(fields.Next());

    Bench& bench = TheBench();
    CheckSrcPage(bench, source, target, replacement);
    const std::string raw = cp932::Decode(source);
    VB_FUZZ_CHECK(vb::builder::ContainsBrTagAnyCase(raw) == HasBrTagAnyCase(raw), Shown(raw));
    CheckPage(templateText, title, raw);
    CheckIndexEntry(raw);
    CheckPageBytes(source, target, replacement, title, templateText);
    // The page as written: encoding the assembled text never fails.
    cp932::Encode(raw + title + templateText);
    return 0;
}
