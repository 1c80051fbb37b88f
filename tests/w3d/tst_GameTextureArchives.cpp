#include "w3d/GameTextureArchives.h"

#include "archive/BIGEntry.h"

#include "samples/BigArchiveBuilder.h"
#include "support/FakeInstallPathProvider.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

TEST(GameTextureArchives, AGeneralsArchiveInsideTheZeroHourFolderIsZeroHour)
{
    TempFolder temp;
    std::filesystem::create_directories(temp / "ZH");
    std::filesystem::create_directories(temp / "Gen");
    WriteFileBytes(temp / "ZH/texturesZH.BIG", {1});
    FakeInstallPathProvider provider;
    provider.paths = {{GameKind::Generals, (temp / "Gen").string() + "\\"}, {GameKind::ZeroHour, (temp / "ZH").string() + "\\"}};

    // The folder as the document stores it, in another letter case.
    std::string folder = (temp / "zh").string() + "/";
    const auto plan = PlanGameTextureArchives(BIGFormat_BIGF, folder, true, provider);
    EXPECT_EQ(plan.game, GameKind::ZeroHour);
    EXPECT_EQ(plan.installFolder, (temp / "ZH").string() + "\\");
    EXPECT_EQ(plan.gameArchive, temp / "ZH/texturesZH.BIG");
    EXPECT_EQ(plan.baseArchive, temp / "Gen/textures.big");

    const auto elsewhere = PlanGameTextureArchives(BIGFormat_BIGF, (temp / "mods").string(), true, provider);
    EXPECT_EQ(elsewhere.game, GameKind::Generals);
    EXPECT_EQ(elsewhere.gameArchive, temp / "Gen/Textures.big");
    EXPECT_FALSE(elsewhere.baseArchive);
}

TEST(GameTextureArchives, TexturesOffOpensNothingButStillDecidesTheGame)
{
    FakeInstallPathProvider provider;
    provider.paths = {{GameKind::ZeroHour, "C:\\ZH\\"}, {GameKind::BFME, "C:\\BFME\\"}};
    const auto zeroHour = PlanGameTextureArchives(BIGFormat_BIGF, "c:\\zh", false, provider);
    EXPECT_EQ(zeroHour.game, GameKind::ZeroHour);
    EXPECT_TRUE(zeroHour.installFolder.empty());
    EXPECT_FALSE(zeroHour.gameArchive || zeroHour.baseArchive);

    const auto bfme = PlanGameTextureArchives(BIGFormat_BIG4, "c:\\zh", true, provider);
    EXPECT_EQ(bfme.game, GameKind::BFME);
    EXPECT_EQ(bfme.installFolder, "C:\\BFME\\");
    EXPECT_EQ(provider.asked.back(), GameKind::BFME);

    // Zero Hour found, Generals not installed: no base archive; no keys at all: nothing.
    const auto noGenerals = PlanGameTextureArchives(BIGFormat_BIGF, "C:\\ZH\\", true, provider);
    EXPECT_FALSE(noGenerals.baseArchive);
    EXPECT_TRUE(noGenerals.gameArchive);
    FakeInstallPathProvider none;
    const auto nothing = PlanGameTextureArchives(BIGFormat_BIGF, "/x/", true, none);
    EXPECT_EQ(nothing.game, GameKind::Generals);
    EXPECT_FALSE(nothing.gameArchive);
}

TEST(GameTextureArchives, FoldersCompareRegardlessOfCaseSeparatorsAndLinks)
{
    EXPECT_TRUE(SameFolderIgnoringCase("C:\\Games\\ZH\\", "c:/games/zh"));
    EXPECT_FALSE(SameFolderIgnoringCase("C:\\Games\\ZH2\\", "c:/games/zh"));
    TempFolder temp;
    std::filesystem::create_directories(temp / "real/ZH");
    std::filesystem::create_directory_symlink(temp / "real", temp / "link");
    EXPECT_TRUE(SameFolderIgnoringCase((temp / "link/zh").string(), (temp / "real/ZH/").string()));
}
