#pragma once

#include "image/DecodedImage.h"
#include "image/ImageFileType.h"

#include <cstdint>
#include <span>

namespace kestrel {

// Every decoder reads only inside `data`, which the caller keeps, and either returns true with a
// filled image or returns false with an empty one; nothing throws and nothing is printed.
// Images wider or taller than MaxDecodedImageSide fail. Pixel data that ends early decodes as far
// as it goes; the pixels it does not reach stay transparent black (all four bytes 0).

/// Empties `image`, then decodes `data` with the decoder for `type`; an unknown type fails.
bool DecodeImage(std::span<const std::uint8_t> data, ImageFileType type, DecodedImage& image);

/// Uncompressed or run-length encoded true-colour TGA of 24 or 32 bits, in either row order;
/// the scan-line table of a TGA 2.0 extension area can move the pixel data.
bool DecodeTGA(std::span<const std::uint8_t> data, DecodedImage& image);

/// Uncompressed BMP of 24 or 32 bits, bottom-up (positive height) or top-down (negative height).
bool DecodeBMP(std::span<const std::uint8_t> data, DecodedImage& image);

/// The top level of a DDS: DXT1 to DXT5 (premultiplied variants kept as stored) or uncompressed
/// 24 or 32-bit rows, whose colour masks are ignored. The uncompressed path writes a debug line.
bool DecodeDDS(std::span<const std::uint8_t> data, DecodedImage& image);

/// JPEG through libjpeg; greyscale and CMYK pictures come out as colour. Fails on any library error.
bool DecodeJPEG(std::span<const std::uint8_t> data, DecodedImage& image);

/// PNG through libpng, expanding every colour type and bit depth (16-bit channels are scaled down),
/// interlaced or not. Alpha comes from the alpha channel or a transparency chunk, else 255.
bool DecodePNG(std::span<const std::uint8_t> data, DecodedImage& image);

/// Block decoders: fill `destination` (width x height pixels in the DecodedImage layout) from 4x4
/// blocks stored row of blocks by row of blocks, ceil(width / 4) blocks across. 16-bit colours
/// expand by shifting alone (31 becomes 248, not 255). Blocks missing from the end of `blocks`
/// leave their pixels transparent black; pixels of edge blocks outside the image are skipped.
void DecodeDXT1Blocks(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> blocks,
                      std::uint8_t* destination);
void DecodeDXT3Blocks(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> blocks,
                      std::uint8_t* destination);
void DecodeDXT5Blocks(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> blocks,
                      std::uint8_t* destination);

} // namespace kestrel
