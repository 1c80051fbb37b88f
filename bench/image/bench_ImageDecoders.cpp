// Decoding speed of a 1024 x 1024 picture per format, in megapixels per second of CPU time.
// DXT1 and DXT5 run beside libsquish's decompressor on the same blocks, both writing into a
// buffer made once, so the comparison is block decoding alone.
#include "image/EncodePNG.h"
#include "image/ImageDecoders.h"

#include "samples/ImageFileWriters.h"

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <squish.h>

#include <random>

using namespace kestrel;
using namespace kestrel::samples;

namespace {

constexpr std::uint32_t Side = 1024;
constexpr double Pixels = double{Side} * Side;

// Something like a texture: smooth gradients with grain, alpha varying across the picture.
const Bytes8& SourceRgba()
{
    static const Bytes8 rgba = [] {
        Bytes8 pixels(size_t{Side} * Side * 4);
        std::mt19937 random(1);
        for (std::uint32_t y = 0; y < Side; ++y) {
            for (std::uint32_t x = 0; x < Side; ++x) {
                std::uint8_t* p = pixels.data() + (size_t{y} * Side + x) * 4;
                const auto grain = static_cast<std::uint8_t>(random() % 24);
                p[0] = static_cast<std::uint8_t>(x / 4 + grain);
                p[1] = static_cast<std::uint8_t>(y / 4 + grain);
                p[2] = static_cast<std::uint8_t>((x + y) / 8 + grain);
                p[3] = static_cast<std::uint8_t>((x ^ y) & 0xFF);
            }
        }
        return pixels;
    }();
    return rgba;
}

Bytes8 SquishBlocks(int flags)
{
    Bytes8 blocks(static_cast<size_t>(squish::GetStorageRequirements(Side, Side, flags)));
    squish::CompressImage(SourceRgba().data(), Side, Side, blocks.data(), flags | squish::kColourRangeFit);
    return blocks;
}

void ReportRate(benchmark::State& state)
{
    state.counters["Mpixels"] =
        benchmark::Counter(Pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

template <void (*Decode)(std::uint32_t, std::uint32_t, std::span<const std::uint8_t>, std::uint8_t*), int Flags>
void KestrelBlocks(benchmark::State& state)
{
    const Bytes8 blocks = SquishBlocks(Flags);
    Bytes8 pixels(size_t{Side} * Side * 4);
    for (auto _ : state) {
        Decode(Side, Side, blocks, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    ReportRate(state);
}

template <int Flags>
void SquishDecompress(benchmark::State& state)
{
    const Bytes8 blocks = SquishBlocks(Flags);
    Bytes8 pixels(size_t{Side} * Side * 4);
    for (auto _ : state) {
        squish::DecompressImage(pixels.data(), Side, Side, blocks.data(), Flags);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    ReportRate(state);
}

void DecodeFile(benchmark::State& state, ImageFileType type, const Bytes8& file)
{
    for (auto _ : state) {
        DecodedImage image;
        if (!DecodeImage(file, type, image))
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(image.pixels.data());
    }
    ReportRate(state);
}

Bytes8 RawTga()
{
    Bytes8 file = TgaHeader(Side, Side, 32, 2, 0);
    Append(file, SourceRgba());
    return file;
}

// Run-length coding of the source rows in its usual mix: runs for repeated pixels, literal
// packets of up to 128 pixels otherwise. Every eighth pixel repeats its left neighbour four times.
Bytes8 RleTga()
{
    Bytes8 file = TgaHeader(Side, Side, 24, 10, 0);
    const Bytes8& rgba = SourceRgba();
    for (size_t pixel = 0; pixel < size_t{Side} * Side;) {
        if (pixel % 8 == 0) {
            file.push_back(0x83);
            file.insert(file.end(), rgba.begin() + static_cast<std::ptrdiff_t>(pixel * 4),
                        rgba.begin() + static_cast<std::ptrdiff_t>(pixel * 4 + 3));
            pixel += 4;
            continue;
        }
        file.push_back(0x03);
        for (size_t i = 0; i < 4; ++i, ++pixel)
            file.insert(file.end(), rgba.begin() + static_cast<std::ptrdiff_t>(pixel * 4),
                        rgba.begin() + static_cast<std::ptrdiff_t>(pixel * 4 + 3));
    }
    return file;
}

Bytes8 Png()
{
    Bytes8 file;
    EncodePNG(DecodedImage{SourceRgba(), Side, Side}, file);
    return file;
}

Bytes8 Jpeg()
{
    Bytes8 rgb;
    const Bytes8& rgba = SourceRgba();
    for (size_t i = 0; i < rgba.size(); i += 4)
        rgb.insert(rgb.end(), rgba.begin() + static_cast<std::ptrdiff_t>(i),
                   rgba.begin() + static_cast<std::ptrdiff_t>(i + 3));
    return EncodeJpeg(Side, Side, JCS_RGB, 3, rgb, 90);
}

void BM_DXT1_Kestrel(benchmark::State& state) { KestrelBlocks<DecodeDXT1Blocks, squish::kDxt1>(state); }
void BM_DXT1_Squish(benchmark::State& state) { SquishDecompress<squish::kDxt1>(state); }
void BM_DXT5_Kestrel(benchmark::State& state) { KestrelBlocks<DecodeDXT5Blocks, squish::kDxt5>(state); }
void BM_DXT5_Squish(benchmark::State& state) { SquishDecompress<squish::kDxt5>(state); }
void BM_TGA_Raw(benchmark::State& state) { DecodeFile(state, ImageFileType::TGA, RawTga()); }
void BM_TGA_RLE(benchmark::State& state) { DecodeFile(state, ImageFileType::TGA, RleTga()); }
void BM_PNG(benchmark::State& state) { DecodeFile(state, ImageFileType::PNG, Png()); }
void BM_JPEG(benchmark::State& state) { DecodeFile(state, ImageFileType::JPEG, Jpeg()); }

} // namespace

BENCHMARK(BM_DXT1_Kestrel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DXT1_Squish)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DXT5_Kestrel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DXT5_Squish)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TGA_Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TGA_RLE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PNG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEG)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
