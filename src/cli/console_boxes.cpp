#include "cli/console_boxes.h"

#include "cli/command_line.h"
#include "platform/console.h"

namespace vb::cli {

namespace {
constexpr const char* kNotConfirmed =
    "--yes がないので、何もしないで終わります。 (Without --yes nothing is touched.)\n";
}  // namespace

std::string WithNewlines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

platform::MsgResult ConsoleMessageBoxes::Show(const std::string& text, platform::MsgButtons buttons,
                                              platform::MsgIcon icon, const std::string&) {
    using platform::ConsoleStream;
    if (BeforeText) BeforeText();
    if (buttons == platform::MsgButtons::YesNo) {
        // The one question of a write-out: may the output folder be emptied.
        asked_ = true;
        if (yes_) return platform::MsgResult::Yes;
        platform::WriteToConsole(ConsoleStream::Error, WithNewlines(text) + "\n" + kNotConfirmed);
        refused_ = true;
        return platform::MsgResult::No;
    }
    failed_ = failed_ || icon == platform::MsgIcon::Critical;
    refused_ = refused_ || icon == platform::MsgIcon::Exclamation;
    platform::WriteToConsole(ConsoleStream::Error, WithNewlines(text) + "\n");
    return platform::MsgResult::OK;
}

int ConsoleMessageBoxes::ExitStatus() const {
    if (failed_) return kExitWriteFailure;
    if (refused_) return kExitRefused;
    // Confirmed and nothing went wrong. Never asked: the command did not run at all.
    return asked_ ? kExitSuccess : kExitWriteFailure;
}

}  // namespace vb::cli
