// The start-up of every test program that runs Qt: it waits for the X server, chooses the
// platform, starts the application and runs the cases.
#include "support/GraphicsDriverPin.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// Xvfb, just started or busy with other test programs, can refuse a connection for a moment, and
// Qt ends the process when its first connection is refused. Waiting here until the server accepts
// one turns that race into a short wait.
bool DisplayAnswers()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            XCloseDisplay(display);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases (CTest does it while building) needs no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (display && !DisplayAnswers()) {
        std::fprintf(stderr, "The X server named by DISPLAY (%s) does not answer.\n", qgetenv("DISPLAY").constData());
        return 1;
    }
#ifdef KESTREL_TEST_XCB_WINDOWS
    // Windows that draw with OpenGL and are embedded and exposed like the program's need xcb;
    // without an X server the cases that need it skip themselves.
    qputenv("QT_QPA_PLATFORM", display ? "xcb" : "offscreen");
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // Any of these programs may create an OpenGL device (the editor views do whenever DISPLAY
    // names an X server), so Mesa is pinned before Qt or a device touches it.
    kestrel::test::KeepGraphicsDriversLoaded();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
