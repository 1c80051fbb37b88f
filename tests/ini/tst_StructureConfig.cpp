#include "ini/StructureConfig.h"

#include "ini/CIniBlock.h"
#include "ini/IniCoverage.h"
#include "ini/StructureMenu.h"

#include "base/AsciiCase.h"

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
    test::FakePrompt prompt;
    CIniBlock tree(StructureConfig{}, &prompt);
    tree.ParseText("Games\n  Generals\n    ForcedObjects\n      Body =\n    End\n    forcedvalues\n    End\n"
                   "    Lists\n      KindOf\n        STRUCTURE =\n        INFANTRY\n        End\n      End\n    End\n  End\nEnd\n");
    const CIniBlock* generals = FindGameBlock(tree, GameKind::Generals);
    ASSERT_NE(generals, nullptr);
    EXPECT_EQ(FindGameBlock(tree, GameKind::ZeroHour), nullptr);

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
            for (GameKind game : kGames) {
                const StructureConfig config = StructureConfig::FromGameBlock(FindGameBlock(*tree, game));
                EXPECT_TRUE(config.forcedObjects && config.forcedValues && config.objectsWithLists && config.stringAreas)
                    << GameBlockName(game);
            }
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
        // A module that came with Zero Hour: the original game's description must not offer it.
        EXPECT_EQ(structure->FindChild("Object")->FindChild("Body = UndeadBody") != nullptr, game != GameKind::Generals);
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
    EXPECT_EQ(root.FindChild("Armor")->GetValueCount(), 2);
    const CIniBlock* hero = root.FindChild("Object");
    ASSERT_NE(hero, nullptr);
    const CIniBlock* state = hero->FindChild("Draw = W3DScriptedModelDraw")->FindChild("AnimationState");
    EXPECT_NE(state->FindChild("BeginScript")->GetRest().find("end"), std::string::npos) << "a script is raw text";
    EXPECT_EQ(hero->GetEndLine(), 50);
    EXPECT_EQ(text.unknown, "");
    const CIniBlock* child = FindStructureDescription(FindGameBlock(*text.tree, GameKind::BFME))->FindChild("ChildObject");
    EXPECT_TRUE(child && child->FindChild("Body = RespawnBody")) << "a child object is described as an Object";
}

} // namespace
