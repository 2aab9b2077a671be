#include "cli/console_boxes.h"

namespace vb::cli {

namespace {
constexpr const char* kNotConfirmed =
    "--yes がないので、何もしないで終わります。 (Without --yes nothing is touched.)\n";
}  // namespace

platform::MsgResult ConsoleMessageBoxes::Show(const std::string& text, platform::MsgButtons buttons,
                                              platform::MsgIcon, const std::string&) {
    if (buttons == platform::MsgButtons::YesNo) {
        // The one question of a write-out: may the output folder be emptied.
        if (yes_) return platform::MsgResult::Yes;
        out_.Error(WithNewlines(text) + "\n" + kNotConfirmed);
        return platform::MsgResult::No;
    }
    out_.Error(WithNewlines(text) + "\n");
    return platform::MsgResult::OK;
}

}  // namespace vb::cli
