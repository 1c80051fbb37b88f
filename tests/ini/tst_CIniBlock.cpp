#include "ini/CIniBlock.h"

#include "support/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace kestrel;

namespace {

// A structure configuration written like a game block of the configuration file.
constexpr const char* kConfiguration = "Game\n"
                                       "  ForcedObjects\n"
                                       "    Body =\n"
                                       "    ConditionState =\n"
                                       "  End\n"
                                       "  ForcedValues\n"
                                       "    RemoveModule =\n"
                                       "    LODPreset =\n"
                                       "  End\n"
                                       "  ObjectsWithLists\n"
                                       "    ConditionState =\n"
                                       "  End\n"
                                       "  StringAreas\n"
                                       "    Script\n"
                                       "      End = EndScript\n"
                                       "    End\n"
                                       "    Note\n"
                                       "      Other = x\n"
                                       "    End\n"
                                       "  End\n"
                                       "End\n";

class CIniBlockTest : public ::testing::Test
{
protected:
    CIniBlockTest() { configuration.ParseText(kConfiguration); }

    StructureConfig Game() const { return StructureConfig::FromGameBlock(configuration.FindChild("Game")); }

    const CIniBlock& Parse(const std::string& text, bool withConfiguration = true)
    {
        parsed = std::make_unique<CIniBlock>(withConfiguration ? Game() : StructureConfig{}, &prompt);
        parsed->ParseText(text);
        return *parsed;
    }

    static std::string ValueText(const CIniBlock* block, const std::string& key)
    {
        const IniValue* value = block ? block->FindValue(key) : nullptr;
        return value ? value->text : "<none>";
    }

    CIniBlock configuration;
    test::FakePrompt prompt;
    std::unique_ptr<CIniBlock> parsed;
};

TEST_F(CIniBlockTest, ValueLinesSplitAtTheFirstEqualsWithOrWithoutBlanks)
{
    const CIniBlock& root = Parse("Object Tank ; a comment\r\n"
                                  "  Key=Value\r\n"
                                  "  Spaced =  two words \t\r\n"
                                  "  Noted = text ; note\r\n"
                                  "  Empty =\r\n"
                                  "  Twice = a = b\r\n"
                                  "End\r\n");
    const CIniBlock* tank = root.FindChild("Object");
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->GetRest(), "Tank ") << "header text is trimmed before the comment is cut";
    EXPECT_EQ(ValueText(tank, "Key"), "Value");
    EXPECT_EQ(ValueText(tank, "Spaced"), "two words");
    EXPECT_EQ(ValueText(tank, "Noted"), "text ") << "the blank before the comment stays";
    EXPECT_EQ(ValueText(tank, "Empty"), "");
    EXPECT_EQ(ValueText(tank, "Twice"), "a = b");
    EXPECT_EQ(tank->FindValue("Noted")->line, 3);
    EXPECT_EQ(tank->GetStartLine(), 0);
    EXPECT_EQ(tank->GetEndLine(), 6);
    EXPECT_EQ(root.GetEndLine(), 7);
}

TEST_F(CIniBlockTest, ForcedValuesNeedNoEqualsInsideABlockAndEndTheHeaderLineOnTop)
{
    const CIniBlock& root = Parse("LODPreset Low 800 1\n"
                                  "Object Tank\n"
                                  "  RemoveModule ModuleTag_05\n"
                                  "  RemoveModule\n"
                                  "End\n");
    const CIniBlock* preset = root.FindChild("LODPreset");
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->GetRest(), "Low 800 1");
    EXPECT_EQ(preset->GetStartLine(), 0);
    EXPECT_EQ(preset->GetEndLine(), 0);
    const CIniBlock* tank = root.FindChild("Object");
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->GetStartLine(), 1);
    EXPECT_EQ(tank->GetValueCount(), 2);
    EXPECT_EQ(tank->GetValue(0)->text, "ModuleTag_05");
    EXPECT_EQ(tank->GetValue(1)->text, "");
    EXPECT_EQ(tank->GetChildCount(), 0);

    const CIniBlock& plain = Parse("Object Tank\n  RemoveModule ModuleTag_05\n  End\nEnd\n", false);
    EXPECT_NE(plain.FindChild("Object")->FindChild("RemoveModule"), nullptr) << "without configuration it opens a block";
}

TEST_F(CIniBlockTest, ForcedObjectsFoldTheirClassIntoTheNameUnlessTheyKeepAList)
{
    const CIniBlock& root = Parse("Object Tank\n"
                                  "  Body = ActiveBody Tag1 ; comment\n"
                                  "    MaxHealth = 100\n"
                                  "  End\n"
                                  "  ConditionState = DAMAGED MOVING\n"
                                  "    Model = tank_d\n"
                                  "  End\n"
                                  "End\n");
    const CIniBlock* tank = root.FindChild("Object");
    const CIniBlock* body = tank->FindChild("Body = ActiveBody");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->GetRest(), "Tag1");
    EXPECT_EQ(ValueText(body, "MaxHealth"), "100");
    EXPECT_EQ(body->GetParent(), tank);
    const CIniBlock* state = tank->FindChild("ConditionState");
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->GetRest(), "= DAMAGED MOVING");

    const CIniBlock& plain = Parse("Object Tank\n  Body = ActiveBody Tag1\nEnd\n", false);
    EXPECT_EQ(ValueText(plain.FindChild("Object"), "Body"), "ActiveBody Tag1");

    const CIniBlock& described = Parse("Object\n  Body Specified ActiveBody Lists Slots\n  End\nEnd\n", false);
    const CIniBlock* module = described.FindChild("Object")->FindChild("Body = ActiveBody");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->GetRest(), "= Slots");
}

TEST_F(CIniBlockTest, EveryLetterCaseOfEndClosesButLongerWordsOpenBlocks)
{
    for (const char* end : {"END", "end ; closing", "  End  ", "\tEnd\r", "eNd;"}) {
        const CIniBlock& root = Parse(std::string("Object A\n  Key = 1\n") + end + "\nObject B\nEnd\n");
        EXPECT_EQ(root.GetChildCount(), 2) << end;
        EXPECT_EQ(root.FindChild("Object")->GetEndLine(), 2) << end;
    }
    const CIniBlock& root = Parse("Object A\n  EndObject\n  End\nEnd\n");
    EXPECT_NE(root.FindChild("Object")->FindChild("EndObject"), nullptr);

    const CIniBlock& stray = Parse("End\nKey = 1\nEnd\nObject A\nEnd\n");
    ASSERT_NE(stray.FindChild("End"), nullptr) << "a stray End opens a block of that name";
    EXPECT_EQ(ValueText(stray.FindChild("End"), "Key"), "1");
    EXPECT_NE(stray.FindChild("Object"), nullptr);
}

// Real object files close blocks with "End Upgrade_Name"; taking that line for a child header
// used to swallow every block up to the next lone "End".
TEST_F(CIniBlockTest, AnEndFollowedByWordsClosesAndKeepsTheWords)
{
    const CIniBlock& root = Parse("Upgrade Upgrade_Drone\n"
                                  "  Type = OBJECT\n"
                                  "End Upgrade_Drone ; closing\n"
                                  "Object Tank\n"
                                  "  Body = ActiveBody Tag1\n"
                                  "  eND\tTag1\n"
                                  "END\n"
                                  "Object Jeep\n"
                                  "End\n");
    ASSERT_EQ(root.GetChildCount(), 3);
    const CIniBlock* upgrade = root.FindChild("Upgrade");
    EXPECT_EQ(upgrade->GetEndLine(), 2);
    EXPECT_EQ(upgrade->GetEndRest(), "Upgrade_Drone");
    const CIniBlock* body = root.FindChild("Object")->FindChild("Body = ActiveBody");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->GetEndRest(), "Tag1");
    EXPECT_EQ(body->GetEndLine(), 5);
    EXPECT_EQ(root.FindChild("Object")->GetEndRest(), "");
    EXPECT_EQ(root.GetChild(1)->GetRest(), "Jeep");
}

// A dialect like the Battle for Middle-earth's: "//" comments and preprocessor lines.
constexpr const char* kDialect = "Dialect\n"
                                 "  ForcedObjects\n"
                                 "    Body =\n"
                                 "  End\n"
                                 "  LineComments\n"
                                 "    // =\n"
                                 "  End\n"
                                 "  Directives\n"
                                 "    #include =\n"
                                 "    #define =\n"
                                 "  End\n"
                                 "End\n";

TEST_F(CIniBlockTest, ADialectAddsCommentMarkersAndOneLineDirectives)
{
    const std::string text = "//------ armors\n"                        // 0
                             "#define HEALTH 100 // the base\n"          // 1
                             "Armor Light // trailing\n"                 // 2
                             "  Armor = DEFAULT 100%// note\n"           // 3
                             "  //Armor = SLASH 5%\n"                    // 4
                             "End\n"                                     // 5
                             "Object Hero\n"                             // 6
                             "  #include \"..\\inc\\body.inc\" ; x\n" // 7
                             "  Body = ActiveBody Tag\n"                 // 8
                             "    MaxHealth = #MULTIPLY( HEALTH 2 )\n"   // 9
                             "  End//Tag\n"                              // 10
                             "End\n"                                     // 11
                             "#include last.inc";                        // 12
    CIniBlock dialect;
    dialect.ParseText(kDialect);
    CIniBlock root(StructureConfig::FromGameBlock(dialect.FindChild("Dialect")), &prompt);
    root.ParseText(text);

    ASSERT_EQ(root.GetChildCount(), 4);
    const CIniBlock* define = root.FindChild("#define");
    ASSERT_NE(define, nullptr);
    EXPECT_EQ(define->GetRest(), "HEALTH 100");
    EXPECT_EQ(define->GetStartLine(), 1);
    EXPECT_EQ(define->GetEndLine(), 1);
    const CIniBlock* armor = root.FindChild("Armor");
    ASSERT_NE(armor, nullptr);
    EXPECT_EQ(armor->GetRest(), "Light ");
    EXPECT_EQ(armor->GetValueCount(), 1) << "a commented line is no value";
    EXPECT_EQ(ValueText(armor, "Armor"), "DEFAULT 100%");
    EXPECT_EQ(armor->GetEndLine(), 5);

    const CIniBlock* hero = root.FindChild("Object");
    ASSERT_NE(hero, nullptr);
    const CIniBlock* include = hero->FindChild("#include");
    ASSERT_NE(include, nullptr) << "a directive inside a block is a one-line child";
    EXPECT_EQ(include->GetRest(), "\"..\\inc\\body.inc\"");
    EXPECT_EQ(include->GetChildCount() + include->GetValueCount(), 0);
    const CIniBlock* body = hero->FindChild("Body = ActiveBody");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(ValueText(body, "MaxHealth"), "#MULTIPLY( HEALTH 2 )") << "macro arithmetic stays text";
    EXPECT_EQ(body->GetEndRest(), "");
    EXPECT_EQ(hero->GetEndLine(), 11);
    const CIniBlock* last = root.GetChild(1);
    EXPECT_EQ(last->GetName(), "#include");
    EXPECT_EQ(last->GetRest(), "last.inc") << "a directive on the unterminated last line is kept";

    // Without the dialect keys the same text reads as Generals reads it: the comment line opens a
    // block that swallows everything up to the first End.
    const CIniBlock& plain = Parse(text);
    EXPECT_NE(plain.FindChild("//------"), nullptr);
    EXPECT_EQ(plain.FindChild("Armor"), nullptr);
}

// One word can open a sub-block in one block type and be a plain key in another, or open one only
// when its value starts with a keyword.
TEST_F(CIniBlockTest, AForcedObjectCanBeLimitedToBlocksAndToAValueKeyword)
{
    CIniBlock game;
    game.ParseText("Game\n"
                            "  ForcedObjects\n"
                            "    Color = Emitter System\n"
                            "    AddEmotion = =OVERRIDE\n"
                            "  End\n"
                            "  ObjectsWithLists\n"
                            "    Color =\n"
                            "    AddEmotion =\n"
                            "  End\n"
                            "End\n");
    CIniBlock root(StructureConfig::FromGameBlock(game.FindChild("Game")), &prompt);
    root.ParseText("Color = R:0 G:0 B:0\n"
                   "End\n"
                   "Emitter Sparks\n"
                   "  Color = DefaultColor\n"
                   "    Color1 = R:217 G:239 B:255 0\n"
                   "  End\n"
                   "End\n"
                   "FXList Flash\n"
                   "  LightPulse\n"
                   "    Color = R:128 G:64 B:0\n"
                   "    Radius = 12\n"
                   "  End\n"
                   "End\n"
                   "Tracker\n"
                   "  AddEmotion = Terror_Base\n"
                   "  AddEmotion = override Point_Base\n"
                   "    Duration = 2500\n"
                   "  End\n"
                   "  AddEmotion = Taunt_Base\n"
                   "End\n");
    ASSERT_EQ(root.GetChildCount(), 4);
    EXPECT_EQ(root.FindChild("Color")->GetRest(), "= R:0 G:0 B:0") << "a top-level block keeps its list";
    const CIniBlock* color = root.FindChild("Emitter")->FindChild("Color");
    ASSERT_NE(color, nullptr);
    EXPECT_EQ(color->GetRest(), "= DefaultColor");
    EXPECT_EQ(ValueText(color, "Color1"), "R:217 G:239 B:255 0");
    const CIniBlock* pulse = root.FindChild("FXList")->FindChild("LightPulse");
    ASSERT_NE(pulse, nullptr);
    EXPECT_EQ(ValueText(pulse, "Color"), "R:128 G:64 B:0");
    EXPECT_EQ(ValueText(pulse, "Radius"), "12");
    const CIniBlock* tracker = root.FindChild("Tracker");
    EXPECT_EQ(tracker->GetValueCount(), 2);
    const CIniBlock* emotion = tracker->FindChild("AddEmotion");
    ASSERT_NE(emotion, nullptr);
    EXPECT_EQ(emotion->GetRest(), "= override Point_Base");
    EXPECT_EQ(ValueText(emotion, "Duration"), "2500");
}

TEST_F(CIniBlockTest, HeaderListsGetTheirMarker)
{
    const CIniBlock& root = Parse("Item Lists  Slots ; which\nEnd\nOther Selects Slots\nEnd\nPlain Listsless\nEnd\n");
    EXPECT_EQ(root.FindChild("Item")->GetRest(), "= Slots");
    EXPECT_EQ(root.FindChild("Other")->GetRest(), "=\tSlots");
    EXPECT_EQ(root.FindChild("Plain")->GetRest(), "= less");
}

TEST_F(CIniBlockTest, RawTextAreasRunToTheirTerminatorOrTheEndOfTheText)
{
    const CIniBlock& root = Parse("Script Intro ; kept\n"
                                  "  Say = hello\n"
                                  "End\n"
                                  "EndScript\n"
                                  "Note A\n"
                                  "  Key = 1\n"
                                  "End\n");
    const CIniBlock* script = root.FindChild("Script");
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->GetRest(), " Intro ; kept\n  Say = hello\nEnd\n");
    EXPECT_EQ(script->GetValueCount(), 0);
    EXPECT_EQ(script->GetStartLine(), 0);
    EXPECT_EQ(script->GetEndLine(), 3);
    const CIniBlock* note = root.FindChild("Note");
    ASSERT_NE(note, nullptr) << "an area without an End value is an ordinary block";
    EXPECT_EQ(note->GetStartLine(), 4);
    EXPECT_EQ(ValueText(note, "Key"), "1");

    const CIniBlock& open = Parse("Object A\nEnd\nScript\nEnd\nObject B\nEnd\n");
    EXPECT_EQ(open.FindChild("Script")->GetRest(), "\nEnd\nObject B\nEnd\n");
    EXPECT_EQ(open.GetChildCount(), 2);
}

TEST_F(CIniBlockTest, ImplementsCopiesAnEarlierBlockWithoutOverwriting)
{
    const CIniBlock& root = Parse("Object\n"
                                  "  Body Specified ActiveBody\n"
                                  "    MaxHealth = 100\n"
                                  "    InitialHealth = 50\n"
                                  "    Turret\n"
                                  "      Rate = 5\n"
                                  "    End\n"
                                  "  End\n"
                                  "  Body Specified StructureBody Implements Modules \"Body Specified ActiveBody\" Tail\n"
                                  "    MaxHealth = 200\n"
                                  "  End\n"
                                  "End\n",
                                  false);
    const CIniBlock* object = root.FindChild("Object");
    const CIniBlock* copy = object->FindChild("Body = StructureBody");
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(copy->GetRest(), "Tail");
    EXPECT_EQ(copy->GetStartLine(), 8);
    EXPECT_EQ(copy->GetEndLine(), 10);
    EXPECT_EQ(copy->GetParent(), object);
    EXPECT_EQ(ValueText(copy, "InitialHealth"), "50");
    EXPECT_EQ(copy->FindValue("InitialHealth")->line, 3);
    // The copy is made from the header, so the block's own lines follow the copied ones.
    ASSERT_EQ(copy->GetValueCount(), 3);
    EXPECT_EQ(copy->GetValue(1)->text, "100");
    EXPECT_EQ(copy->GetValue(2)->text, "200");
    EXPECT_EQ(copy->GetValue(2)->line, 9);
    const CIniBlock* turret = copy->FindChild("Turret");
    ASSERT_NE(turret, nullptr);
    EXPECT_EQ(turret->GetStartLine(), -1);
    EXPECT_EQ(turret->GetParent(), copy);
    EXPECT_EQ(ValueText(turret, "Rate"), "5");
}

TEST_F(CIniBlockTest, ImplementsWithoutATargetTellsTheUserAndGoesOn)
{
    const CIniBlock& root = Parse("Object A Implements Object\n"
                                  "End\n"
                                  "Object B\n"
                                  "  Draw Implements \"Draw Specified Missing\"\n"
                                  "  End\n"
                                  "End\n",
                                  false);
    ASSERT_EQ(prompt.shown.size(), 2u);
    const std::string text = "Failed to implement, no parent has parsed this yet (or doesn't have this module at all)";
    EXPECT_EQ(prompt.shown[0].text, text);
    EXPECT_EQ(prompt.shown[0].caption, "Object") << "top-level blocks have no parent to search";
    EXPECT_EQ(prompt.shown[1].caption, "Draw = Missing");
    EXPECT_FALSE(prompt.shown[1].question);
    EXPECT_EQ(root.GetChildCount(), 2);
    EXPECT_EQ(root.GetChild(0)->GetRest(), "A");
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
    text += "End\n";
    const auto started = std::chrono::steady_clock::now();
    const CIniBlock& root = Parse(text, false);
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

    EXPECT_EQ(into->GetName(), "Source");
    EXPECT_EQ(into->GetRest(), "S");
    EXPECT_EQ(into->GetStartLine(), -1);
    EXPECT_EQ(ValueText(into, "A"), "1");
    EXPECT_EQ(ValueText(into, "B"), "3");
    const CIniBlock* x = into->FindChild("X");
    EXPECT_EQ(x->GetStartLine(), 2) << "a merged child keeps its lines";
    EXPECT_EQ(x->GetParent(), into);
    EXPECT_EQ(x->GetRest(), "x");
    EXPECT_EQ(ValueText(x, "P"), "1");
    EXPECT_EQ(ValueText(x, "Q"), "3");
    const CIniBlock* y = into->FindChild("Y");
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(y->GetStartLine(), -1);
    EXPECT_EQ(y->GetParent(), into);
}

TEST_F(CIniBlockTest, FindBlockAtLineMapsHeaderValueEndAndBlankLines)
{
    const CIniBlock& root = Parse("Object Tank\n"           // 0
                                  "  Zeta = 1\n"            // 1
                                  "  Body = ActiveBody T\n" // 2
                                  "    MaxHealth = 5\n"     // 3
                                  "\n"                      // 4
                                  "  End\n"                 // 5
                                  "  Alpha = 2\n"           // 6
                                  "End\n"                   // 7
                                  "\n");                    // 8
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
}

TEST_F(CIniBlockTest, EqualNamesKeepTheirTextOrderWithinByteOrder)
{
    const CIniBlock& root = Parse("Object B\nEnd\nObject A\nEnd\nObjects\nEnd\n\xE4rmel\nEnd\nArmor\nEnd\nobject\nEnd\n");
    std::vector<std::string> order;
    for (int i = 0; i < root.GetChildCount(); ++i)
        order.push_back(root.GetChild(i)->GetName() + "|" + root.GetChild(i)->GetRest());
    EXPECT_EQ(order, (std::vector<std::string>{"Armor|", "Object|B", "Object|A", "Objects|", "object|", "\xE4rmel|"}));
    EXPECT_EQ(root.FindChild("Object")->GetRest(), "B");
    EXPECT_EQ(root.GetChild(6), nullptr);
    EXPECT_EQ(root.GetChild(-1), nullptr);
    EXPECT_EQ(root.GetValueKey(0), "");
}

TEST_F(CIniBlockTest, HeadersOnAnUnterminatedLastLineAreDropped)
{
    const CIniBlock& open = Parse("Object A\n  Key = 1\n  Last = 2");
    const CIniBlock* a = open.FindChild("Object");
    ASSERT_NE(a, nullptr) << "an unterminated block runs to the end of the text";
    EXPECT_EQ(ValueText(a, "Last"), "2");
    int index = 0;
    EXPECT_EQ(open.FindBlockAtLine(2, index), a);

    EXPECT_EQ(Parse("Object A\nEnd\nObject B").GetChildCount(), 1);
    EXPECT_EQ(Parse("Object A\nEnd\nLODPreset Low").GetChildCount(), 1);

    const CIniBlock& nested = Parse("Object A\n  Key = 1\nEnd\nObject B\n  Inner");
    ASSERT_EQ(nested.GetChildCount(), 2);
    const CIniBlock* b = nested.GetChild(1);
    EXPECT_EQ(b->GetRest(), "B");
    EXPECT_EQ(b->GetChildCount(), 0) << "the dropped child ends its parent";
}

TEST_F(CIniBlockTest, BytesAboveAsciiAndZeroBytesPassThrough)
{
    using namespace std::string_literals;
    const CIniBlock& root = Parse("Obj\xE9t N\xFFme\n  K\xE4y = V\xE4lue\xA0\n  Z = a\0b\nEnd\n"s);
    const CIniBlock* block = root.FindChild("Obj\xE9t");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->GetRest(), "N\xFFme");
    EXPECT_EQ(ValueText(block, "K\xE4y"), "V\xE4lue\xA0");
    EXPECT_EQ(ValueText(block, "Z"), "a") << "a line ends at a zero byte";
}

TEST_F(CIniBlockTest, AMillionNestedBlocksParseAndFreeWithoutRecursion)
{
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += "B\n";
    const CIniBlock& root = Parse(text, false);
    int index = 0;
    const CIniBlock* innermost = root.FindBlockAtLine(999999, index);
    EXPECT_EQ(innermost->GetStartLine(), 999999);
    int depth = 0;
    for (const CIniBlock* block = innermost; block; block = block->GetParent())
        ++depth;
    EXPECT_EQ(depth, 1000000);
    parsed.reset();
}

TEST_F(CIniBlockTest, LoadFileNeedsAReadableNonEmptyFile)
{
    test::TempFolder folder;
    CIniBlock block;
    EXPECT_FALSE(block.LoadFile(folder / "missing.ini"));
    test::WriteFileBytes(folder / "empty.ini", {});
    EXPECT_FALSE(block.LoadFile(folder / "empty.ini"));
    test::WriteFileBytes(folder / "one.ini", test::Bytes("Object A\nEnd\n"));
    EXPECT_TRUE(block.LoadFile(folder / "one.ini"));
    EXPECT_EQ(block.GetChildCount(), 1);
}

} // namespace
