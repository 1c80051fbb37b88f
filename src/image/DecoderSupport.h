#pragma once

// Pieces the decoders share; not part of the library's interface.

#include "base/ByteReader.h"
#include "image/DecodedImage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace kestrel::image_detail {

/// Sizes `image` for width x height transparent black pixels. False when a side exceeds
/// MaxDecodedImageSide or the memory cannot be had.
bool AllocatePixels(DecodedImage& image, std::uint64_t width, std::uint64_t height);

/// Empties `image` and returns false, so a decoder can fail in one statement.
bool Fail(DecodedImage& image);

/// The bytes of `data` from `offset` on; empty when the offset lies at or beyond the end.
std::span<const std::uint8_t> BytesFrom(std::span<const std::uint8_t> data, std::uint64_t offset);

inline bool ReadField(ByteReader& in, std::uint8_t& field)
{
    const auto value = in.ReadU8();
    field = value.value_or(0);
    return value.has_value();
}

inline bool ReadField(ByteReader& in, std::uint16_t& field)
{
    const auto value = in.ReadU16LE();
    field = value.value_or(0);
    return value.has_value();
}

inline bool ReadField(ByteReader& in, std::uint32_t& field)
{
    const auto value = in.ReadU32LE();
    field = value.value_or(0);
    return value.has_value();
}

/// Writes one 3 or 4-byte stored pixel (blue, green, red[, alpha]) as a DecodedImage pixel: a
/// 3-byte pixel gets alpha 255.
inline void StorePixel(const std::uint8_t* source, unsigned bytesPerPixel, std::uint8_t* destination)
{
    if (bytesPerPixel == 4) {
        std::memcpy(destination, source, 4);
    } else {
        destination[0] = source[0];
        destination[1] = source[1];
        destination[2] = source[2];
        destination[3] = 0xFF;
    }
}

/// Stores the first `width` pixels of `source` (3 or 4 bytes each) into a DecodedImage row; when
/// `source` ends early, the pixels it does not hold in full are left as they were.
void StorePixelRow(std::span<const std::uint8_t> source, std::uint32_t width, unsigned bytesPerPixel,
                   std::uint8_t* destination);

} // namespace kestrel::image_detail
