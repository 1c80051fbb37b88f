#include "image/ImageDecoders.h"

#include "image/DecoderSupport.h"

#include <cstdlib>

namespace kestrel {
using namespace image_detail;

namespace {

constexpr size_t MinimumFileBytes = 54;
constexpr std::uint32_t FileHeaderBytes = 14;

struct BmpHeader
{
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
};

BmpHeader ReadHeader(std::span<const std::uint8_t> data)
{
    // The file header (magic, pixel offset) is not consulted: pixels follow the info header.
    ByteReader in(data);
    in.Seek(FileHeaderBytes);
    BmpHeader header;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    ReadField(in, header.headerSize);
    ReadField(in, width);
    ReadField(in, height);
    in.Skip(2);
    ReadField(in, header.bitsPerPixel);
    ReadField(in, header.compression);
    header.width = static_cast<std::int32_t>(width);
    header.height = static_cast<std::int32_t>(height);
    return header;
}

} // namespace

bool DecodeBMP(std::span<const std::uint8_t> data, DecodedImage& image)
{
    image = DecodedImage{};
    if (data.size() < MinimumFileBytes)
        return Fail(image);
    const BmpHeader header = ReadHeader(data);
    // Only uncompressed 24 and 32-bit pictures; a wider pixel would not fit the output.
    if (header.compression != 0 || header.bitsPerPixel < 24 || header.bitsPerPixel > 32 || header.width < 0)
        return Fail(image);
    const std::uint64_t start = std::uint64_t{FileHeaderBytes} + header.headerSize;
    const bool topRowFirst = header.height < 0;
    const auto height = static_cast<std::uint64_t>(std::abs(std::int64_t{header.height}));
    if (start > data.size() || !AllocatePixels(image, static_cast<std::uint32_t>(header.width), height))
        return Fail(image);

    const unsigned bytesPerPixel = header.bitsPerPixel / 8u;
    const std::uint64_t fileRowBytes = (image.width * std::uint64_t{bytesPerPixel} + 3) & ~std::uint64_t{3};
    const auto pixelData = BytesFrom(data, start);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const std::uint32_t fileRow = topRowFirst ? y : image.height - 1 - y;
        StorePixelRow(BytesFrom(pixelData, fileRow * fileRowBytes), image.width, bytesPerPixel,
                      image.pixels.data() + y * std::uint64_t{image.width} * 4);
    }
    return true;
}

} // namespace kestrel
