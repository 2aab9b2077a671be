#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Reads files of one folder by name, again and again: the source folder of a write-out.
// Every read opens its file anew, so a file edited, removed or locked meanwhile shows at its
// next read; what is kept from read to read is only the folder and the buffer.
namespace vb::platform {

class FolderReader {
  public:
    // Holds the folder open where the system allows it (POSIX), so that each file is found
    // relative to it without walking the folder's path again; otherwise each file is opened
    // by its full path. A folder that cannot be opened is no error here: each read then
    // succeeds or fails by the file's full path.
    explicit FolderReader(std::string path);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    const std::string& Path() const { return path_; }

    struct Read {
        int error = 0;            // 0, or the system's number
        bool openFailed = false;  // the error came from opening, not reading
        std::string_view bytes;   // the whole file; valid until the next read
    };
    // Reads the named plain file whole, in one system read when it fits the buffer. A
    // folder, device or empty pipe is refused as unopenable (at most one read is made of
    // it); only a pipe with bytes already waiting reads as a file (POSIX).
    Read ReadFile(const std::string& name);

  private:
    static constexpr std::size_t kFirstRoom = 65536;
    // One read asks at most this much: the systems cut larger requests short (Linux at about
    // 2 GiB, and a DWORD holds at most 4 GiB on Windows), and a read cut short by the system
    // would look like the file's end. A plain file's read of this much or less gives it all
    // unless the file ends first.
    static constexpr std::size_t kMostPerRead = std::size_t{1} << 30;

    // Room for at least size bytes; what the buffer held is kept.
    char* Room(std::size_t size);

    std::string path_;
    std::intptr_t folder_ = -1;  // the open folder, where the system allows it
    std::unique_ptr<char[]> buffer_;
    std::size_t room_ = 0;
};

}  // namespace vb::platform
