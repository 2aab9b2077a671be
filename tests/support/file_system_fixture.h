#pragma once

#include <gtest/gtest.h>

#include "platform/deletes_behind.h"
#include "platform/file_system.h"
#include "temp_dir.h"

namespace vb::test {

// A fresh temporary folder and a file-system service to work in it.
class FileSystemFixture : public ::testing::Test {
  protected:
    TempDir dir;
    platform::FileSystemObject fso;

    // Deletes the folder as a write-out deletes the old pages: moved aside, then removed on
    // the helper with what interrupted deletions left beside it; throws what either throws.
    void DeleteFolder(const std::string& path) {
        platform::DeletesBehind behind(fso);
        behind.Start(fso.MoveFolderAside(path), path);
        behind.Finish();
    }
};

}  // namespace vb::test
