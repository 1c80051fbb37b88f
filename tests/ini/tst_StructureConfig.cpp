#include "ini/StructureConfig.h"

#include "ini/CIniBlock.h"

#include "base/AsciiCase.h"

#include "support/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

using namespace kestrel;

namespace {

constexpr GameKind kGames[] = {GameKind::Generals, GameKind::ZeroHour, GameKind::BFME};

std::filesystem::path SourceFolder()
{
    const char* source = std::getenv("KESTREL_SOURCE_DIR");
    return source ? std::filesystem::path(source) : std::filesystem::path();
}

/// The description of `block` the way the structure menu finds it: by name, level by level.
const CIniBlock* DescriptionOf(const CIniBlock* description, const CIniBlock* block)
{
    std::vector<const CIniBlock*> chain;
    for (; block && !block->GetName().empty(); block = block->GetParent())
        chain.push_back(block);
    for (auto it = chain.rbegin(); it != chain.rend() && description; ++it)
        description = description->FindChild((*it)->GetName());
    return description;
}

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

void ExpectEveryGameResolves(const CIniBlock& tree)
{
    for (GameKind game : kGames) {
        SCOPED_TRACE(std::string(GameBlockName(game)));
        const CIniBlock* block = FindGameBlock(tree, game);
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

// Every INI file in resources/ parses without an Implements failure. Configuration files (those
// with a "Games" block) must resolve all three games; the others are game texts and must give
// blocks with every game's configuration of the shipped file.
TEST(StructureConfig, EveryShippedIniFileParsesAndConfigurationsResolveEveryGame)
{
    ASSERT_FALSE(SourceFolder().empty());
    const auto shipped = LoadConfigurationFile(SourceFolder() / "resources" / "kestrel.ini", nullptr);
    ASSERT_NE(shipped, nullptr);
    int configurations = 0;
    for (const auto& item : std::filesystem::recursive_directory_iterator(SourceFolder() / "resources")) {
        if (!item.is_regular_file() || AsciiLowered(item.path().extension().string()) != ".ini")
            continue;
        SCOPED_TRACE(item.path().string());
        test::FakePrompt prompt;
        const auto tree = LoadConfigurationFile(item.path(), &prompt);
        ASSERT_NE(tree, nullptr);
        EXPECT_TRUE(prompt.shown.empty()) << (prompt.shown.empty() ? "" : prompt.shown[0].caption);
        if (tree->FindChild("Games")) {
            ++configurations;
            ExpectEveryGameResolves(*tree);
            continue;
        }
        for (GameKind game : kGames) {
            CIniBlock text(StructureConfig::FromGameBlock(FindGameBlock(*shipped, game)), &prompt);
            ASSERT_TRUE(text.LoadFile(item.path()));
            EXPECT_GT(text.GetChildCount(), 0) << GameBlockName(game);
        }
        EXPECT_TRUE(prompt.shown.empty());
    }
    EXPECT_GT(configurations, 0);
}

TEST(StructureConfig, TheShippedZeroHourConfigurationReadsAGameObjectAsIntended)
{
    const auto tree = LoadConfigurationFile(SourceFolder() / "resources" / "kestrel.ini", nullptr);
    ASSERT_NE(tree, nullptr);
    const CIniBlock* zeroHour = FindGameBlock(*tree, GameKind::ZeroHour);
    CIniBlock entry(StructureConfig::FromGameBlock(zeroHour));
    entry.ParseText("LODPreset LOW Intel 800 GeForce 128\r\n"
                    "Object AmericaTankCrusader\r\n"
                    "  KindOf = PRELOAD SELECTABLE VEHICLE\r\n"
                    "  Body = ActiveBody ModuleTag_02\r\n"
                    "    MaxHealth = 480.0\r\n"
                    "  End\r\n"
                    "  Draw = W3DTankDraw ModuleTag_01\r\n"
                    "    ConditionState = REALLYDAMAGED RUBBLE\r\n"
                    "      Model = AVCrusader_D\r\n"
                    "    End\r\n"
                    "  End\r\n"
                    "  RemoveModule ModuleTag_09\r\n"
                    "  AddModule\r\n"
                    "    Behavior = SlowDeathBehavior ModuleTag_10\r\n"
                    "    End\r\n"
                    "  End\r\n"
                    "End\r\n");
    EXPECT_EQ(entry.FindChild("LODPreset")->GetRest(), "LOW Intel 800 GeForce 128");
    const CIniBlock* object = entry.FindChild("Object");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->FindValue("RemoveModule")->text, "ModuleTag_09");
    const CIniBlock* draw = object->FindChild("Draw = W3DTankDraw");
    ASSERT_NE(draw, nullptr);
    const CIniBlock* state = draw->FindChild("ConditionState");
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->GetRest(), "= REALLYDAMAGED RUBBLE");

    const CIniBlock* structure = FindStructureDescription(zeroHour);
    const CIniBlock* stateDescription = DescriptionOf(structure, state);
    ASSERT_NE(stateDescription, nullptr);
    EXPECT_EQ(stateDescription->GetRest(), "= ModelConditionFlags");
    EXPECT_NE(stateDescription->FindValue("Model"), nullptr) << "copied from the declaration";
    EXPECT_NE(FindChoiceList(zeroHour, "ModelConditionFlags")->FindValue("REALLYDAMAGED"), nullptr);
    EXPECT_EQ(DescriptionOf(structure, object)->FindValue("KindOf")->text, "Lists KindOf");
    EXPECT_NE(DescriptionOf(structure, object->FindChild("Body = ActiveBody"))->FindValue("MaxHealth"), nullptr);
    const CIniBlock* added = object->FindChild("AddModule")->FindChild("Behavior = SlowDeathBehavior");
    ASSERT_NE(added, nullptr);
    EXPECT_NE(DescriptionOf(structure, added), nullptr);

    EXPECT_NE(structure->FindChild("Object")->FindChild("Body = UndeadBody"), nullptr);
    const CIniBlock* generals = FindStructureDescription(FindGameBlock(*tree, GameKind::Generals));
    EXPECT_EQ(generals->FindChild("Object")->FindChild("Body = UndeadBody"), nullptr) << "a Zero Hour module";
}

} // namespace
