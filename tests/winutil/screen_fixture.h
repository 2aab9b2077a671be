#pragma once

#include <gtest/gtest.h>

#include "forms/screen.h"

namespace vb::test {

// Gives the process-wide screen a known geometry for one test and puts the default back
// afterwards.
class ScreenFixture : public ::testing::Test {
  protected:
    void SetScreen(int widthPx, int heightPx, float tpp, forms::PixelRect workArea) {
        forms::GetScreen().SetGeometry(widthPx, heightPx, tpp, tpp, workArea);
    }
    void TearDown() override {
        forms::GetScreen().SetGeometry(1024, 768, 15, 15, {0, 0, 1024, 768});
        forms::GetScreen().SetMousePointer(0);
        forms::GetScreen().SetMouseIcon(nullptr);
    }
};

}  // namespace vb::test
