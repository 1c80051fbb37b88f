#pragma once

#include "DeviceScenes.h"
#include "render/opengl/COGLDevice.h"

#include <gtest/gtest.h>

#include <QWindow>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::test {

/// Rendering tests need an X server with GLX (Xvfb with Mesa's software renderer in CI); without
/// DISPLAY they skip. Each test gets a created device on a 64 × 64 window.
class OpenGLTest : public ::testing::Test
{
protected:
    static constexpr int kSize = 64;

    void SetUp() override;
    void TearDown() override;

    /// A window that is not created yet, of the given size, owned by the fixture.
    QWindow* MakeWindow(int width, int height);
    static DeviceParams ParamsFor(QWindow* window);
    /// Replaces the fixture's device by one that pretends the driver lacks `hidden`.
    void RecreateDevice(std::vector<std::string> hidden);

    /// The colour (0xAARRGGBB) of the back buffer pixel at (x, y), counted from the top left.
    static std::uint32_t PixelAt(int x, int y, int windowHeight = kSize);
    void UseClipCoordinates() { kestrel::test::UseClipCoordinates(*m_device); }
    /// Clip coordinates on a window cleared to black, colour and depth.
    void ClearToBlack();
    /// Draws a quad over the clip-space rectangle from (left, bottom) to (right, top) with
    /// texture coordinates 0 at the top left and 1 at the bottom right.
    void DrawTexturedQuad(float left, float bottom, float right, float top);

    std::vector<std::unique_ptr<QWindow>> m_windows;
    std::unique_ptr<COGLDevice> m_device;
};

} // namespace kestrel::test
