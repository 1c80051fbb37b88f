// Draws a model assembled from a BIG archive on the real OpenGL device (Xvfb with Mesa's
// software renderer in CI) and reads the frame back. Without an X display the test skips.
#include "archive/CQuartoDoc.h"
#include "render/opengl/COGLDevice.h"
#include "w3d/W3DPreviewModel.h"

#include "support/BigArchiveBuilder.h"
#include "support/FakePrompt.h"
#include "support/GuiTest.h"
#include "support/ImageTestSupport.h"
#include "support/W3DWriter.h"

#include <gtest/gtest.h>

#include <QWindow>

#include <GL/gl.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int WindowSize = 64;

/// A 2 x 2 TGA, top row first: red, green / blue, white.
Bytes8 QuadrantTexture()
{
    return TgaFile(2, 2, 32, 0x28, {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255});
}

/// A square over the whole clip space, texture coordinates stored W3D style (v = 0 at the bottom).
W3DMeshDesc Square()
{
    W3DMeshDesc square;
    square.meshName = "SQUARE";
    square.positions = {{-1, -1, 0.5f}, {1, -1, 0.5f}, {1, 1, 0.5f}, {-1, 1, 0.5f}};
    square.normals.assign(4, W3DVec{0, 0, -1});
    square.triangles = {{0, 1, 2}, {0, 2, 3}};
    square.materialPass = true;
    square.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    return square;
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

/// Draws `model` from an archive that holds the quadrant texture as `textureEntry` and checks
/// that each quadrant of the window shows its texel.
void ExpectQuadrantsDrawn(const Bytes8& model, const std::string& textureEntry)
{
    TempFolder temp;
    BigArchiveBuilder()
        .Add("art\\w3d\\square.w3d", model)
        .Add(textureEntry, QuadrantTexture())
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
    ASSERT_TRUE(device.Create(params));
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

} // namespace

class MeshRendering : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!WindowsHaveOpenGL())
            GTEST_SKIP() << "no X display for OpenGL";
    }
};

TEST_F(MeshRendering, ATexturedModelFromAnArchiveShowsItsTextureInPlace)
{
    W3DMeshDesc square = Square();
    square.textureIds = {0};
    square.textureNames = {"quadrants.tga"};
    ExpectQuadrantsDrawn(MeshChunk(square), "Art\\Textures\\Quadrants.tga");
}

TEST_F(MeshRendering, AShaderMaterialDrawsItsDiffuseTextureFromTheCompiledTexturesFolder)
{
    W3DMeshDesc square = Square();
    square.shaderDiffuseTextures = {"other.tga", "quadrants.tga"};
    square.shaderMaterialIds = {1};
    ExpectQuadrantsDrawn(MeshChunk(square), "art\\compiledtextures\\QU\\quadrants.tga");
}
