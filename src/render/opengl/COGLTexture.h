#pragma once

#include "render/C3DWTexture.h"
#include "render/opengl/COGLResource.h"

#include <QtGui/qopengl.h>

namespace kestrel {

/// A 2D texture with a full chain of power-of-two mip levels. Storage is allocated by the first
/// `SetData`; every level of every upload is resampled from the source, never from the level
/// above.
class COGLTexture : public C3DWTexture, public COGLResource
{
public:
    COGLTexture(COGLDevice& device, int width, int height, TextureFormat format);
    ~COGLTexture() override;

    bool SetData(const void* pixels, int x, int y, int width, int height, int pitch) override;
    bool SetSourceFormat(int width, int height, int pitch, TextureFormat format) override;
    bool GetDesc(int* width, int* height, int* pitch, TextureFormat* format) const override;
    bool GetSourceDesc(int* width, int* height, int* pitch, TextureFormat* format) const override;
    void ReleaseGL() override;

    GLuint Name() const { return m_name; }
    int LevelCount() const { return m_levels; }

private:
    struct Desc
    {
        int width = 0;
        int height = 0;
        int pitch = 0;
        TextureFormat format = TextureFormat::B8G8R8A8;
    };
    /// Pixels on their way to OpenGL, maybe converted.
    struct Upload
    {
        const unsigned char* pixels = nullptr;
        int pitch = 0;
        int bytesPerPixel = 0;
        GLenum format = GL_RGBA;
    };

    void AllocateLevels(GLenum transferFormat);
    void UploadLevel(int level, const Upload& upload, int x, int y, int width, int height);

    GLuint m_name = 0;
    Desc m_own;
    Desc m_source;
    int m_levels = 0;
    bool m_allocated = false;
};

} // namespace kestrel
