#include "ini/StructureConfig.h"

#include "ini/CIniBlock.h"
#include "ini/IniCoverage.h"
#include "ini/StructureMenu.h"

#include "base/AsciiCase.h"

#include "samples/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

using namespace kestrel;

namespace {

constexpr GameKind kGames[] = {GameKind::Generals, GameKind::ZeroHour, GameKind::BFME};

std::filesystem::path SourceFolder()
{
    const char* source = std::getenv("KESTREL_SOURCE_DIR");
    return source ? std::filesystem::path(source) : std::filesystem::path();
}

std::unique_ptr<CIniBlock> ShippedConfiguration()
{
    return LoadConfigurationFile(SourceFolder() / "resources" / "kestrel.ini", nullptr);
}

TEST(StructureConfig, GameBlocksAndTheirConfigurationAreFoundByExactNames)
{
    samples::TempFolder folder;
    EXPECT_EQ(LoadConfigurationFile(folder / "kestrel.ini", nullptr), nullptr) << "a missing file";
    samples::WriteFileBytes(folder / "kestrel.ini", {});
    EXPECT_EQ(LoadConfigurationFile(folder / "kestrel.ini", nullptr), nullptr) << "an empty file";
    samples::WriteFileBytes(folder / "kestrel.ini",
                         samples::Bytes("Games\n  Generals\n    ForcedObjects\n      Body =\n    End\n    forcedvalues\n    End\n"
                                     "    Lists\n      KindOf\n        STRUCTURE =\n        INFANTRY\n        End\n      End\n"
                                     "    End\n  End\nEnd\n"));
    test::FakePrompt prompt;
    const auto tree = LoadConfigurationFile(folder / "kestrel.ini", &prompt);
    ASSERT_NE(tree, nullptr);
    const CIniBlock* generals = FindGameBlock(*tree, GameKind::Generals);
    ASSERT_NE(generals, nullptr);
    EXPECT_EQ(FindGameBlock(*tree, GameKind::ZeroHour), nullptr);

    const StructureConfig config = StructureConfig::FromGameBlock(generals);
    EXPECT_TRUE(config.forcedObjects && config.forcedObjects->FindValue("Body"));
    EXPECT_FALSE(config.forcedValues || config.objectsWithLists || config.stringAreas) << "names are case-sensitive";
    EXPECT_EQ(FindStructureDescription(generals), nullptr);

    const CIniBlock* kindOf = FindChoiceList(generals, "KindOf");
    ASSERT_NE(kindOf, nullptr);
    EXPECT_EQ(kindOf->GetValueCount(), 1);
    EXPECT_NE(kindOf->FindChild("INFANTRY"), nullptr) << "an entry without = opens a block";
    EXPECT_EQ(FindChoiceList(nullptr, "KindOf"), nullptr);
    EXPECT_TRUE(prompt.shown.empty());
}

void ExpectEveryGameResolves(const CIniBlock& tree)
{
    for (GameKind game : kGames) {
        SCOPED_TRACE(std::string(GameBlockName(game)));
        const CIniBlock* block = FindGameBlock(tree, game);
        ASSERT_NE(block, nullptr);
        const StructureConfig config = StructureConfig::FromGameBlock(block);
        ASSERT_TRUE(config.forcedObjects && config.forcedValues && config.objectsWithLists && config.stringAreas);
        for (const char* module : {"Body", "Draw", "Behavior", "ClientUpdate"})
            EXPECT_NE(config.forcedObjects->FindValue(module), nullptr) << module;
        const CIniBlock* description = FindStructureDescription(block);
        const CIniBlock* object = description ? description->FindChild("Object") : nullptr;
        ASSERT_NE(object, nullptr);
        EXPECT_GT(object->GetValueCount(), 30);
        EXPECT_NE(object->FindChild("Body = ActiveBody"), nullptr);
        const CIniBlock* kindOf = FindChoiceList(block, "KindOf");
        EXPECT_TRUE(kindOf && kindOf->FindValue("STRUCTURE"));
    }
}

// Every INI file in resources/ parses without an Implements failure. Configuration files (those
// with a "Games" block) must resolve all three games; the others are game texts and must give
// blocks with every game's configuration of the shipped file.
TEST(StructureConfig, EveryShippedIniFileParsesAndConfigurationsResolveEveryGame)
{
    ASSERT_FALSE(SourceFolder().empty());
    const auto shipped = ShippedConfiguration();
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
    const auto tree = ShippedConfiguration();
    ASSERT_NE(tree, nullptr);
    const CIniBlock* zeroHour = FindGameBlock(*tree, GameKind::ZeroHour);
    CIniBlock entry(StructureConfig::FromGameBlock(zeroHour));
    entry.ParseText("LODPreset LOW Intel 800 GeForce 128\r\nObject AmericaTankCrusader\r\n"
                    "  KindOf = PRELOAD SELECTABLE VEHICLE\r\n  Body = ActiveBody ModuleTag_02\r\n    MaxHealth = 480.0\r\n"
                    "  End\r\n  Draw = W3DTankDraw ModuleTag_01\r\n    ConditionState = REALLYDAMAGED RUBBLE\r\n"
                    "      Model = AVCrusader_D\r\n    End\r\n  End\r\n  RemoveModule ModuleTag_09\r\n  AddModule\r\n"
                    "    Behavior = SlowDeathBehavior ModuleTag_10\r\n    End\r\n  End\r\nEnd\r\n");
    EXPECT_EQ(entry.FindChild("LODPreset")->GetRest(), "LOW Intel 800 GeForce 128");
    const CIniBlock* object = entry.FindChild("Object");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->FindValue("RemoveModule")->text, "ModuleTag_09");
    const CIniBlock* draw = object->FindChild("Draw = W3DTankDraw");
    const CIniBlock* state = draw ? draw->FindChild("ConditionState") : nullptr;
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->GetRest(), "= REALLYDAMAGED RUBBLE");

    const CIniBlock* structure = FindStructureDescription(zeroHour);
    const CIniBlock* stateDescription = FindDescription(*state, structure);
    ASSERT_NE(stateDescription, nullptr);
    EXPECT_EQ(stateDescription->GetRest(), "= ModelConditionFlags");
    EXPECT_NE(stateDescription->FindValue("Model"), nullptr) << "copied from the declaration";
    EXPECT_NE(FindChoiceList(zeroHour, "ModelConditionFlags")->FindValue("REALLYDAMAGED"), nullptr);
    EXPECT_EQ(FindDescription(*object, structure)->FindValue("KindOf")->text, "Lists KindOf");
    const CIniBlock* body = object->FindChild("Body = ActiveBody");
    EXPECT_TRUE(body && FindDescription(*body, structure)->FindValue("MaxHealth"));
    const CIniBlock* added = object->FindChild("AddModule")->FindChild("Behavior = SlowDeathBehavior");
    EXPECT_TRUE(added && FindDescription(*added, structure));

    EXPECT_NE(structure->FindChild("Object")->FindChild("Body = UndeadBody"), nullptr);
    const CIniBlock* generals = FindStructureDescription(FindGameBlock(*tree, GameKind::Generals));
    EXPECT_EQ(generals->FindChild("Object")->FindChild("Body = UndeadBody"), nullptr) << "a Zero Hour module";
}

/// The list named by a description text after its "Lists" or "Selects" word, as the menu reads it.
std::string ListNameAfter(std::string_view text, std::size_t prefix)
{
    text = text.substr(prefix, text.find('#') - prefix);
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

void ForEachBlock(const CIniBlock& root, const std::function<void(const CIniBlock&)>& visit)
{
    std::vector<const CIniBlock*> pending{&root};
    while (!pending.empty()) {
        const CIniBlock* block = pending.back();
        pending.pop_back();
        visit(*block);
        for (const auto& child : block->Children())
            pending.push_back(child.second.get());
    }
}

// A description that names a missing list or block type gives an empty submenu; the generator
// must never write one.
TEST(StructureConfig, EveryListAndTypeTheShippedDescriptionsNameExists)
{
    const auto tree = ShippedConfiguration();
    ASSERT_NE(tree, nullptr);
    for (GameKind game : kGames) {
        SCOPED_TRACE(std::string(GameBlockName(game)));
        const CIniBlock* block = FindGameBlock(*tree, game);
        const CIniBlock* structure = FindStructureDescription(block);
        ASSERT_NE(structure, nullptr);
        int lists = 0;
        int references = 0;
        ForEachBlock(*structure, [&](const CIniBlock& description) {
            if (description.GetRest().starts_with("=")) {
                ++lists;
                EXPECT_NE(FindChoiceList(block, ListNameAfter(description.GetRest(), 2)), nullptr)
                    << description.GetName() << " " << description.GetRest();
            }
            for (const auto& [key, value] : description.Values()) {
                const std::string& text = value.text;
                for (const std::string_view word : {std::string_view("Lists"), std::string_view("Selects")}) {
                    if (text.starts_with(word)) {
                        ++lists;
                        EXPECT_NE(FindChoiceList(block, ListNameAfter(text, word.size())), nullptr) << key << " = " << text;
                    }
                }
                for (std::size_t at = text.find("::"); at != std::string::npos; at = text.find("::", at + 2)) {
                    ++references;
                    const std::size_t end = text.find(' ', at);
                    const std::string type = text.substr(at + 2, end == std::string::npos ? end : end - at - 2);
                    EXPECT_NE(structure->FindChild(type), nullptr) << key << " = " << text;
                }
            }
        });
        EXPECT_GT(lists, 100);
        EXPECT_GT(references, 100);
        const CIniBlock* all = block->FindChild("Lists");
        ASSERT_NE(all, nullptr);
        EXPECT_GT(all->GetChildCount(), 70) << "every enumeration and flag list, not only the used ones";
    }
}

/// Parses a sample game file with a game's shipped configuration; `unknown` lists every path of it
/// the game's description does not know.
struct ShippedGameText
{
    ShippedGameText(GameKind game, const char* sample) : tree(ShippedConfiguration())
    {
        const CIniBlock* block = tree ? FindGameBlock(*tree, game) : nullptr;
        root = std::make_unique<CIniBlock>(StructureConfig::FromGameBlock(block), &prompt);
        EXPECT_TRUE(root->LoadFile(SourceFolder() / "tests" / "ini" / "data" / sample));
        IniCoverage coverage(block);
        coverage.Add(*root);
        for (const IniCoverage::Item& item : coverage.Items())
            unknown += item.known ? "" : item.path + "\n";
    }

    std::unique_ptr<CIniBlock> tree;
    test::FakePrompt prompt;
    std::unique_ptr<CIniBlock> root;
    std::string unknown;
};

// The sample closes blocks with "End Name", as real upgrade files do.
TEST(StructureConfig, AZeroHourFileWithNamedEndsParsesWholeAndIsFullyDescribed)
{
    const ShippedGameText text(GameKind::ZeroHour, "ZeroHourSample.ini");
    const CIniBlock& root = *text.root;
    ASSERT_EQ(root.GetChildCount(), 4) << "no block swallowed";
    EXPECT_EQ(root.FindChild("Upgrade")->GetEndRest(), "Upgrade_TestDrone");
    EXPECT_EQ(root.GetChild(2)->GetRest(), "TestDrone");
    EXPECT_EQ(text.unknown, "");
}

TEST(StructureConfig, ABattleForMiddleEarthFileReadsItsDialectAndIsFullyDescribed)
{
    const ShippedGameText text(GameKind::BFME, "BattleForMiddleEarthSample.ini");
    const CIniBlock& root = *text.root;
    ASSERT_EQ(root.GetChildCount(), 8) << "directives and blocks; comments are no blocks";
    EXPECT_EQ(root.FindChild("#define")->GetRest(), "TESTHERO_HEALTH 3000");
    EXPECT_EQ(root.FindChild("Armor")->GetValueCount(), 2);
    const CIniBlock* hero = root.FindChild("Object");
    ASSERT_NE(hero, nullptr);
    const CIniBlock* draw = hero->FindChild("Draw = W3DScriptedModelDraw");
    const CIniBlock* state = draw ? draw->FindChild("AnimationState") : nullptr;
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(draw->FindChild("ModelConditionState")->FindValue("ParticleSysBone")->text, "BAT_HEAD TestGlow FollowBone:Yes");
    EXPECT_EQ(state->FindChild("Animation")->GetRest(), "= GUTest_RUNA");
    EXPECT_NE(state->FindChild("BeginScript")->GetRest().find("end"), std::string::npos) << "a script is raw text";
    EXPECT_EQ(hero->FindChild("Body = RespawnBody")->FindValue("MaxHealth")->text, "#MULTIPLY( TESTHERO_HEALTH 2 )");
    EXPECT_EQ(hero->GetEndLine(), 50);
    EXPECT_EQ(root.FindChild("FXParticleSystem")->FindChild("Color")->GetRest(), "= DefaultColor");
    EXPECT_NE(root.FindChild("FXList")->FindChild("LightPulse")->FindValue("Color"), nullptr);
    EXPECT_EQ(text.unknown, "");
    const CIniBlock* child = FindStructureDescription(FindGameBlock(*text.tree, GameKind::BFME))->FindChild("ChildObject");
    EXPECT_TRUE(child && child->FindChild("Body = RespawnBody")) << "a child object is described as an Object";
}

} // namespace
