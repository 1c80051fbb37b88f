// The rendering tests draw into real windows: on an X server (Xvfb in the test script) they use
// the xcb platform, whose windows can be embedded and exposed like the program's; without one
// they fall back to offscreen, where no device exists and each test skips itself.
#include "support/GraphicsDriverPin.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    kestrel::test::KeepGraphicsDriversLoaded();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
