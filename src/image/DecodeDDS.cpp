#include "image/ImageDecoders.h"

#include "base/DebugSink.h"
#include "image/DecoderSupport.h"

#include <algorithm>

namespace kestrel {
using namespace image_detail;

namespace {

constexpr size_t MinimumFileBytes = 128;
constexpr std::uint32_t LinearSizeGiven = 0x80000;
constexpr std::uint32_t FourCCGiven = 0x4;

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
    return header;
}

// Rows are taken as stored (top row first) and `pitch` bytes apart; the colour masks are not
// consulted, the bytes are blue, green, red[, alpha].
bool DecodeUncompressed(std::span<const std::uint8_t> pixelData, const DdsHeader& header, DecodedImage& image)
{
    // A pixel wider than 32 bits would not fit the output.
    if (header.rgbBitCount < 24 || header.rgbBitCount > 32 || !AllocatePixels(image, header.width, header.height))
        return Fail(image);
    const unsigned bytesPerPixel = header.rgbBitCount / 8u;
    for (std::uint32_t y = 0; y < image.height; ++y) {
        StorePixelRow(BytesFrom(pixelData, std::uint64_t{y} * header.pitchOrLinearSize), image.width, bytesPerPixel,
                      image.pixels.data() + y * std::uint64_t{image.width} * 4);
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
