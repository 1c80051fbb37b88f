#pragma once

#include "image/TextureFormat.h"

namespace kestrel {

/// Output layouts of ConvertPixels (the backends pick one to match the texture they created).
enum class PixelConversion : int
{
    ToR5G6B5 = 0,     ///< 16-bit: red's top 5 bits in 11-15, green's top 6 in 5-10, blue's top 5 in 0-4
    ToR5G5B5A1 = 1,   ///< 16-bit: red's top 5 bits in 11-15, green's in 6-10, blue's in 1-5, bit 0 = alpha != 0
    ToB8G8R8 = 2,     ///< bytes blue, green, red
    ToR8G8B8 = 3,     ///< bytes red, green, blue
    ToB8G8R8A8 = 4,   ///< bytes blue, green, red, alpha
    ToR8G8B8A8 = 5,   ///< bytes red, green, blue, alpha
};

/// Bytes one output pixel of `conversion` takes; 0 for a value outside the enumeration.
int BytesPerPixel(PixelConversion conversion);

/// Converts a width x height block of `sourceFormat` pixels into the `conversion` layout. Rows are
/// `sourcePitch` and `destinationPitch` bytes apart; both blocks belong to the caller, nothing is
/// allocated. 16-bit 5-6-5 input expands each non-zero field f to f * 8 + 7 (green f * 4 + 3), a
/// zero field stays 0; formats without alpha read as alpha 255. A format or conversion outside the
/// enumerations, or a non-positive size, converts nothing.
void ConvertPixels(const void* source, void* destination, int width, int height, int sourcePitch,
                   int destinationPitch, TextureFormat sourceFormat, PixelConversion conversion);

/// ConvertPixels for each of `depth` slices, slices `sourceSlicePitch` and `destinationSlicePitch`
/// bytes apart.
void ConvertPixels3D(const void* source, void* destination, int width, int height, int depth, int sourcePitch,
                     int sourceSlicePitch, int destinationPitch, int destinationSlicePitch,
                     TextureFormat sourceFormat, PixelConversion conversion);

} // namespace kestrel
