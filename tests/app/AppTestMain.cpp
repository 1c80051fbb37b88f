// The app tests need a QApplication; without a display they draw on the offscreen platform.
#include "support/GraphicsDriverPin.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The editor views create an OpenGL device whenever DISPLAY names an X server.
    kestrel::test::KeepGraphicsDriversLoaded();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
