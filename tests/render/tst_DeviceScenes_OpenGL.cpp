// The scenes every device draws alike, on the OpenGL device; the Direct3D 9 device draws them
// under Wine with the same expectations.
#include "OpenGLTestSupport.h"
#include "render/DeviceScenes.h"

using namespace kestrel;
using namespace kestrel::test;

class OpenGLScenes : public OpenGLTest
{
protected:
    static std::uint32_t Pixel(int x, int y) { return PixelAt(x, y); }
};

TEST_F(OpenGLScenes, TexturedQuadShowsTheSamePictureInEveryFormat)
{
    for (TextureFormat format : {TextureFormat::B8G8R8A8, TextureFormat::R8G8B8, TextureFormat::R5G6B5}) {
        SCOPED_TRACE(static_cast<int>(format));
        CheckTexturedQuadScene(*m_device, kSize, format, Pixel);
    }
}

TEST_F(OpenGLScenes, IndexedGeometryFromEitherMemory)
{
    for (std::uint32_t usage : {std::uint32_t{BufferGraphicsMemory}, std::uint32_t{BufferSystemMemory}})
        CheckIndexedGeometryScene(*m_device, kSize, usage, Pixel);
}
