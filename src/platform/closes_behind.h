#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/file_handle.h"

// The closes of the files a FileSystemObject writes, done on a helper thread beside the
// writes, for as long as the object lives.
namespace vb::platform {

class FileSystemObject;

// How many written files may wait for their close behind the writes. On Windows a close is
// costly: the real-time virus scanner scans a written file at its close and holds the thread
// that closes it, and under Wine every close is a round trip to the server. On POSIX a close
// of a file just written is cheap, and handing it to another thread costs more than it
// saves (see bench/README.md), so the writes close their files themselves there.
#ifdef _WIN32
inline constexpr std::size_t kClosesBehind = 64;
#else
inline constexpr std::size_t kClosesBehind = 0;
#endif

// While it lives, FileSystemObject::WriteAllPieces hands each file it wrote to this object's
// helper thread instead of closing it, at most mostWaiting of them not yet closed (0: the
// writes close their files themselves, and no thread is started). A close that failed
// fails the write after it, or Finish, as its own file's failed write. The object waits for
// every close before it goes, so no thread outlives it.
class ClosesBehind {
  public:
    ClosesBehind(FileSystemObject& fso, std::size_t mostWaiting);
    ~ClosesBehind();
    ClosesBehind(const ClosesBehind&) = delete;
    ClosesBehind& operator=(const ClosesBehind&) = delete;

    // Waits for every close handed over; throws the first that failed, naming its file.
    void Finish();

  private:
    friend class FileSystemObject;
    // A written file to close; throws first when an earlier close failed.
    void Hand(FileHandle file, const std::string& path);
    void CloseAll();
    void ThrowFirstFailure() const;

    struct Written {
        FileHandle file;
        std::string path;
    };
    FileSystemObject& fso_;
    const std::size_t mostWaiting_;
    std::mutex mutex_;
    std::condition_variable handed_, closed_;
    std::deque<Written> waiting_;
    bool closing_ = false;  // the helper holds one it took from waiting_
    bool stop_ = false;
    std::string failedPath_;
    int failedError_ = 0;
    std::thread helper_;  // last: it starts when everything it uses is there
};

}  // namespace vb::platform
