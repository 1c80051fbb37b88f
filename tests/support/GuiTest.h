#pragma once

#include <QGuiApplication>

namespace kestrel::test {

/// True when the test program's windows live on an X server, the only place they get OpenGL
/// here. Tests that draw skip themselves otherwise.
inline bool WindowsHaveOpenGL()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace kestrel::test
