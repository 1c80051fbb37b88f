#include "image/ImageDecoders.h"

#include "support/ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

// Four 24-bit pixels in file order (blue, green, red each).
const Bytes8 FourPixels{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

DecodedImage Decode(const Bytes8& file)
{
    DecodedImage image;
    EXPECT_TRUE(DecodeTGA(file, image));
    return image;
}

bool Fails(const Bytes8& file)
{
    DecodedImage image;
    const bool decoded = DecodeTGA(file, image);
    return !decoded && image.pixels.empty() && image.width == 0 && image.height == 0;
}

Bytes8 Tga(std::uint8_t depth, std::uint8_t type, std::uint8_t descriptor, const Bytes8& pixels,
           std::uint16_t width = 2, std::uint16_t height = 2)
{
    Bytes8 file = TgaHeader(width, height, depth, type, descriptor);
    Append(file, pixels);
    return file;
}

} // namespace

TEST(DecodeTGA, DecodesRawAndRunLengthPixelsInEitherRowOrder)
{
    // A colour map of two 15-bit entries (2 bytes each) and a 3-byte id the decoder must step over.
    Bytes8 mapped = TgaHeader(1, 1, 32, 2, 0x20, 3);
    mapped[5] = 2;
    mapped[7] = 15;
    Append(mapped, {0xEE, 0xEE, 0xEE, 0xEE, 10, 20, 30, 40});
    const struct
    {
        const char* what;
        Bytes8 file;
        std::vector<std::uint32_t> pixels;
    } cases[] = {
        {"bottom-up rows are flipped", Tga(24, 2, 0, FourPixels), {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
        {"top-down rows are not", Tga(24, 2, 0x20, FourPixels), {0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}},
        {"32-bit pixels keep their alpha after id and colour map", mapped, {0x281E140A}},
        // A run of two, a literal packet of two, then a run of three that would end past the six
        // pixels and is not expanded.
        {"run-length packets stop before overrunning the picture",
         Tga(24, 10, 0x20, {0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9, 0x82, 10, 11, 12}, 3),
         {0xFF030201, 0xFF030201, 0xFF060504, 0xFF090807, 0, 0}},
        {"raw data ending early leaves the top rows transparent black",
         Tga(24, 2, 0, Bytes8(FourPixels.begin(), FourPixels.begin() + 10)), {0xFF090807, 0, 0xFF030201, 0xFF060504}},
        {"a literal packet holding less than it promises", Tga(24, 10, 0x20, {0x02, 1, 2, 3, 4, 5}),
         {0xFF030201, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        DecodedImage image;
        ASSERT_TRUE(DecodeTGA(c.file, image)) << c.what;
        EXPECT_EQ(image.width * image.height, c.pixels.size()) << c.what;
        EXPECT_EQ(PixelValues(image), c.pixels) << c.what;
    }
}

TEST(DecodeTGA, UnsupportedLayoutsFail)
{
    EXPECT_TRUE(Fails(Tga(24, 2, 0x10, FourPixels))) << "right-to-left";
    EXPECT_TRUE(Fails(Tga(16, 2, 0, FourPixels))) << "16-bit";
    EXPECT_TRUE(Fails(Tga(40, 2, 0, Bytes8(20, 0)))) << "deeper than 32 bits";
    EXPECT_TRUE(Fails(Tga(24, 1, 0, FourPixels))) << "colour-mapped";
    const Bytes8 header = TgaHeader(2, 2, 24, 2, 0);
    EXPECT_TRUE(Fails(Bytes8(header.begin(), header.end() - 1))) << "short header";
    EXPECT_TRUE(Fails(TgaHeader(16385, 1, 24, 2, 0))) << "too wide";
}

TEST(DecodeTGA, ExtensionAreaScanLineTableMovesThePixelData)
{
    // Header, 4 bytes of junk, the pixels, the extension area, the scan-line table, the footer.
    Bytes8 file = TgaHeader(2, 2, 24, 2, 0x20);
    Append(file, {0xEE, 0xEE, 0xEE, 0xEE});
    const auto pixelStart = static_cast<std::uint32_t>(file.size());
    Append(file, FourPixels);
    const auto extension = static_cast<std::uint32_t>(file.size());
    file.resize(file.size() + 490, 0);
    Append(file, LE(extension + 494));
    Append(file, LE(pixelStart));
    const auto withFooter = [&](std::uint32_t extensionOffset) {
        Bytes8 out = file;
        Append(out, LE(extensionOffset));
        Append(out, LE(0));
        Append(out, Bytes("TRUEVISION-XFILE."));
        out.push_back(0);
        return out;
    };
    EXPECT_EQ(PixelAt(Decode(withFooter(extension)), 0, 0), 0xFF030201u);
    EXPECT_EQ(PixelAt(Decode(withFooter(0)), 0, 0), 0xFFEEEEEEu) << "no extension area: pixels follow the header";
    EXPECT_TRUE(Fails(withFooter(static_cast<std::uint32_t>(file.size())))) << "extension area outside the file";
    file[extension + 493] = 0x7F; // scan-line table far outside
    EXPECT_TRUE(Fails(withFooter(extension)));
}
