#include "strings/StringLabelReference.h"

#include "archive/CBIGFile.h"
#include "strings/CsfTestTables.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct LineCase
{
    std::string_view line;
    std::optional<std::size_t> column;
    std::optional<std::string_view> label;
};

TEST(StringLabelReference, FindsTheLabelALineNamesAndNothingThatOnlyLooksLikeOne)
{
    const LineCase cases[] = {
        {"  DisplayName = OBJECT:Humvee", std::nullopt, "OBJECT:Humvee"},
        {"  DisplayName = OBJECT:Humvee ; the jeep", 27, "OBJECT:Humvee"},
        {"  TextLabel = \"CONTROLBAR:Build-Tank.2\"", std::nullopt, "CONTROLBAR:Build-Tank.2"},
        {"  Description = Humvee", std::nullopt, "Humvee"},          // the key says it is a label
        {"  UnitNames1 = MAP:Town", std::nullopt, "MAP:Town"},
        {"  Title = GUI:First GUI:Second", 22, "GUI:Second"},       // the caret picks among several
        {"  Title = GUI:First GUI:Second", 3, "GUI:First"},         // caret on the key: the line's first
        {"  Title = GUI:First GUI:Second", 19, "GUI:First"},        // just behind a label
        {"  ; DisplayName = OBJECT:Humvee", std::nullopt, std::nullopt},
        {"  Body = A // DisplayName = OBJECT:Humvee", std::nullopt, std::nullopt},
        {"  Behavior = SlowDeathBehavior ModuleTag_01", std::nullopt, std::nullopt},
        {"  Offset = X:10 Y:-5.5 Z:0", std::nullopt, std::nullopt},
        {"  Color = R:255 G:128 B:0", std::nullopt, std::nullopt},
        {"  Time = 1:30", std::nullopt, std::nullopt},
        {"  DisplayName = 12", std::nullopt, std::nullopt},
        {"  OBJECT:Humvee = 1", std::nullopt, std::nullopt},           // a key is never the label
        {"  Weapon = PRIMARY GattlingGun", std::nullopt, std::nullopt},
        {"  Description  ", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const LineCase& c : cases) {
        const auto found = LabelInIniLine(c.line, c.column);
        ASSERT_EQ(found.has_value(), c.label.has_value()) << c.line;
        if (found) {
            EXPECT_EQ(found->label, *c.label) << c.line;
            EXPECT_EQ(c.line.substr(found->begin, found->end - found->begin), *c.label) << c.line;
        }
    }
    EXPECT_FALSE(IsLabelKey("UnitNames"));
    EXPECT_TRUE(IsLabelKey("descriptlabel"));
}

class LabelLookupTest : public ::testing::Test
{
protected:
    static void AddTable(CBIGFile& archive, const std::string& entry, const std::vector<test::TestLabel>& labels)
    {
        const test::Bytes8 bytes = test::CsfBytes(labels);
        ASSERT_TRUE(archive.AddEntryBytes(entry, std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    }
    std::optional<LabelLocation> Find(std::string_view label)
    {
        CBIGFile* archives[] = {&current, &other};
        return FindLabelInArchives(archives, label);
    }

    test::FakePrompt prompt;
    CBIGFile current{prompt};
    CBIGFile other{prompt};
};

TEST_F(LabelLookupTest, SearchesTheCurrentArchiveFirstThenTheOthersIgnoringCase)
{
    AddTable(current, "data\\b.csf", {{"GUI:Shared", {{u"current b", std::nullopt}}}});
    AddTable(current, "data\\a.csf", {{"gui:shared", {{u"current a", std::nullopt}}}, {"GUI:Empty", {}}});
    ASSERT_TRUE(current.AddEntryBytes("data\\c.ini", {'O', 'B', 'J', 'E', 'C', 'T', ':', 'X'}));
    AddTable(other, "Data\\English\\Generals.CSF", {{"OBJECT:Humvee", {{u"Humvee", std::nullopt}, {u"Jeep", "speech"}}}});

    const auto shared = Find("Gui:SHARED");
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->archive, 0u);
    EXPECT_EQ(shared->entryName, "data\\a.csf"); // first in table order, not in the order added
    EXPECT_EQ(shared->label.strings.at(0).value, u"current a");

    const auto humvee = Find("object:HUMVEE");
    ASSERT_TRUE(humvee);
    EXPECT_EQ(humvee->archive, 1u);
    EXPECT_EQ(humvee->entry, 0);
    EXPECT_EQ(humvee->label.name, "OBJECT:Humvee");
    EXPECT_EQ(humvee->label.strings.size(), 2u);

    EXPECT_TRUE(Find("GUI:Empty"));
    EXPECT_FALSE(Find("OBJECT:X")); // only string tables are searched
    EXPECT_FALSE(Find("OBJECT:Humvee2"));
}

} // namespace
} // namespace kestrel
