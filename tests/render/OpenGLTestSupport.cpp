#include "OpenGLTestSupport.h"

#include "support/GuiTest.h"

#include <QOpenGLContext>

namespace kestrel::test {

void OpenGLTest::SetUp()
{
    if (!WindowsHaveOpenGL())
        GTEST_SKIP() << "no X display for OpenGL";
    RecreateDevice({});
}

void OpenGLTest::TearDown()
{
    m_device.reset();
    m_windows.clear();
}

QWindow* OpenGLTest::MakeWindow(int width, int height)
{
    auto window = std::make_unique<QWindow>();
    window->resize(width, height);
    m_windows.push_back(std::move(window));
    return m_windows.back().get();
}

DeviceParams OpenGLTest::ParamsFor(QWindow* window)
{
    DeviceParams params;
    params.width = window->width();
    params.height = window->height();
    params.depthBits = 32;
    params.requiredVSMajor = 0;
    params.window = window;
    return params;
}

void OpenGLTest::RecreateDevice(std::vector<std::string> hidden)
{
    m_device.reset();
    m_device = std::make_unique<COGLDevice>(std::move(hidden));
    ASSERT_TRUE(m_device->Create(ParamsFor(MakeWindow(kSize, kSize))));
}

std::uint32_t OpenGLTest::PixelAt(int x, int y, int windowHeight)
{
    std::uint8_t bgra[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, windowHeight - 1 - y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
    return bgra[0] | static_cast<std::uint32_t>(bgra[1]) << 8 | static_cast<std::uint32_t>(bgra[2]) << 16 | 0xFF000000u;
}

void OpenGLTest::ClearToBlack()
{
    UseClipCoordinates();
    ASSERT_TRUE(m_device->SetClearColor(kBlack));
    ASSERT_TRUE(m_device->Clear(ClearColour | ClearDepth));
}

void OpenGLTest::DrawTexturedQuad(float left, float bottom, float right, float top)
{
    // Counter-clockwise, the front face the device culls for.
    const float quad[] = {left, bottom, 0, 0, 1, right, bottom, 0, 1, 1, right, top, 0, 1, 0, left, top, 0, 0, 0};
    ASSERT_TRUE(m_device->DrawUserTextured(PrimitiveType::TriangleFan, quad, 4));
}

} // namespace kestrel::test
