// Writes the image fuzzers' seed corpus: small valid pictures of every kind each decoder reads,
// built here from scratch. Usage: kestrel_image_seeds <corpus folder>
#include "image/EncodePNG.h"

#include "samples/ImageFileWriters.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include <jpeglib.h>
#include <png.h>

using namespace kestrel;
using namespace kestrel::samples;

namespace {

class SeedFolder
{
public:
    explicit SeedFolder(std::filesystem::path root) : m_root(std::move(root)) {}
    void Write(const std::string& format, const std::string& name, const Bytes8& bytes) const;

private:
    std::filesystem::path m_root;
};

void SeedFolder::Write(const std::string& format, const std::string& name, const Bytes8& bytes) const
{
    const auto folder = m_root / format;
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                         static_cast<std::streamsize>(bytes.size()));
}

Bytes8 Ramp(size_t count, unsigned step = 37)
{
    Bytes8 bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * step);
    return bytes;
}

Bytes8 Join(Bytes8 first, const Bytes8& second)
{
    Append(first, second);
    return first;
}

void WriteBmpSeeds(const SeedFolder& seeds)
{
    seeds.Write("bmp", "bottom-up-24.bmp", Join(BmpHeader(3, 2, 24), Ramp(24)));
    seeds.Write("bmp", "top-down-32.bmp", Join(BmpHeader(2, -2, 32), Ramp(16)));
}

void WriteTgaSeeds(const SeedFolder& seeds)
{
    seeds.Write("tga", "raw-24.tga", Join(TgaHeader(3, 2, 24, 2, 0), Ramp(18)));
    seeds.Write("tga", "raw-32-top-down-id.tga", Join(TgaHeader(2, 2, 32, 2, 0x20, 4), Ramp(16)));
    seeds.Write("tga", "rle-24.tga", Join(TgaHeader(4, 2, 24, 10, 0), {0x83, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                                               0x80, 13, 14, 15}));
    // TGA 2.0: pixels found through the extension area's scan-line table.
    Bytes8 extended = Join(TgaHeader(2, 1, 24, 2, 0x20), Ramp(6));
    const auto extension = static_cast<std::uint32_t>(extended.size());
    extended.resize(extended.size() + 490, 0);
    Append(extended, LE(extension + 494));
    Append(extended, LE(18));
    Append(extended, LE(extension));
    Append(extended, LE(0));
    Append(extended, Bytes("TRUEVISION-XFILE."));
    extended.push_back(0);
    seeds.Write("tga", "extension-area.tga", extended);
}

void WriteDdsSeeds(const SeedFolder& seeds)
{
    seeds.Write("dds", "dxt1-8x8.dds", Join(DdsHeader(8, 8, 0x80000, 32, "DXT1"), Ramp(32, 91)));
    seeds.Write("dds", "dxt1-6x6-no-linear-size.dds", Join(DdsHeader(6, 6, 0, 0, "DXT1"), Ramp(32, 53)));
    seeds.Write("dds", "dxt3-4x4.dds", Join(DdsHeader(4, 4, 0x80000, 16, "DXT3"), Ramp(16, 71)));
    seeds.Write("dds", "dxt5-8x4.dds", Join(DdsHeader(8, 4, 0x80000, 32, "DXT5"), Ramp(32, 29)));
    seeds.Write("dds", "uncompressed-24.dds", Join(DdsHeader(2, 2, 0, 8, "", 24), Ramp(16)));
}

void WriteJpegSeeds(const SeedFolder& seeds)
{
    seeds.Write("jpeg", "rgb.jpg", EncodeJpeg(16, 8, JCS_RGB, 3, Ramp(16 * 8 * 3, 5), 75));
    seeds.Write("jpeg", "rgb-progressive.jpg", EncodeJpeg(17, 9, JCS_RGB, 3, Ramp(17 * 9 * 3, 11), 60, true));
    seeds.Write("jpeg", "grey.jpg", EncodeJpeg(8, 8, JCS_GRAYSCALE, 1, Ramp(64, 3), 75));
    seeds.Write("jpeg", "cmyk.jpg", EncodeJpeg(8, 8, JCS_CMYK, 4, Ramp(256, 7), 75));
}

void WritePngSeeds(const SeedFolder& seeds)
{
    DecodedImage rgba{Ramp(5 * 3 * 4, 13), 5, 3};
    Bytes8 encoded;
    if (EncodePNG(rgba, encoded))
        seeds.Write("png", "rgba.png", encoded);
    seeds.Write("png", "grey-2-bit.png", EncodePngWithLibpng(Picture(5, 2, PNG_COLOR_TYPE_GRAY, 2, {Ramp(2), Ramp(2, 5)})));
    seeds.Write("png", "grey-alpha.png", EncodePngWithLibpng(Picture(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {Ramp(4)})));
    PngPicture palette = Picture(4, 1, PNG_COLOR_TYPE_PALETTE, 4, {{0x01, 0x23}});
    palette.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
    palette.paletteAlpha = {0, 128};
    seeds.Write("png", "palette-trns.png", EncodePngWithLibpng(palette));
    PngPicture deep = Picture(9, 9, PNG_COLOR_TYPE_RGB, 16, {});
    for (unsigned y = 0; y < 9; ++y)
        deep.rows.push_back(Ramp(9 * 6, 17 + y));
    deep.interlaced = true;
    seeds.Write("png", "rgb-16-interlaced.png", EncodePngWithLibpng(deep));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const SeedFolder seeds(argv[1]);
    WriteBmpSeeds(seeds);
    WriteTgaSeeds(seeds);
    WriteDdsSeeds(seeds);
    WriteJpegSeeds(seeds);
    WritePngSeeds(seeds);
    return 0;
}
