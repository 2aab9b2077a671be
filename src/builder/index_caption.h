#pragma once

#include <string>
#include <string_view>

namespace vb::builder {

// The caption of a page in the index, made from the raw text of the page's last source:
// every " ", every "　" (ideographic space), every "<br>" (exact lower case) and every
// CR LF pair removed, in that order, each removal acting on the result of the one before;
// then ">" written as "&gt;" and "<" as "&lt;"; then cut to its first 40 characters.
// Only as much of the raw text is read as the 40 characters need.
std::string IndexCaption(std::string_view raw);

// Appends one index line for a page file: the caption's characters 1-20, the link to the
// file with characters 21-30 as its text, characters 31-40, "<br>" and CR LF.
void AppendIndexEntry(std::string& indexBody, std::string_view caption, std::string_view fileName);

}  // namespace vb::builder
