#pragma once

#include <exception>
#include <string>
#include <thread>

// The deletion of a folder moved aside (FileSystemObject::MoveFolderAside), done on a helper
// thread beside other work: the write-out deletes the old pages while it writes the new ones.
namespace vb::platform {

class FileSystemObject;

class DeletesBehind {
  public:
    explicit DeletesBehind(FileSystemObject& fso) : fso_(fso) {}
    // Waits for the deletion, whose failure then goes unreported: the object goes because the
    // work beside it has failed, and that failure is the one to report. No thread outlives it.
    ~DeletesBehind();
    DeletesBehind(const DeletesBehind&) = delete;
    DeletesBehind& operator=(const DeletesBehind&) = delete;

    // Starts deleting the folder moved aside from path (DeleteMovedAside), once per object.
    void Start(std::string aside, std::string path);

    // Waits for the deletion started, if any; throws its failure.
    void Finish();

  private:
    FileSystemObject& fso_;
    std::exception_ptr failure_;  // written by the helper, read after it is joined
    std::thread helper_;
};

}  // namespace vb::platform
