#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

// The benchmark's input: a folder of source texts as users keep them (cp932 bytes, CR LF
// lines, Japanese blog prose), and a template of the kind the program is used with.
namespace vb::bench {

// The target word of the benchmark's jobs: the program's default.
inline constexpr const char* kTargetWord = "ヴォルナック";

struct CorpusShape {
    int Files = 500;
    std::size_t MinBytes = 200;  // each file's size is drawn from MinBytes..MaxBytes
    std::size_t MaxBytes = 4096;
    int EveryNthLacksTarget = 10;  // one file in this many does not hold the target word
};

struct Corpus {
    std::string Folder;
    std::uint64_t TotalBytes = 0;
    std::set<std::string> LackingTarget;  // full paths of the files without the target word
};

// Writes the files into folder (created if missing); the same seed gives the same bytes.
// About one file in twenty already uses "<br>" tags, so both line-break paths run.
Corpus WriteCorpus(const std::string& folder, const CorpusShape& shape, std::uint32_t seed);

// A template as a small site would use it: head with style sheet, the title twice, the
// body placeholder once, menu and footer. UTF-8; the program folder holds it as cp932.
std::string TemplateText();

// The page title the benchmark's jobs use.
std::string PageTitle();

}  // namespace vb::bench
