#pragma once

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "temp_dir.h"

namespace vb::test {

// A fresh temporary folder and a file-system service to work in it.
class FileSystemFixture : public ::testing::Test {
  protected:
    TempDir dir;
    platform::FileSystemObject fso;
};

}  // namespace vb::test
