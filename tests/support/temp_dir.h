#pragma once

#include <filesystem>
#include <string>

namespace vb::test {

// A fresh folder under the system's temporary folder, removed with everything in it
// (permissions restored first) when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder's path, and a child's (not created), as UTF-8 text.
    std::string str() const;
    std::string operator/(const std::string& name) const;

  private:
    std::filesystem::path path_;
};

// Makes link a link to the folder target; false where the system (MinGW's library under
// Wine) makes no folder links, so that a test about links can skip.
bool MakeFolderLink(const std::string& target, const std::string& link);

// Whole-file helpers on raw bytes.
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

}  // namespace vb::test
