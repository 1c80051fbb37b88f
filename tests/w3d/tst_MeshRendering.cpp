// Draws a model assembled from a BIG archive on the real OpenGL device (Xvfb with Mesa's
// software renderer in CI) and reads the frame back. Without an X display the test skips.
#include "archive/CQuartoDoc.h"
#include "render/opengl/COGLDevice.h"
#include "w3d/W3DPreviewModel.h"

#include "support/BigArchiveBuilder.h"
#include "support/FakePrompt.h"
#include "support/GraphicsDriverPin.h"
#include "support/W3DWriter.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWindow>

#include <GL/gl.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int WindowSize = 64;

// A freshly started Xvfb can refuse connections for a moment under load, and Qt ends the
// process when its first connection fails: wait until the server answers.
bool DisplayAnswers()
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            XCloseDisplay(display);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool StartGui()
{
    static const bool started = [] {
        if (!DisplayAnswers())
            return false;
        // The test scripts choose the offscreen platform; windows with OpenGL need xcb.
        qputenv("QT_QPA_PLATFORM", "xcb");
        KeepGraphicsDriversLoaded();
        static int argc = 1;
        static char name[] = "tst_w3d_render";
        static char* argv[] = {name, nullptr};
        static QGuiApplication application(argc, argv);
        return true;
    }();
    return started;
}

/// A 2 x 2 TGA, top row first: red, green / blue, white.
ByteList QuadrantTexture()
{
    return PayloadWriter()
        .Raw({0, 0, 2, 0, 0, 0, 0, 0})
        .U16(0).U16(0).U16(2).U16(2)
        .Raw({32, 0x28})
        .Raw({0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255});
}

/// A square over the whole clip space, texture coordinates stored W3D style (v = 0 at the bottom).
ByteList SquareModel()
{
    W3DMeshDesc square;
    square.meshName = "SQUARE";
    square.positions = {{-1, -1, 0.5f}, {1, -1, 0.5f}, {1, 1, 0.5f}, {-1, 1, 0.5f}};
    square.normals.assign(4, W3DVec{0, 0, -1});
    square.triangles = {{0, 1, 2}, {0, 2, 3}};
    square.materialPass = true;
    square.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    square.textureIds = {0};
    square.textureNames = {"quadrants.tga"};
    return MeshChunk(square);
}

struct Pixel
{
    int red, green, blue;
};

Pixel PixelAt(int x, int y)
{
    std::uint8_t rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, WindowSize - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

} // namespace

TEST(MeshRendering, ATexturedModelFromAnArchiveShowsItsTextureInPlace)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "no X display for OpenGL";
    ASSERT_TRUE(StartGui()) << "the X server named by DISPLAY does not answer";
    TempFolder temp;
    const ByteList model = SquareModel();
    BigArchiveBuilder()
        .Add("art\\w3d\\square.w3d", model)
        .Add("Art\\Textures\\Quadrants.tga", QuadrantTexture())
        .WriteTo(temp / "mod.big");
    FakePrompt prompt;
    CQuartoDoc document(prompt);
    ASSERT_TRUE(document.OnOpenDocument(temp / "mod.big"));

    QWindow window;
    window.resize(WindowSize, WindowSize);
    DeviceParams params;
    params.width = params.height = WindowSize;
    params.depthBits = 32;
    params.requiredVSMajor = 0;
    params.window = &window;
    COGLDevice device;
    {
            ASSERT_TRUE(device.Create(params));
    }
    {
        const auto loaded = LoadW3DPreviewModel(device, document, model, "", true);
        ASSERT_TRUE(loaded.summary.loaded);
        ASSERT_EQ(loaded.mesh->Textures().size(), 1u);
        ASSERT_NE(loaded.mesh->Textures()[0].texture, nullptr);

        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        ASSERT_TRUE(device.SetProjection(identity));
        device.SetTransform(TransformType::View, identity);
        device.SetTransform(TransformType::World, identity);
        device.SetClearColor(0xFF000000u);
        device.Clear(0x3);
        ASSERT_TRUE(device.BeginScene());
        device.EnableLighting(true);
        device.SetAmbientLight(0xFFFFFFFFu);
        loaded.mesh->Render();
        device.EndScene();

        // Lit by the white ambient light alone (a fifth of the texel), each quadrant of the window
        // shows its texel: the colour's own channel clearly above the others.
        const Pixel topLeft = PixelAt(16, 16), topRight = PixelAt(48, 16);
        const Pixel bottomLeft = PixelAt(16, 48), bottomRight = PixelAt(48, 48);
        EXPECT_GT(topLeft.red, 40);
        EXPECT_LT(topLeft.green + topLeft.blue, topLeft.red / 2);
        EXPECT_GT(topRight.green, 40);
        EXPECT_LT(topRight.red + topRight.blue, topRight.green / 2);
        EXPECT_GT(bottomLeft.blue, 40);
        EXPECT_LT(bottomLeft.red + bottomLeft.green, bottomLeft.blue / 2);
        EXPECT_GT(bottomRight.red, 40);
        EXPECT_GT(bottomRight.green, 40);
        EXPECT_GT(bottomRight.blue, 40);
    }
    device.Destroy();
}
