#include "render/opengl/COGLTexture.h"

#include "render/opengl/COGLDevice.h"

#include "image/ImageScaling.h"
#include "image/PixelConversion.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrel {
namespace {

// How source pixels travel to OpenGL: converted first or handed over as they are.
struct Transfer
{
    bool convert = false;
    PixelConversion conversion = PixelConversion::ToR8G8B8A8;
    GLenum format = GL_RGBA;
    int bytesPerPixel = 4;
};

Transfer ChooseTransfer(TextureFormat format, bool bgraSupported, bool wholeSource)
{
    const Transfer toRgba{true, PixelConversion::ToR8G8B8A8, GL_RGBA, 4};
    switch (format) {
    case TextureFormat::R5G6B5: return toRgba;
    case TextureFormat::B8G8R8:
        if (!wholeSource)
            return toRgba;
        return bgraSupported ? Transfer{false, {}, GL_BGR, 3} : Transfer{true, PixelConversion::ToR8G8B8, GL_RGB, 3};
    case TextureFormat::R8G8B8: return wholeSource ? Transfer{false, {}, GL_RGB, 3} : toRgba;
    case TextureFormat::B8G8R8A8: return bgraSupported ? Transfer{false, {}, GL_BGRA, 4} : toRgba;
    case TextureFormat::R8G8B8A8: break;
    }
    return Transfer{false, {}, GL_RGBA, 4};
}

TextureFormat FormatOfTransfer(GLenum format)
{
    switch (format) {
    case GL_BGR:
    case GL_BGRA: return TextureFormat::B8G8R8A8;
    case GL_RGB: return TextureFormat::R8G8B8;
    default: return TextureFormat::R8G8B8A8;
    }
}

int PowerOfTwoAtLeast(int size, int limit)
{
    int power = 1;
    while (power < size && power < limit)
        power *= 2;
    return power;
}

void WriteDesc(int width, int height, int pitch, TextureFormat format, int* outWidth, int* outHeight,
               int* outPitch, TextureFormat* outFormat)
{
    if (outWidth != nullptr)
        *outWidth = width;
    if (outHeight != nullptr)
        *outHeight = height;
    if (outPitch != nullptr)
        *outPitch = pitch;
    if (outFormat != nullptr)
        *outFormat = format;
}

} // namespace

COGLTexture::COGLTexture(COGLDevice& device, int width, int height, TextureFormat format) : COGLResource(device)
{
    m_own = Desc{width, height, width * BytesPerPixel(format), format};
    m_source = m_own;
    glGenTextures(1, &m_name);
}

COGLTexture::~COGLTexture()
{
    ReleaseFromDevice();
}

void COGLTexture::ReleaseGL()
{
    if (m_name != 0)
        glDeleteTextures(1, &m_name);
    m_name = 0;
}

bool COGLTexture::SetSourceFormat(int width, int height, int pitch, TextureFormat format)
{
    const int bytesPerPixel = BytesPerPixel(format);
    if (bytesPerPixel == 0 || width <= 0 || height <= 0 || pitch < width * bytesPerPixel)
        return false;
    m_source = Desc{width, height, pitch, format};
    return true;
}

bool COGLTexture::GetDesc(int* width, int* height, int* pitch, TextureFormat* format) const
{
    WriteDesc(m_own.width, m_own.height, m_own.pitch, m_own.format, width, height, pitch, format);
    return true;
}

bool COGLTexture::GetSourceDesc(int* width, int* height, int* pitch, TextureFormat* format) const
{
    WriteDesc(m_source.width, m_source.height, m_source.pitch, m_source.format, width, height, pitch, format);
    return true;
}

bool COGLTexture::SetData(const void* pixels, int x, int y, int width, int height, int pitch)
{
    if (m_device == nullptr || m_name == 0 || pixels == nullptr)
        return false;
    x = x == -1 ? 0 : x;
    y = y == -1 ? 0 : y;
    width = width == -1 ? m_source.width : width;
    height = height == -1 ? m_source.height : height;
    pitch = pitch == -1 ? m_source.pitch : pitch;
    const int sourceBytes = BytesPerPixel(m_source.format);
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x > m_source.width - width || y > m_source.height - height ||
        pitch < width * sourceBytes)
        return false;

    const bool wholeSource = x == 0 && y == 0 && width == m_source.width && height == m_source.height;
    const Transfer transfer = ChooseTransfer(m_source.format, m_device->Extensions().bgra, wholeSource);
    Upload upload{static_cast<const unsigned char*>(pixels), pitch, transfer.bytesPerPixel, transfer.format};
    std::vector<unsigned char> converted;
    if (transfer.convert) {
        converted.resize(static_cast<size_t>(width) * static_cast<size_t>(height) *
                         static_cast<size_t>(transfer.bytesPerPixel));
        upload.pitch = width * transfer.bytesPerPixel;
        ConvertPixels(pixels, converted.data(), width, height, pitch, upload.pitch, m_source.format,
                      transfer.conversion);
        upload.pixels = converted.data();
    }

    glBindTexture(GL_TEXTURE_2D, m_name);
    glEnable(GL_TEXTURE_2D);
    if (!m_allocated)
        AllocateLevels(transfer.format);
    m_own.format = FormatOfTransfer(transfer.format);
    for (int level = 0; level < m_levels; ++level)
        UploadLevel(level, upload, x, y, width, height);
    m_device->RestoreActiveStageTexture();
    return true;
}

void COGLTexture::AllocateLevels(GLenum transferFormat)
{
    const int limit = m_device->Extensions().maxTextureSize;
    const int width = PowerOfTwoAtLeast(m_source.width, limit);
    const int height = PowerOfTwoAtLeast(m_source.height, limit);
    m_levels = 1;
    for (int w = width, h = height; w > 1 && h >= 2; w /= 2, h /= 2)
        ++m_levels;

    GLint internalFormat = GL_RGB8;
    if (m_own.format == TextureFormat::R5G6B5)
        internalFormat = GL_RGB5;
    else if (BytesPerPixel(m_source.format) == 4)
        internalFormat = GL_RGBA8;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, m_levels - 1);
    for (int level = 0; level < m_levels; ++level) {
        glTexImage2D(GL_TEXTURE_2D, level, internalFormat, width >> level, height >> level, 0, transferFormat,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    m_own.width = width;
    m_own.height = height;
    m_own.pitch = width * BytesPerPixel(m_own.format);
    m_allocated = true;
}

// Maps the source rectangle onto one level and resamples it when the level wants another size.
void COGLTexture::UploadLevel(int level, const Upload& upload, int x, int y, int width, int height)
{
    const float scale = std::ldexp(1.0f, -level);
    const float fx = static_cast<float>(m_own.width) / static_cast<float>(m_source.width);
    const float fy = static_cast<float>(m_own.height) / static_cast<float>(m_source.height);
    const int levelX = static_cast<int>((static_cast<float>(x) * fx + 0.5f) * scale);
    const int levelY = static_cast<int>((static_cast<float>(y) * fy + 0.5f) * scale);
    // Rounding can push the rectangle one texel past the level's edge; OpenGL would refuse it.
    const int levelWidth = std::min(static_cast<int>(static_cast<float>(width) * scale * fx + 0.5f),
                                    (m_own.width >> level) - levelX);
    const int levelHeight = std::min(static_cast<int>(static_cast<float>(height) * scale * fy + 0.5f),
                                     (m_own.height >> level) - levelY);
    if (levelWidth <= 0 || levelHeight <= 0)
        return;

    const int bytes = upload.bytesPerPixel;
    if (levelWidth == width && levelHeight == height && upload.pitch == width * bytes) {
        glTexSubImage2D(GL_TEXTURE_2D, level, levelX, levelY, width, height, upload.format, GL_UNSIGNED_BYTE,
                        upload.pixels);
        return;
    }
    std::vector<unsigned char> scaled(static_cast<size_t>(levelWidth) * static_cast<size_t>(levelHeight) *
                                      static_cast<size_t>(bytes));
    C3DW_internal_ScaleCopy(upload.pixels, scaled.data(), width, height, upload.pitch, levelWidth, levelHeight,
                            levelWidth * bytes, bytes);
    glTexSubImage2D(GL_TEXTURE_2D, level, levelX, levelY, levelWidth, levelHeight, upload.format, GL_UNSIGNED_BYTE,
                    scaled.data());
}

} // namespace kestrel
