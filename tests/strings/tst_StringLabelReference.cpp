#include "strings/StringLabelReference.h"

#include "archive/CBIGFile.h"
#include "strings/CsfTestTables.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(StringLabelReference, FindsTheLabelALineNamesAndNothingThatOnlyLooksLikeOne)
{
    constexpr std::size_t None = std::string::npos; // no caret column
    const std::tuple<std::string_view, std::size_t, std::string_view> cases[] = {
        {"  DisplayName = OBJECT:Humvee ; the jeep", 27, "OBJECT:Humvee"},
        {"  TextLabel = \"CONTROLBAR:Build-Tank.2\"", None, "CONTROLBAR:Build-Tank.2"},
        {"  UnitNames1 = Humvee", None, "Humvee"},            // the key says it is a label
        {"  Title = GUI:First GUI:Second", 22, "GUI:Second"}, // the caret picks among several
        {"  Title = GUI:First GUI:Second", 19, "GUI:First"},  // just behind one
        {"  Title = GUI:First GUI:Second", 3, "GUI:First"},   // on the key: the line's first
        {"  ; DisplayName = OBJECT:Humvee", None, ""},
        {"  Body = A // DisplayName = OBJECT:Humvee", None, ""},
        {"  Behavior = SlowDeathBehavior ModuleTag_01", None, ""},
        {"  Offset = X:10 Y:-5.5 Z:0 ColorRGB = R:255", None, ""},
        {"  DisplayName = 12", None, ""},
        {"  OBJECT:Humvee = 1", None, ""},
    };
    for (const auto& [line, column, label] : cases) {
        const auto found = LabelInIniLine(line, column == None ? std::nullopt : std::optional(column));
        EXPECT_EQ(found ? line.substr(found->begin, found->end - found->begin) : "", label) << line;
        EXPECT_EQ(found ? found->label : "", label) << line;
    }
}

TEST(StringLabelReference, SearchesTheCurrentArchiveFirstThenTheOthersIgnoringCase)
{
    test::FakePrompt prompt;
    CBIGFile current(prompt), other(prompt);
    const auto add = [](CBIGFile& archive, std::string_view entry, const std::vector<test::TestLabel>& labels) {
        const test::Bytes8 bytes = test::CsfBytes(labels);
        ASSERT_TRUE(archive.AddEntryBytes(entry, std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    };
    add(current, "data\\b.csf", {{"GUI:Shared", {}}});
    add(current, "data\\a.csf", {{"gui:shared", {{u"a", std::nullopt}}}});
    add(other, "Data\\Generals.CSF", {{"OBJECT:Humvee", {}}, {"GUI:Shared", {}}});
    CBIGFile* archives[] = {&current, &other};
    using Where = std::tuple<std::size_t, std::string, std::string>; // archive, entry, label as stored
    const auto at = [&archives](std::string_view label) {
        const auto found = FindLabelInArchives(archives, label);
        return found ? Where{found->archive, found->entryName, found->label.name} : Where{};
    };
    EXPECT_EQ(at("Gui:SHARED"), (Where{0, "data\\a.csf", "gui:shared"})); // table order, not the order added
    EXPECT_EQ(at("object:HUMVEE"), (Where{1, "Data\\Generals.CSF", "OBJECT:Humvee"}));
    EXPECT_EQ(at("OBJECT:Humvee2"), (Where{}));
}

} // namespace
} // namespace kestrel
