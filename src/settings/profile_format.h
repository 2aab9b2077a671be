#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

// The profile (INI) format of the settings file, as pure functions over the file's bytes, with
// the results of the system's own profile functions for files edited by hand.
//
// The file is cp932 text. A line ends at CR LF, at a lone LF or at a lone CR. A line whose
// first non-blank character is "[" and which holds a "]" is a section header; its name is the
// text between them. Any other line holding "=" is an entry: the key is the text before the
// first "=", the value the text after it. Blanks (space, tab) around names and values are not
// part of them, and a value that then begins and ends with the same quote (" or ') reads
// without that one pair. Section and key names match without regard to the case of ASCII
// letters (the second byte of a double-byte character is never folded). The first section of
// a name counts, and within it the first entry of a key. Lines before the first header belong
// to no section. Every other line (comments, blank lines, text without "=") is kept but
// ignored.
namespace vb::settings::profile {

// A read copies the value into a buffer of this many bytes, the last of them for the
// terminating NUL, so a value longer than kReadBufferSize - 1 bytes is cut.
inline constexpr std::size_t kReadBufferSize = 10240;

// The bytes a read copies for the key: the value cut to at most kReadBufferSize - 1 bytes,
// never inside a double-byte character. Empty when the section or key is missing, or the
// value is empty; the caller cannot tell these apart, on purpose.
std::string ReadValue(std::string_view file, std::string_view section, std::string_view key);

// A file parsed once for many reads: ReadValue's answer for every section and key, at the
// cost of one pass over the file (a settings file of many servers is read a key at a time).
class ParsedFile {
  public:
    explicit ParsedFile(std::string bytes);
    // The values point into the bytes it holds: it stays where it is made.
    ParsedFile(const ParsedFile&) = delete;
    ParsedFile& operator=(const ParsedFile&) = delete;
    // What ReadValue(bytes, section, key) returns.
    std::string ReadValue(std::string_view section, std::string_view key) const;

  private:
    std::string bytes_;
    // The first section of each name, by its name with ASCII letters folded; in it, the value
    // text of each key's first entry, by the folded key.
    std::unordered_map<std::string, std::unordered_map<std::string, std::string_view>> sections_;
};

// The file with the key set to the value. The key's first entry in the first section of the
// name gets the new value after its "=" (the text up to the "=" stays as it was, the line
// ends with CR LF). A missing key is added after the last entry of its section (or right
// after the header when the section has none), so trailing comments and blank lines stay
// where they are. A missing section is added at the end of the file. Every other line stays
// byte-for-byte as it was, with its own line end; a last line without one gets CR LF only
// when a line has to follow it. A value that a read would take as quoted is stored inside one
// more pair of its quotes, so that it reads back as written.
std::string WriteValue(std::string_view file, std::string_view section, std::string_view key,
                       std::string_view value);

}  // namespace vb::settings::profile
