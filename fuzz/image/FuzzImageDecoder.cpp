// libFuzzer entry point for one image decoder, chosen at build time with KESTREL_FUZZ_FORMAT (an
// ImageFileType value). Besides memory errors it checks the decoder's promises: a success holds
// exactly width x height pixels, a failure holds none, and every decoded picture survives the
// PNG writer, the scaler and the pixel converter.
#include "image/EncodePNG.h"
#include "image/ImageDecoders.h"
#include "image/ImageScaling.h"
#include "image/PixelConversion.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include <zlib.h>

#ifndef KESTREL_FUZZ_FORMAT
#error "KESTREL_FUZZ_FORMAT selects the decoder"
#endif

namespace {

using kestrel::ImageFileType;

constexpr auto Format = static_cast<ImageFileType>(KESTREL_FUZZ_FORMAT);

// Files claiming huge pictures decode correctly into huge blocks of transparent black; the fuzzer
// would spend its time clearing memory, so such inputs are skipped when the size is easy to see.
constexpr std::uint64_t MaxFuzzedPixels = std::uint64_t{1} << 22;

std::uint64_t LittleEndian(std::span<const std::uint8_t> data, size_t offset, size_t bytes)
{
    std::uint64_t value = 0;
    for (size_t i = 0; i < bytes && offset + i < data.size(); ++i)
        value |= std::uint64_t{data[offset + i]} << (8 * i);
    return value;
}

std::uint64_t BigEndian(std::span<const std::uint8_t> data, size_t offset, size_t bytes)
{
    std::uint64_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value = value << 8 | (offset + i < data.size() ? data[offset + i] : 0);
    return value;
}

// The first frame header's size, walking the markers as libjpeg does; 0 x 0 when none is found.
std::uint64_t JpegPixels(std::span<const std::uint8_t> data)
{
    size_t at = 2;
    while (at + 8 < data.size()) {
        if (data[at] != 0xFF) {
            ++at;
            continue;
        }
        const std::uint8_t marker = data[at + 1];
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame)
            return BigEndian(data, at + 5, 2) * BigEndian(data, at + 7, 2);
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9))
            at += marker == 0xFF ? 1 : 2;
        else
            at += 2 + BigEndian(data, at + 2, 2);
    }
    return 0;
}

std::uint64_t ClaimedPixels(std::span<const std::uint8_t> data)
{
    const auto signedSide = [&](size_t offset) {
        const auto value = static_cast<std::int32_t>(LittleEndian(data, offset, 4));
        return static_cast<std::uint64_t>(value < 0 ? -std::int64_t{value} : value);
    };
    switch (Format) {
    case ImageFileType::BMP: return signedSide(18) * signedSide(22);
    case ImageFileType::TGA: return LittleEndian(data, 12, 2) * LittleEndian(data, 14, 2);
    case ImageFileType::DDS: return LittleEndian(data, 12, 4) * LittleEndian(data, 16, 4);
    case ImageFileType::JPEG: return JpegPixels(data);
    case ImageFileType::PNG: return BigEndian(data, 16, 4) * BigEndian(data, 20, 4);
    }
    return 0;
}

// Mutations almost never keep a PNG chunk's CRC right, and libpng stops at the first wrong one;
// repairing the CRCs lets the fuzzer reach the decoding behind them.
std::vector<std::uint8_t> WithRepairedPngCrcs(std::span<const std::uint8_t> data)
{
    std::vector<std::uint8_t> bytes(data.begin(), data.end());
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const std::uint64_t length = BigEndian(bytes, at, 4);
        if (length > bytes.size() - at - 12)
            break;
        const auto crc = crc32(0, bytes.data() + at + 4, static_cast<uInt>(length + 4));
        const size_t crcAt = at + 8 + static_cast<size_t>(length);
        for (size_t i = 0; i < 4; ++i)
            bytes[crcAt + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at = crcAt + 4;
    }
    return bytes;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void ExercisePixelHelpers(const kestrel::DecodedImage& image)
{
    std::array<std::uint8_t, 7 * 5 * 4> scaled{};
    const auto width = static_cast<int>(image.width);
    const auto height = static_cast<int>(image.height);
    kestrel::C3DW_internal_ScaleCopy(image.pixels.data(), scaled.data(), width, height, width * 4, 7, 5, 7 * 4, 4);
    std::array<std::uint8_t, 7 * 5 * 2> converted{};
    kestrel::ConvertPixels(scaled.data(), converted.data(), 7, 5, 7 * 4, 7 * 2, kestrel::TextureFormat::B8G8R8A8,
                           kestrel::PixelConversion::ToR5G5B5A1);
}

void CheckPngRoundTrip(const kestrel::DecodedImage& image)
{
    if (image.pixels.empty() || image.pixels.size() > 64 * 64 * 4)
        return;
    std::vector<std::uint8_t> png;
    Require(kestrel::EncodePNG(image, png));
    kestrel::DecodedImage again;
    Require(kestrel::DecodePNG(png, again));
    Require(again.pixels == image.pixels && again.width == image.width && again.height == image.height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> repaired;
    std::span<const std::uint8_t> bytes(data, size);
    if (Format == ImageFileType::PNG) {
        repaired = WithRepairedPngCrcs(bytes);
        bytes = repaired;
    }
    if (ClaimedPixels(bytes) > MaxFuzzedPixels)
        return -1;
    kestrel::DecodedImage image;
    if (!kestrel::DecodeImage(bytes, Format, image)) {
        Require(image.pixels.empty() && image.width == 0 && image.height == 0);
        return 0;
    }
    Require(image.pixels.size() == std::uint64_t{image.width} * image.height * 4);
    ExercisePixelHelpers(image);
    CheckPngRoundTrip(image);
    return 0;
}
