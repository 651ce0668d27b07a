// The main of every test binary: one QApplication on the offscreen platform for the whole
// run, with the program's style, then GoogleTest.
#include "core/TextImages.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows under test draw their texts as the program does.
    tavoro::core::useTextImages();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
