#include "ToolTestSupport.h"

#include "image/ImageDecoders.h"
#include "samples/ImageFileWriters.h"
#include "sound/WavTestFile.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;
namespace fs = std::filesystem;

using testing::HasSubstr;

namespace {

// A 2 x 1 top-down 24-bit TGA: a blue-green-red pixel (1, 2, 3) and (4, 5, 6).
const std::vector<std::uint8_t> Tga = TgaFile(2, 1, 24, 0x20, {1, 2, 3, 4, 5, 6});

// The expected picture, in the decoded layout (blue, green, red, alpha).
const std::vector<std::uint8_t> TgaPixels{1, 2, 3, 255, 4, 5, 6, 255};

BigArchiveBuilder Textures()
{
    BigArchiveBuilder builder;
    builder.Add("art\\textures\\Brick.TGA", Tga)
        .Add("art\\textures\\old.bmp.tga", Tga)
        .Add("art\\textures\\broken.dds", "DDS but not really")
        .Add("art\\textures\\kept.png", "not decoded when extracted")
        .Add("data\\readme.txt", "text");
    return builder;
}

DecodedImage ReadPng(const fs::path& path)
{
    DecodedImage image;
    EXPECT_TRUE(DecodePNG(ReadFileBytes(path), image)) << path;
    return image;
}

} // namespace

using ConvertCommand = ToolTest;
using ExtractAsPng = ToolTest;
using ConvertSound = ToolTest;

TEST_F(ConvertCommand, WritesTheDecodedPictureAsPngAndReportsWhatItCannot)
{
    Textures().WriteTo(folder / "tex.big");
    // "old.bmp.tga" is a TGA to the editor's preview, so it must be one here too.
    for (const std::string entry : {"art/textures/brick.tga", "art/textures/old.bmp.tga"}) {
        const auto run = Run({"convert", "tex.big", entry, "out.png"});
        EXPECT_EQ(run.status, 0) << entry << ": " << run.err;
        const auto image = ReadPng(folder / "out.png");
        EXPECT_EQ(image.width, 2u);
        EXPECT_EQ(image.pixels, TgaPixels);
    }

    // Missing, undecodable and non-image entries are reported and leave no output.
    const auto broken = Run({"convert", "tex.big", "art/textures/broken.dds", "fail.png"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_THAT(broken.err, HasSubstr("entry \"art/textures/broken.dds\" not converted: not a picture"));
    EXPECT_EQ(Run({"convert", "tex.big", "data/readme.txt", "fail.png"}).status, 2);
    EXPECT_EQ(Run({"convert", "tex.big", "nothing.tga", "fail.png"}).status, 2);
    EXPECT_FALSE(fs::exists(folder / "fail.png"));

    const auto unwritable = Run({"convert", "tex.big", "art/textures/brick.tga", "no/such/out.png"});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_THAT(unwritable.err, HasSubstr("no/such/out.png"));
}

TEST_F(ExtractAsPng, ConvertsImageEntriesAndKeepsTheRest)
{
    Textures().WriteTo(folder / "tex.big");
    const auto run = Run({"extract", "--png", "tex.big", "-C", "out"});
    EXPECT_EQ(run.status, 1) << "the broken DDS is skipped";
    EXPECT_THAT(run.err, HasSubstr("entry \"art\\textures\\broken.dds\" not converted"));

    std::vector<std::string> names;
    for (const auto& [name, bytes] : TreeOf(folder / "out"))
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"art/textures/Brick.TGA.png", "art/textures/kept.png",
                                               "art/textures/old.bmp.tga.png", "data/readme.txt"}));
    EXPECT_EQ(ReadPng(folder / "out/art/textures/Brick.TGA.png").pixels, TgaPixels);
    EXPECT_EQ(Read("out/art/textures/kept.png"), Bytes("not decoded when extracted"));
}

TEST_F(ConvertSound, WritesAWavEntrysWaveformAndDescribesTheSound)
{
    WavBytes square;
    for (int i = 0; i < 1024; ++i)
        square.insert(square.end(), {0xFF, 0x7F, 0x00, 0x80});
    const WavBytes whole = PcmWav(1, 16, square);
    BigArchiveBuilder().Add("data\\audio\\Boom.WAV", whole)
        .Add("data\\audio\\cut.wav", WavBytes(whole.begin(), whole.begin() + 1000))
        .Add("data\\audio\\bad.wav", "RIFF but nothing more")
        .WriteTo(folder / "audio.big");

    const auto run = Run({"convert", "audio.big", "data/audio/boom.wav", "boom.png"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "data\\audio\\Boom.WAV: PCM 16-bit, 22050 Hz, mono, 0.09 s\n");
    const DecodedImage picture = ReadPng(folder / "boom.png");
    ASSERT_EQ(picture.width * picture.height, 512u * 128u);
    // Full scale reaches the bottom right corner in the wave's colour (blue first once decoded).
    EXPECT_EQ(std::vector<std::uint8_t>(picture.pixels.end() - 4, picture.pixels.end()),
              (std::vector<std::uint8_t>{0xF7, 0xC3, 0x4F, 0xFF}));

    const auto partial = Run({"convert", "audio.big", "data/audio/cut.wav", "cut.png"});
    EXPECT_EQ(partial.status, 1);
    EXPECT_THAT(partial.err, HasSubstr("cut short"));
    EXPECT_TRUE(std::filesystem::exists(folder / "cut.png"));

    const auto bad = Run({"convert", "audio.big", "data/audio/bad.wav", "bad.png"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_THAT(bad.err, HasSubstr("entry \"data/audio/bad.wav\" not converted: RIFF form at offset 8"));
    EXPECT_FALSE(std::filesystem::exists(folder / "bad.png"));
}
