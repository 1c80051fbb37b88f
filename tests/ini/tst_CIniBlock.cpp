#include "ini/CIniBlock.h"

#include "samples/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace kestrel;
using namespace std::literals;

namespace {

// Structure configurations written like a game block of the configuration file.
constexpr const char* kGame = "Game\n"
                              "  ForcedObjects\n    Body =\n    ConditionState =\n  End\n"
                              "  ForcedValues\n    RemoveModule =\n    LODPreset =\n  End\n"
                              "  ObjectsWithLists\n    ConditionState =\n  End\n"
                              "  StringAreas\n    Script\n      End = EndScript\n    End\n    Note\n      Other = x\n    End\n  End\n"
                              "End\n";
// A dialect like the Battle for Middle-earth's: "//" comments and preprocessor lines.
constexpr const char* kDialect = "Game\n"
                                 "  ForcedObjects\n    Body =\n  End\n"
                                 "  LineComments\n    // =\n  End\n"
                                 "  Directives\n    #include =\n    #define =\n  End\n"
                                 "End\n";
// One word that opens a sub-block only in some block types, or only when its value starts with a keyword.
constexpr const char* kLimited = "Game\n"
                                 "  ForcedObjects\n    Color = Emitter System\n    AddEmotion = =OVERRIDE\n  End\n"
                                 "  ObjectsWithLists\n    Color =\n    AddEmotion =\n  End\n"
                                 "End\n";

/// The whole tree on one line: `Name[rest]start-end/endRest{key=text@line; Child...}`, values
/// before children, both in key order. Every child must name its block as its parent; top-level
/// blocks (children of the nameless root) have none.
std::string Dump(const CIniBlock& block)
{
    std::string out = block.GetName() + "[" + block.GetRest() + "]" + std::to_string(block.GetStartLine()) + "-" +
                      std::to_string(block.GetEndLine());
    if (!block.GetEndRest().empty())
        out += "/" + block.GetEndRest();
    std::vector<std::string> items;
    for (const auto& [key, value] : block.Values())
        items.push_back(key + "=" + value.text + "@" + std::to_string(value.line));
    for (const auto& [name, child] : block.Children()) {
        EXPECT_EQ(child->GetParent(), block.GetName().empty() ? nullptr : &block) << name;
        items.push_back(Dump(*child));
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? "; " : "{") + items[i] + (i + 1 == items.size() ? "}" : "");
    return out;
}

class CIniBlockTest : public ::testing::Test
{
protected:
    const CIniBlock& Parse(std::string_view text, const char* config = kGame)
    {
        configuration.ParseText(config ? config : "");
        parsed = std::make_unique<CIniBlock>(StructureConfig::FromGameBlock(configuration.FindChild("Game")), &prompt);
        parsed->ParseText(text);
        return *parsed;
    }

    CIniBlock configuration;
    test::FakePrompt prompt;
    std::unique_ptr<CIniBlock> parsed;
};

TEST_F(CIniBlockTest, ParsesTextsIntoTheExpectedTree)
{
    const struct
    {
        const char* what;
        const char* config;
        std::string_view text;
        const char* tree;
    } cases[] = {
        {"values split at the first equals; header trimmed before its comment is cut", kGame,
         "Object Tank ; a comment\r\n  Key=Value\r\n  Spaced =  two words \t\r\n  Noted = text ; note\r\n"
         "  Empty =\r\n  Twice = a = b\r\nEnd\r\n",
         "[]0-7{Object[Tank ]0-6{Empty=@4; Key=Value@1; Noted=text @3; Spaced=two words@2; Twice=a = b@5}}"},
        {"forced values need no equals in a block and are one-line blocks on top", kGame,
         "LODPreset Low 800 1\nObject Tank\n  RemoveModule ModuleTag_05\n  RemoveModule\nEnd\n",
         "[]0-5{LODPreset[Low 800 1]0-0; Object[Tank]1-4{RemoveModule=ModuleTag_05@2; RemoveModule=@3}}"},
        {"without configuration a forced value opens a block", nullptr,
         "Object Tank\n  RemoveModule ModuleTag_05\n  End\nEnd\n", "[]0-4{Object[Tank]0-3{RemoveModule[ModuleTag_05]1-2}}"},
        {"forced objects fold their class into the name unless they keep a list", kGame,
         "Object Tank\n  Body = ActiveBody Tag1 ; comment\n    MaxHealth = 100\n  End\n"
         "  ConditionState = DAMAGED MOVING\n    Model = tank_d\n  End\nEnd\n",
         "[]0-8{Object[Tank]0-7{Body = ActiveBody[Tag1]1-3{MaxHealth=100@2}; "
         "ConditionState[= DAMAGED MOVING]4-6{Model=tank_d@5}}}"},
        {"without configuration a module line is a value", nullptr, "Object Tank\n  Body = ActiveBody Tag1\nEnd\n",
         "[]0-3{Object[Tank]0-2{Body=ActiveBody Tag1@1}}"},
        {"a described module header names its class and list", nullptr,
         "Object\n  Body Specified ActiveBody Lists Slots\n  End\nEnd\n", "[]0-4{Object[]0-3{Body = ActiveBody[= Slots]1-2}}"},
        {"a longer word than End opens a block", kGame, "Object A\n  EndObject\n  End\nEnd\n",
         "[]0-4{Object[A]0-3{EndObject[]1-2}}"},
        {"a stray End opens a block of that name", kGame, "End\nKey = 1\nEnd\nObject A\nEnd\n",
         "[]0-5{End[]0-2{Key=1@1}; Object[A]3-4}"},
        // Real object files close blocks with "End Upgrade_Name"; taking that line for a child
        // header used to swallow every block up to the next lone "End".
        {"an End followed by words closes and keeps the words", kGame,
         "Upgrade Upgrade_Drone\n  Type = OBJECT\nEnd Upgrade_Drone ; closing\nObject Tank\n"
         "  Body = ActiveBody Tag1\n  eND\tTag1\nEND\nObject Jeep\nEnd\n",
         "[]0-9{Object[Tank]3-6{Body = ActiveBody[Tag1]4-5/Tag1}; Object[Jeep]7-8; "
         "Upgrade[Upgrade_Drone]0-2/Upgrade_Drone{Type=OBJECT@1}}"},
        {"a dialect adds comment markers and one-line directives, also on an unterminated last line", kDialect,
         "//------ armors\n#define HEALTH 100 // the base\nArmor Light // trailing\n  Armor = DEFAULT 100%// note\n"
         "  //Armor = SLASH 5%\nEnd\nObject Hero\n  #include \"..\\inc\\body.inc\" ; x\n  Body = ActiveBody Tag\n"
         "    MaxHealth = #MULTIPLY( HEALTH 2 )\n  End//Tag\nEnd\n#include last.inc",
         "[]0-12{#define[HEALTH 100]1-1; #include[last.inc]12-12; Armor[Light ]2-5{Armor=DEFAULT 100%@3}; "
         "Object[Hero]6-11{#include[\"..\\inc\\body.inc\"]7-7; Body = ActiveBody[Tag]8-10{MaxHealth=#MULTIPLY( HEALTH 2 )@9}}}"},
        {"without the dialect a comment line opens a block", kGame,
         "//------ armors\n#define HEALTH 100 // the base\nArmor Light // trailing\nEnd\nObject Hero\nEnd\n",
         "[]0-6{//------[armors]0-6{#define[HEALTH 100 // the base]1-6{Armor[Light // trailing]2-3; Object[Hero]4-5}}}"},
        {"a forced object limited to block types and to a value keyword", kLimited,
         "Color = R:0 G:0 B:0\nEnd\nEmitter Sparks\n  Color = DefaultColor\n    Color1 = R:217 G:239 B:255 0\n  End\nEnd\n"
         "FXList Flash\n  LightPulse\n    Color = R:128 G:64 B:0\n    Radius = 12\n  End\nEnd\n"
         "Tracker\n  AddEmotion = Terror_Base\n  AddEmotion = override Point_Base\n    Duration = 2500\n  End\n"
         "  AddEmotion = Taunt_Base\nEnd\n",
         "[]0-20{Color[= R:0 G:0 B:0]0-1; Emitter[Sparks]2-6{Color[= DefaultColor]3-5{Color1=R:217 G:239 B:255 0@4}}; "
         "FXList[Flash]7-12{LightPulse[]8-11{Color=R:128 G:64 B:0@9; Radius=12@10}}; "
         "Tracker[]13-19{AddEmotion=Terror_Base@14; AddEmotion=Taunt_Base@18; AddEmotion[= override Point_Base]15-17{Duration=2500@16}}}"},
        {"header lists get their marker", kGame, "Item Lists  Slots ; which\nEnd\nOther Selects Slots\nEnd\nPlain Listsless\nEnd\n",
         "[]0-6{Item[= Slots]0-1; Other[=\tSlots]2-3; Plain[= less]4-5}"},
        {"a raw text area runs to its terminator; one without an End value is a block", kGame,
         "Script Intro ; kept\n  Say = hello\nEnd\nEndScript\nNote A\n  Key = 1\nEnd\n",
         "[]0-7{Note[A]4-6{Key=1@5}; Script[ Intro ; kept\n  Say = hello\nEnd\n]0-3}"},
        {"a raw text area without its terminator runs to the end of the text", kGame,
         "Object A\nEnd\nScript\nEnd\nObject B\nEnd\n", "[]0-6{Object[A]0-1; Script[\nEnd\nObject B\nEnd\n]2-6}"},
        // The copy is made from the header, so the block's own lines follow the copied ones.
        {"Implements copies an earlier block without overwriting", nullptr,
         "Object\n  Body Specified ActiveBody\n    MaxHealth = 100\n    InitialHealth = 50\n    Turret\n      Rate = 5\n"
         "    End\n  End\n  Body Specified StructureBody Implements Modules \"Body Specified ActiveBody\" Tail\n"
         "    MaxHealth = 200\n  End\nEnd\n",
         "[]0-12{Object[]0-11{Body = ActiveBody[]1-7{InitialHealth=50@3; MaxHealth=100@2; Turret[]4-6{Rate=5@5}}; "
         "Body = StructureBody[Tail]8-10{InitialHealth=50@3; MaxHealth=100@2; MaxHealth=200@9; Turret[]-1--1{Rate=5@5}}}}"},
        {"equal names keep their text order within unsigned byte order", kGame,
         "Object B\nEnd\nObject A\nEnd\nObjects\nEnd\n\xE4rmel\nEnd\nArmor\nEnd\nobject\nEnd\n",
         "[]0-12{Armor[]8-9; Object[B]0-1; Object[A]2-3; Objects[]4-5; object[]10-11; \xE4rmel[]6-7}"},
        {"an unterminated block runs to the end of the text", kGame, "Object A\n  Key = 1\n  Last = 2",
         "[]0-3{Object[A]0-3{Key=1@1; Last=2@2}}"},
        {"a header on an unterminated last line is dropped and ends its parent", kGame, "Object A\n  Key = 1\nEnd\nObject B\n  Inner",
         "[]0-5{Object[A]0-2{Key=1@1}; Object[B]3-4}"},
        {"bytes above ASCII pass through; a line ends at a zero byte", kGame,
         "Obj\xE9t N\xFFme\n  K\xE4y = V\xE4lue\xA0\n  Z = a\0b\nEnd\n"sv,
         "[]0-4{Obj\xE9t[N\xFFme]0-3{K\xE4y=V\xE4lue\xA0@1; Z=a@2}}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Dump(Parse(c.text, c.config)), c.tree);
    }
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(CIniBlockTest, EveryLetterCaseOfEndCloses)
{
    for (const char* end : {"end ; closing", "\tEnd\r", "eNd;"})
        EXPECT_EQ(Dump(Parse("Object A\n  Key = 1\n"s + end + "\nObject B\nEnd\n")), "[]0-5{Object[A]0-2{Key=1@1}; Object[B]3-4}")
            << end;
}

TEST_F(CIniBlockTest, ImplementsWithoutATargetTellsTheUserAndGoesOn)
{
    const CIniBlock& root = Parse("Object A Implements Object\nEnd\nObject B\n  Draw Implements \"Draw Specified Missing\"\n"
                                  "  End\nEnd\n",
                                  nullptr);
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].caption, "Object") << "top-level blocks have no parent to search";
    EXPECT_EQ(prompt.shown[1].caption, "Draw = Missing");
    EXPECT_FALSE(prompt.shown[1].question);
    EXPECT_EQ(Dump(root), "[]0-6{Object[A]0-1; Object[B]2-5{Draw[]3-4}}");
}

TEST_F(CIniBlockTest, ImplementsCannotBlowUpExponentially)
{
    // Every level holds two copies of the previous one: 2^60 blocks if copied in full.
    std::string text = "Root\n  L0\n    Leaf = 1\n  End\n";
    for (int level = 1; level <= 60; ++level) {
        const std::string previous = "L" + std::to_string(level - 1);
        text += "  L" + std::to_string(level) + "\n    A Implements " + previous + "\n    End\n    B Implements " +
                previous + "\n    End\n  End\n";
    }
    const auto started = std::chrono::steady_clock::now();
    const CIniBlock& root = Parse(text + "End\n", nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_EQ(root.FindChild("Root")->GetChildCount(), 61);
    EXPECT_NE(root.FindChild("Root")->FindChild("L5")->FindChild("A")->FindChild("B"), nullptr);
}

TEST_F(CIniBlockTest, CopyFromKeepsExistingValuesAndMergesChildrenByName)
{
    const CIniBlock& source = Parse("Source S\n  A = 2\n  B = 3\n  X x\n    P = 2\n    Q = 3\n  End\n  Y\n  End\nEnd\n");
    CIniBlock target;
    target.ParseText("Target T\n  A = 1\n  X own\n    P = 1\n  End\nEnd\n");
    CIniBlock* into = const_cast<CIniBlock*>(target.FindChild("Target"));
    into->CopyFrom(*source.FindChild("Source"));
    // The merged block takes the source's header and parent; a merged child keeps its own lines, a copied one has none.
    EXPECT_EQ(Dump(*into), "Source[S]-1--1{A=1@1; B=3@2; X[x]2-4{P=1@3; Q=3@5}; Y[]-1--1}");
}

TEST_F(CIniBlockTest, FindBlockAtLineMapsHeaderValueEndAndBlankLines)
{
    const CIniBlock& root = Parse("Object Tank\n  Zeta = 1\n  Body = ActiveBody T\n    MaxHealth = 5\n\n  End\n"
                                  "  Alpha = 2\nEnd\n\n");
    const CIniBlock* tank = root.FindChild("Object");
    const CIniBlock* body = tank->FindChild("Body = ActiveBody");
    constexpr int kAny = -2;
    // (line, block, value index): values are indexed in key order; the End line belongs to the
    // enclosing block.
    const struct { int line; const CIniBlock* block; int index; } cases[] = {
        {0, tank, -1}, {1, tank, 1}, {6, tank, 0}, {2, body, kAny}, {3, body, 0},
        {4, body, -1}, {5, tank, kAny}, {7, &root, kAny}, {8, &root, kAny}};
    for (const auto& expected : cases) {
        int index = 99;
        EXPECT_EQ(root.FindBlockAtLine(expected.line, index), expected.block) << expected.line;
        if (expected.index != kAny) {
            EXPECT_EQ(index, expected.index) << expected.line;
        }
    }
    EXPECT_EQ(root.GetChild(1), nullptr);
    EXPECT_EQ(root.GetChild(-1), nullptr);
    EXPECT_EQ(root.GetValueKey(0), "");
}

TEST_F(CIniBlockTest, AMillionNestedBlocksParseAndFreeWithoutRecursion)
{
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += "B\n";
    const CIniBlock& root = Parse(text, nullptr);
    int index = 0;
    const CIniBlock* innermost = root.FindBlockAtLine(999999, index);
    EXPECT_EQ(innermost->GetStartLine(), 999999);
    int depth = 0;
    for (const CIniBlock* block = innermost; block; block = block->GetParent())
        ++depth;
    EXPECT_EQ(depth, 1000000);
    parsed.reset();
}

// Reading a real file is covered by the shipped sample files.
TEST_F(CIniBlockTest, LoadFileNeedsAReadableNonEmptyFile)
{
    samples::TempFolder folder;
    CIniBlock block;
    EXPECT_FALSE(block.LoadFile(folder / "missing.ini"));
    samples::WriteFileBytes(folder / "empty.ini", {});
    EXPECT_FALSE(block.LoadFile(folder / "empty.ini"));
}

} // namespace
