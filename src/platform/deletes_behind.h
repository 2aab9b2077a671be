#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// The deletion of a folder moved aside (FileSystemObject::MoveFolderAside), done on a helper
// thread beside other work: the write-out deletes the old pages while it writes the new ones.
namespace vb::platform {

class FileSystemObject;

class DeletesBehind {
  public:
    // whileWaiting: called every kPulse while a wait lasts (the window shows the desktop it is
    // alive); may be empty.
    DeletesBehind(FileSystemObject& fso, std::function<void()> whileWaiting)
        : fso_(fso), whileWaiting_(std::move(whileWaiting)) {}
    explicit DeletesBehind(FileSystemObject& fso) : DeletesBehind(fso, nullptr) {}
    // Waits for the deletion, whose failure then goes unreported: the object goes because the
    // work beside it has failed, and that failure is the one to report. No thread outlives it.
    ~DeletesBehind();

    static constexpr std::chrono::milliseconds kPulse{100};
    DeletesBehind(const DeletesBehind&) = delete;
    DeletesBehind& operator=(const DeletesBehind&) = delete;

    // Starts deleting the folder moved aside from path (DeleteMovedAside; none when aside is
    // empty), then what interrupted deletions of path left beside it (RemoveLeftOverAsides),
    // once per object.
    void Start(std::string aside, std::string path);

    // Waits for the deletion started, if any; throws its failure.
    void Finish();

  private:
    void Wait();

    FileSystemObject& fso_;
    std::function<void()> whileWaiting_;
    std::exception_ptr failure_;  // written by the helper, read after it is joined
    std::mutex lock_;
    std::condition_variable ended_;
    bool done_ = false;  // under lock_
    std::thread helper_;
};

}  // namespace vb::platform
