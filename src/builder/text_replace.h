#pragma once

#include <string>
#include <string_view>

namespace vb::builder {

// Appends the text to out with every occurrence of target replaced by replacement: exact
// comparison, scanning from the start, non-overlapping; inserted text is not scanned again.
// An empty target replaces nothing.
void AppendReplaced(std::string& out, std::string_view text, std::string_view target,
                    std::string_view replacement);

// The text with every occurrence of target replaced, as AppendReplaced does.
std::string ReplaceAll(std::string_view text, std::string_view target,
                       std::string_view replacement);

// True when the text holds "<br>" in any letter case ("<BR>", "<Br>", ...). The
// self-closing form "<br/>" does not count.
bool ContainsBrTagAnyCase(std::string_view text);

}  // namespace vb::builder
