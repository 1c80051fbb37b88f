#pragma once

namespace kestrel {

/// Pixel layouts of texture data handed to a texture, and the layouts ConvertPixels reads.
enum class TextureFormat : int
{
    R5G6B5 = 0,   ///< 16-bit little-endian value: red in bits 11-15, green 5-10, blue 0-4
    B8G8R8 = 1,   ///< bytes blue, green, red
    R8G8B8 = 2,   ///< bytes red, green, blue
    B8G8R8A8 = 3, ///< bytes blue, green, red, alpha (the DecodedImage layout)
    R8G8B8A8 = 4, ///< bytes red, green, blue, alpha
};

/// Bytes one pixel of `format` takes; 0 for a value outside the enumeration.
constexpr int BytesPerPixel(TextureFormat format)
{
    switch (format) {
    case TextureFormat::R5G6B5: return 2;
    case TextureFormat::B8G8R8:
    case TextureFormat::R8G8B8: return 3;
    case TextureFormat::B8G8R8A8:
    case TextureFormat::R8G8B8A8: return 4;
    }
    return 0;
}

} // namespace kestrel
