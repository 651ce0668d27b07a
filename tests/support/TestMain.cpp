// The main of every test binary: one application object on the offscreen platform for the
// whole run, then GoogleTest. Tests of rules run under a QGuiApplication (they may draw
// through a QPainter), tests of windows under a QApplication.
#ifdef TAVORO_WINDOW_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
