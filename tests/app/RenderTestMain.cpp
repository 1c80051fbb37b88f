// The rendering tests draw into real windows: on an X server (Xvfb in the test script) they use
// the xcb platform, whose windows can be embedded and exposed like the program's; without one
// they fall back to offscreen, where no device exists and each test skips itself.
#include <QApplication>

#include <gtest/gtest.h>

#include <dlfcn.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    // Mesa's software renderer keeps a little memory per drawing thread for good. Keeping its
    // driver loaded to the end lets the leak checker name it (and the suppression file skip it).
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
