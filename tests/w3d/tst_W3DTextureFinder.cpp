#include "w3d/W3DTextureFinder.h"

#include "archive/CBIGFile.h"
#include "base/File.h"
#include "image/ImageDecoders.h"
#include "w3d/W3DTextureExport.h"

#include "samples/BigArchiveBuilder.h"
#include "support/FakePrompt.h"
#include "support/RecordingDevice.h"
#include "samples/ImageFileWriters.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

using Source = W3DTextureFinder::Location::Source;

/// First pixel of a texture the recording device was given (bytes blue, green, red, alpha).
std::vector<std::uint8_t> FirstPixel(const std::unique_ptr<C3DWTexture>& texture)
{
    const auto* recorded = dynamic_cast<const RecordingTexture*>(texture.get());
    if (recorded == nullptr || recorded->pixels.size() < 4)
        return {};
    return {recorded->pixels.begin(), recorded->pixels.begin() + 4};
}

struct TextureFinder : ::testing::Test
{
    TempFolder temp;
    FakePrompt prompt;
    RecordingDevice device;
    CBIGFile own{prompt}, game{prompt}, base{prompt};

    void OpenArchive(CBIGFile& archive, const std::string& file, BigArchiveBuilder builder)
    {
        ASSERT_EQ(archive.Open(builder.WriteTo(temp / file), 0), 1);
    }

    W3DTextureFinder Finder(const std::string& installFolder)
    {
        return W3DTextureFinder(&device, {&own, &game, &base}, installFolder);
    }
};

} // namespace

TEST_F(TextureFinder, TheDiskWinsRegardlessOfCaseThenTheOpenArchiveThenTheGameArchives)
{
    WriteFileBytes(temp / "Game/art/textures/ROCK.TGA", TinyTga(255, 0, 0));
    OpenArchive(own, "own.big", BigArchiveBuilder()
                                    .Add("Art\\Textures\\rock.tga", TinyTga(0, 0, 255))
                                    .Add("art\\textures\\tank.tga", TinyTga(0, 255, 0)));
    OpenArchive(game, "game.big", BigArchiveBuilder().Add("art\\textures\\tank.tga", TinyTga(0, 0, 255)));
    auto finder = Finder((temp / "Game").string() + "\\");
    EXPECT_EQ(FirstPixel(finder.LoadTexture("Rock.tga")), (std::vector<std::uint8_t>{255, 0, 0, 255}));
    const auto rock = finder.LocateTexture("Rock.tga");
    EXPECT_EQ(std::tuple(rock.source, rock.file), std::tuple(Source::Disk, temp / "Game/art/textures/ROCK.TGA"));

    EXPECT_EQ(FirstPixel(finder.LoadTexture("TANK.tga")), (std::vector<std::uint8_t>{0, 255, 0, 255}));
    const auto tank = finder.LocateTexture("TANK.tga");
    EXPECT_EQ(std::tuple(tank.source, tank.archive, tank.entryName),
              std::tuple(Source::Archive, size_t(0), std::string("art\\textures\\tank.tga")));
}

TEST_F(TextureFinder, ATgaFoundOnlyAsDdsIsDecodedAsDds)
{
    OpenArchive(base, "base.big", BigArchiveBuilder().Add("ART\\TEXTURES\\TREE.DDS", TinyDxt1Dds(0xF800)));
    auto finder = Finder("");
    EXPECT_EQ(FirstPixel(finder.LoadTexture("tree.tga")), (std::vector<std::uint8_t>{0, 0, 248, 255}));
    const auto location = finder.LocateTexture("tree.tga");
    EXPECT_EQ(std::tuple(location.archive, location.type), std::tuple(size_t(2), ImageFileType::DDS));

    WriteFileBytes(temp / "Inst/Art/Textures/bush.dds", TinyDxt1Dds(0x07E0));
    auto diskFinder = Finder((temp / "Inst").string() + "/");
    EXPECT_EQ(FirstPixel(diskFinder.LoadTexture("bush.tga")), (std::vector<std::uint8_t>{0, 252, 0, 255}));
}

TEST_F(TextureFinder, TheFirstEntryPresentEndsTheSearchEvenWhenItDoesNotDecode)
{
    WriteFileBytes(temp / "Inst/Art/Textures/bad.tga", {1, 2, 3});
    OpenArchive(own, "own.big", BigArchiveBuilder().Add("art\\textures\\bad.tga", std::string("not an image")));
    OpenArchive(game, "game.big", BigArchiveBuilder().Add("art\\textures\\bad.tga", TinyTga(1, 2, 3)));
    auto finder = Finder((temp / "Inst").string() + "/");
    EXPECT_EQ(finder.LoadTexture("bad.tga"), nullptr);
    EXPECT_EQ(finder.LocateTexture("bad.tga").archive, 0u);
    EXPECT_EQ(finder.LocateTexture("missing.tga").source, Source::NotFound);
    EXPECT_EQ(W3DTextureFinder(nullptr, {&own, &game, &base}, "").LoadTexture("bad.tga"), nullptr);
}

TEST_F(TextureFinder, CompiledTexturesAreFoundInTheTwoLetterFolderOfTheirName)
{
    WriteFileBytes(temp / "Bfme/art/compiledtextures/EU/eutwin1.dds", TinyDxt1Dds(0x07E0));
    OpenArchive(game, "game.big", BigArchiveBuilder()
                                      .Add("Art\\CompiledTextures\\GU\\GUWall.dds", TinyDxt1Dds(0xF800))
                                      .Add("art\\textures\\guwall.tga", TinyTga(0, 0, 255)));
    auto finder = Finder((temp / "Bfme").string() + "/");
    EXPECT_EQ(FirstPixel(finder.LoadTexture("EUTwin1.tga")), (std::vector<std::uint8_t>{0, 252, 0, 255}));
    EXPECT_EQ(finder.LocateTexture("EUTwin1.tga").file, temp / "Bfme/art/compiledtextures/EU/eutwin1.dds");
    // The games' own texture folder comes first where both hold the name.
    EXPECT_EQ(finder.LocateTexture("guwall.tga").entryName, "art\\textures\\guwall.tga");
    OpenArchive(own, "own.big", BigArchiveBuilder().Add("art\\compiledtextures\\gu\\guroof.dds", TinyDxt1Dds(0xF800)));
    const auto roof = finder.LocateTexture("GURoof.tga");
    EXPECT_EQ(std::tuple(roof.archive, roof.entryName, roof.type),
              std::tuple(size_t(0), std::string("art\\compiledtextures\\gu\\guroof.dds"), ImageFileType::DDS));
}

TEST_F(TextureFinder, ModelTexturesAreSavedAsPngWhereverTheyWereFound)
{
    WriteFileBytes(temp / "Inst/Art/Textures/disk.tga", TinyTga(1, 2, 3));
    OpenArchive(own, "own.big", BigArchiveBuilder()
                                    .Add("art\\textures\\tree.dds", TinyDxt1Dds(0xF800))
                                    .Add("art\\textures\\broken.tga", std::string("not an image")));
    auto finder = Finder((temp / "Inst").string() + "/");
    std::filesystem::create_directories(temp / "out");
    const auto results = ExportTexturesAsPNG(finder, {"tree.tga", "sub\\disk.TGA", "broken.tga", "gone.tga"}, temp / "out");
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].file, temp / "out/tree.png");
    // A texture name's folders are not the disk's, so "sub\disk.TGA" is not the file on disk.
    EXPECT_EQ((std::vector{results[1].error, results[2].error, results[3].error}),
              (std::vector<std::string>{"not found", "not a picture Kestrel can decode", "not found"}));
    std::string png;
    ASSERT_TRUE(ReadWholeFile(temp / "out/tree.png", png));
    DecodedImage image;
    ASSERT_TRUE(DecodeImage({reinterpret_cast<const std::uint8_t*>(png.data()), png.size()}, ImageFileType::PNG, image));
    EXPECT_EQ(std::vector<std::uint8_t>(image.pixels.begin(), image.pixels.begin() + 4),
              (std::vector<std::uint8_t>{0, 0, 248, 255}));

    const auto disk = ExportTexturesAsPNG(finder, {"disk.tga"}, temp / "no such folder");
    EXPECT_TRUE(disk[0].file.empty() && !disk[0].error.empty()) << disk[0].error;
    EXPECT_FALSE(std::filesystem::exists(temp / "no such folder"));
}
