#include "image/ImageDecoders.h"

#include "base/DebugSink.h"
#include "image/DecoderSupport.h"

#include <algorithm>

namespace kestrel {
using namespace image_detail;

namespace {

constexpr size_t MinimumFileBytes = 128;
constexpr std::uint32_t PitchGiven = 0x8;
constexpr std::uint32_t LinearSizeGiven = 0x80000;
constexpr std::uint32_t FourCCGiven = 0x4;
constexpr std::uint32_t AlphaPixels = 0x1;

constexpr std::uint32_t FourCC(const char (&code)[5])
{
    return std::uint32_t{static_cast<std::uint8_t>(code[0])} | std::uint32_t{static_cast<std::uint8_t>(code[1])} << 8 |
           std::uint32_t{static_cast<std::uint8_t>(code[2])} << 16 |
           std::uint32_t{static_cast<std::uint8_t>(code[3])} << 24;
}

struct DdsHeader
{
    std::uint32_t headerSize = 0;
    std::uint32_t flags = 0;
    std::uint32_t height = 0;
    std::uint32_t width = 0;
    std::uint32_t pitchOrLinearSize = 0;
    std::uint32_t pixelFormatFlags = 0;
    std::uint32_t fourCC = 0;
    std::uint32_t rgbBitCount = 0;
    std::uint32_t colourMasks[3] = {};
    std::uint32_t alphaMask = 0;
};

DdsHeader ReadHeader(std::span<const std::uint8_t> data)
{
    ByteReader in(data);
    DdsHeader header;
    in.Seek(4);
    ReadField(in, header.headerSize);
    ReadField(in, header.flags);
    ReadField(in, header.height);
    ReadField(in, header.width);
    ReadField(in, header.pitchOrLinearSize);
    in.Seek(80);
    ReadField(in, header.pixelFormatFlags);
    ReadField(in, header.fourCC);
    ReadField(in, header.rgbBitCount);
    for (std::uint32_t& mask : header.colourMasks)
        ReadField(in, mask);
    ReadField(in, header.alphaMask);
    return header;
}

// Many writers leave the pitch out (0, the flag clear, or a linear size in its place); the rows
// then lie back to back. A stated pitch shorter than a row cannot be right either.
std::uint64_t RowPitch(const DdsHeader& header, unsigned bytesPerPixel)
{
    const std::uint64_t packed = std::uint64_t{header.width} * bytesPerPixel;
    const bool linearSizeInstead = (header.flags & LinearSizeGiven) != 0 && (header.flags & PitchGiven) == 0;
    return linearSizeInstead || header.pitchOrLinearSize < packed ? packed : header.pitchOrLinearSize;
}

// X8R8G8B8 and the like: masks were written, and none of them (nor the flags) claims alpha. The
// fourth byte is padding then, often 0, which would make the picture invisible.
bool HasPaddingInsteadOfAlpha(const DdsHeader& header)
{
    const bool masksWritten = header.colourMasks[0] != 0 || header.colourMasks[1] != 0 || header.colourMasks[2] != 0;
    return masksWritten && header.alphaMask == 0 && (header.pixelFormatFlags & AlphaPixels) == 0;
}

// Rows are taken as stored (top row first); beyond telling alpha from padding the colour masks
// are not consulted, the bytes are blue, green, red[, alpha].
bool DecodeUncompressed(std::span<const std::uint8_t> pixelData, const DdsHeader& header, DecodedImage& image)
{
    // A pixel wider than 32 bits would not fit the output.
    if (header.rgbBitCount < 24 || header.rgbBitCount > 32 || !AllocatePixels(image, header.width, header.height))
        return Fail(image);
    const unsigned bytesPerPixel = header.rgbBitCount / 8u;
    const std::uint64_t pitch = RowPitch(header, bytesPerPixel);
    const bool opaque = bytesPerPixel == 4 && HasPaddingInsteadOfAlpha(header);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        std::uint8_t* row = image.pixels.data() + y * std::uint64_t{image.width} * 4;
        StorePixelRow(BytesFrom(pixelData, y * pitch), image.width, bytesPerPixel, row);
        if (opaque) {
            for (std::uint32_t x = 0; x < image.width; ++x)
                row[x * 4 + 3] = 0xFF;
        }
    }
    return true;
}

using BlockDecoder = void (*)(std::uint32_t, std::uint32_t, std::span<const std::uint8_t>, std::uint8_t*);

bool DecodeCompressed(std::span<const std::uint8_t> pixelData, const DdsHeader& header, DecodedImage& image)
{
    BlockDecoder decode = nullptr;
    std::uint64_t blockBytes = 16;
    switch (header.fourCC) {
    case FourCC("DXT1"): decode = DecodeDXT1Blocks; blockBytes = 8; break;
    case FourCC("DXT2"):
    case FourCC("DXT3"): decode = DecodeDXT3Blocks; break;
    case FourCC("DXT4"):
    case FourCC("DXT5"): decode = DecodeDXT5Blocks; break;
    default: return Fail(image);
    }
    if (!AllocatePixels(image, header.width, header.height))
        return Fail(image);
    // Without a linear size the top level holds one block per 4 x 4 pixels.
    std::uint64_t levelBytes = ((std::uint64_t{image.width} + 3) / 4) * ((std::uint64_t{image.height} + 3) / 4) * blockBytes;
    if ((header.flags & LinearSizeGiven) != 0)
        levelBytes = header.pitchOrLinearSize;
    decode(image.width, image.height, pixelData.first(static_cast<size_t>(std::min<std::uint64_t>(levelBytes, pixelData.size()))),
           image.pixels.data());
    return true;
}

} // namespace

bool DecodeDDS(std::span<const std::uint8_t> data, DecodedImage& image)
{
    image = DecodedImage{};
    constexpr std::uint8_t magic[] = {'D', 'D', 'S', ' '};
    if (data.size() < MinimumFileBytes || !std::equal(std::begin(magic), std::end(magic), data.begin()))
        return Fail(image);
    const DdsHeader header = ReadHeader(data);
    const bool compressed = (header.pixelFormatFlags & FourCCGiven) != 0;
    if (!compressed)
        DebugLine("DDS uncompressed. Flip top/bottom?");
    const std::uint64_t start = 4 + std::uint64_t{header.headerSize};
    if (start > data.size())
        return Fail(image);
    const auto pixelData = BytesFrom(data, start);
    return compressed ? DecodeCompressed(pixelData, header, image) : DecodeUncompressed(pixelData, header, image);
}

} // namespace kestrel
