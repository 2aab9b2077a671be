#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One open file, closed when the object goes: the single place that loops over the system's
// partial reads and writes. Error results are the system's numbers (0 is success).
namespace vb::platform {

class FileHandle {
  public:
    FileHandle() = default;
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Opens an existing plain file for reading. A folder, pipe or device is refused (with
    // kIsAFolder / kNotAPlainFile) without blocking on it.
    static FileHandle OpenForReading(const std::string& path, int& error);
    // Creates the file, or empties an existing one, for writing.
    static FileHandle CreateForWriting(const std::string& path, int& error);
    // Opens an existing file for writing without emptying it.
    static FileHandle OpenForRewriting(const std::string& path, int& error);
    // Opens the file for writes that always land at its end, making it when it is missing, as
    // a log that several runs add to. empty: the file has no bytes yet (made now, or found
    // empty, as one made beforehand to set who may write it).
    static FileHandle OpenForAppending(const std::string& path, bool& empty, int& error);
    // Takes over a descriptor (POSIX) or handle (Windows) opened elsewhere.
    static FileHandle Adopt(std::intptr_t native) { return FileHandle(native); }

    bool IsOpen() const { return native_ != kInvalid; }
    std::intptr_t Native() const { return native_; }

    // Appends everything from the current position to the end of the file to bytes; a
    // whole file costs one read.
    int ReadToEnd(std::string& bytes);
    // Writes every byte at the current position.
    int WriteAll(std::string_view bytes);
    // Writes the pieces one after another, as one system write of them all where the system
    // gathers (POSIX), else joined first.
    int WriteAll(std::span<const std::string_view> pieces);
    // Writes the bytes at the end of a file opened for appending, all or none where the system
    // allows it (POSIX): a write cut short (a full disk) is taken back, so that the file never
    // ends inside a line. Windows' append access cannot cut a file: there it is WriteAll.
    int AppendWhole(std::string_view bytes);
    // The file's last byte into byte, or 0 into it for an empty file.
    int ReadLastByte(char& byte);
    // Cuts the file at the current position.
    int TruncateHere();
    // Puts the written bytes on the disk before returning.
    int Flush();
    // Closes now and reports a failure of the close itself.
    int Close();

  private:
    static constexpr std::intptr_t kInvalid = -1;  // also INVALID_HANDLE_VALUE
    explicit FileHandle(std::intptr_t native) : native_(native) {}
    // One system read or write of at most room bytes; done: how many. The system's own
    // interruptions are retried here, so ReadToEnd and WriteAll loop only over short counts.
    int ReadSome(char* into, std::size_t room, std::size_t& done);
    int WriteSome(const char* from, std::size_t size, std::size_t& done);
    // The file's size as the system records it, else 0.
    std::size_t KnownSize() const;
    std::intptr_t native_ = kInvalid;
};

}  // namespace vb::platform
