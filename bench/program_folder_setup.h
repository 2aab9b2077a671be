#pragma once

#include <cstdint>
#include <string>

// The program folder the benchmark runs the window in: template.html, the settings file
// with one server and one title, and the folder local/ that holds the server's output.
namespace vb::bench {

inline constexpr const char* kServerName = "bench";

struct WriteOutJob {
    std::string SrcPath;
    std::int32_t Pages = 0;
    std::int32_t SourcesPerPage = 0;
};

class BenchProgramFolder {
  public:
    // Creates the folder with local/ and template.html and makes it the program folder.
    explicit BenchProgramFolder(std::string root);

    const std::string& Root() const { return root_; }
    std::string OutputFolder() const;

    // The settings file as a user would leave it for this job: the window's start-up loads
    // the fields from it, so the run reads them exactly as the program does.
    void WriteSettings(const WriteOutJob& job) const;

    // The template's cp932 bytes before and after "&&BODY&&", with the title filled in:
    // what every page and the index must begin and end with.
    std::string PageHead() const { return head_; }
    std::string PageTail() const { return tail_; }

  private:
    std::string root_;
    std::string head_;
    std::string tail_;
};

}  // namespace vb::bench
