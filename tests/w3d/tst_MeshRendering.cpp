// Draws a model assembled from a BIG archive on the real OpenGL device (Xvfb with Mesa's
// software renderer in CI) and reads the frame back. Without an X display the test skips.
#include "archive/CQuartoDoc.h"
#include "w3d/W3DPreviewModel.h"

#include "render/OpenGLTestSupport.h"
#include "samples/BigArchiveBuilder.h"
#include "support/FakePrompt.h"
#include "support/ImageTestSupport.h"
#include "samples/W3DWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

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

} // namespace

class MeshRendering : public OpenGLTest
{
protected:
    /// Draws `model` from an archive that holds the quadrant texture as `textureEntry` and checks
    /// that each quadrant of the window shows its texel.
    void ExpectQuadrantsDrawn(const Bytes8& model, const std::string& textureEntry)
    {
        TempFolder temp;
        BigArchiveBuilder().Add("art\\w3d\\square.w3d", model).Add(textureEntry, QuadrantTexture()).WriteTo(temp / "mod.big");
        FakePrompt prompt;
        CQuartoDoc document(prompt);
        ASSERT_TRUE(document.OnOpenDocument(temp / "mod.big"));
        const auto loaded = LoadW3DPreviewModel(*m_device, document, model, "", true);
        ASSERT_TRUE(loaded.summary.loaded);
        ASSERT_EQ(loaded.mesh->Textures().size(), 1u);
        ASSERT_NE(loaded.mesh->Textures()[0].texture, nullptr);

        ClearToBlack();
        ASSERT_TRUE(m_device->BeginScene());
        m_device->EnableLighting(true);
        m_device->SetAmbientLight(0xFFFFFFFFu);
        loaded.mesh->Render();
        m_device->EndScene();

        // Lit by the white ambient light alone (a fifth of the texel), each quadrant of the window
        // shows its texel: the colour's own channels clearly above the others.
        const struct
        {
            int x, y;
            bool red, green, blue;
        } quadrants[] = {{16, 16, true, false, false}, {48, 16, false, true, false}, {16, 48, false, false, true},
                         {48, 48, true, true, true}};
        for (const auto& q : quadrants) {
            const std::uint32_t pixel = PixelAt(q.x, q.y);
            int lit = 255, unlit = 0;
            for (const auto& [on, shift] : {std::pair{q.red, 16}, {q.green, 8}, {q.blue, 0}}) {
                const int channel = static_cast<int>((pixel >> shift) & 0xFF);
                if (on)
                    lit = std::min(lit, channel);
                else
                    unlit += channel;
            }
            EXPECT_GT(lit, 40) << q.x << "," << q.y;
            EXPECT_LT(unlit, lit / 2) << q.x << "," << q.y;
        }
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
