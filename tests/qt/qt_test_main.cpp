#include <gtest/gtest.h>

#include <QApplication>

#include "qt/process_setup.h"

// Widget tests run on Qt's offscreen platform: no display needed, same widgets.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    vb::qtview::PrepareProcess();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
