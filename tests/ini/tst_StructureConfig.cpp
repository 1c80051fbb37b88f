#include "ini/StructureConfig.h"

#include "ini/CIniBlock.h"

#include "support/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace kestrel;

namespace {

constexpr GameKind kGames[] = {GameKind::Generals, GameKind::ZeroHour, GameKind::BFME};

TEST(StructureConfig, GameBlocksAndTheirConfigurationAreFoundByExactNames)
{
    test::TempFolder folder;
    test::WriteFileBytes(folder / "kestrel.ini", test::Bytes("Games\n"
                                                             "  Generals\n"
                                                             "    ForcedObjects\n"
                                                             "      Body =\n"
                                                             "    End\n"
                                                             "    forcedvalues\n"
                                                             "    End\n"
                                                             "    Lists\n"
                                                             "      KindOf\n"
                                                             "        STRUCTURE =\n"
                                                             "        INFANTRY\n"
                                                             "        End\n"
                                                             "      End\n"
                                                             "    End\n"
                                                             "  End\n"
                                                             "End\n"));
    test::FakePrompt prompt;
    const auto tree = LoadConfigurationFile(folder / "kestrel.ini", &prompt);
    ASSERT_NE(tree, nullptr);
    const CIniBlock* generals = FindGameBlock(*tree, GameKind::Generals);
    ASSERT_NE(generals, nullptr);
    EXPECT_EQ(FindGameBlock(*tree, GameKind::ZeroHour), nullptr);

    const StructureConfig config = StructureConfig::FromGameBlock(generals);
    ASSERT_NE(config.forcedObjects, nullptr);
    EXPECT_NE(config.forcedObjects->FindValue("Body"), nullptr);
    EXPECT_EQ(config.forcedValues, nullptr) << "names are case-sensitive";
    EXPECT_EQ(config.objectsWithLists, nullptr);
    EXPECT_EQ(config.stringAreas, nullptr);
    EXPECT_EQ(FindStructureDescription(generals), nullptr);

    const CIniBlock* kindOf = FindChoiceList(generals, "KindOf");
    ASSERT_NE(kindOf, nullptr);
    EXPECT_EQ(kindOf->GetValueCount(), 1);
    EXPECT_NE(kindOf->FindChild("INFANTRY"), nullptr) << "an entry without = opens a block";
    EXPECT_EQ(FindChoiceList(nullptr, "KindOf"), nullptr);

    const StructureConfig none = StructureConfig::FromGameBlock(nullptr);
    EXPECT_EQ(none.forcedObjects, nullptr);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST(StructureConfig, AMissingOrEmptyFileIsNotLoaded)
{
    test::TempFolder folder;
    EXPECT_EQ(LoadConfigurationFile(folder / "kestrel.ini", nullptr), nullptr);
    test::WriteFileBytes(folder / "kestrel.ini", {});
    EXPECT_EQ(LoadConfigurationFile(folder / "kestrel.ini", nullptr), nullptr);
}

// Every configuration file shipped in resources/ must parse into all three game blocks with their
// structure configuration, description and lists, and without an Implements failure.
TEST(StructureConfig, ShippedConfigurationFilesResolveEveryGame)
{
    const char* source = std::getenv("KESTREL_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    int files = 0;
    for (const auto& item : std::filesystem::recursive_directory_iterator(std::filesystem::path(source) / "resources")) {
        if (item.path().extension() != ".ini")
            continue;
        ++files;
        SCOPED_TRACE(item.path().string());
        test::FakePrompt prompt;
        const auto tree = LoadConfigurationFile(item.path(), &prompt);
        ASSERT_NE(tree, nullptr);
        EXPECT_TRUE(prompt.shown.empty()) << (prompt.shown.empty() ? "" : prompt.shown[0].caption);
        for (GameKind game : kGames) {
            SCOPED_TRACE(std::string(GameBlockName(game)));
            const CIniBlock* block = FindGameBlock(*tree, game);
            ASSERT_NE(block, nullptr);
            const StructureConfig config = StructureConfig::FromGameBlock(block);
            ASSERT_NE(config.forcedObjects, nullptr);
            ASSERT_NE(config.forcedValues, nullptr);
            ASSERT_NE(config.objectsWithLists, nullptr);
            ASSERT_NE(config.stringAreas, nullptr);
            for (const char* module : {"Body", "Draw", "Behavior", "ClientUpdate"})
                EXPECT_NE(config.forcedObjects->FindValue(module), nullptr) << module;
            const CIniBlock* description = FindStructureDescription(block);
            ASSERT_NE(description, nullptr);
            const CIniBlock* object = description->FindChild("Object");
            ASSERT_NE(object, nullptr);
            EXPECT_GT(object->GetValueCount(), 30);
            EXPECT_NE(object->FindChild("Body = ActiveBody"), nullptr);
            const CIniBlock* kindOf = FindChoiceList(block, "KindOf");
            ASSERT_NE(kindOf, nullptr);
            EXPECT_NE(kindOf->FindValue("STRUCTURE"), nullptr);
        }
    }
    EXPECT_GT(files, 0);
}

} // namespace
