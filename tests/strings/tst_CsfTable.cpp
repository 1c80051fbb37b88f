#include "strings/CsfTable.h"

#include "strings/CsfMerge.h"
#include "strings/CsfTestTables.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using samples::Bytes8;

TEST(CsfTable, ReadsEveryLabelAndWritesTheSameBytesBack)
{
    const Bytes8 bytes = test::CsfBytes(test::SampleLabels, 6);
    const CsfReadResult read = ReadCsf(bytes);
    ASSERT_TRUE(read.complete) << read.problem;
    EXPECT_TRUE(read.notes.empty());
    EXPECT_EQ(read.stoppedAt, bytes.size());
    EXPECT_EQ(read.table.language, 6u);
    std::vector<CsfLabel> expected;
    for (const auto& label : test::SampleLabels) {
        expected.push_back({label.name, {}});
        for (const auto& string : label.strings)
            expected.back().strings.push_back({string.value, string.extra});
    }
    EXPECT_TRUE(read.table.labels == expected);
    EXPECT_EQ(WriteCsf(read.table), bytes);
    ASSERT_NE(read.table.FindLabel("object:HUMVEE"), nullptr);
    EXPECT_EQ(read.table.FindLabel("object:HUMVEE")->name, "OBJECT:Humvee");
}

TEST(CsfTable, DamagedTablesReadAsFarAsTheyGoAndSayWhereTheyStopped)
{
    const Bytes8 good = test::CsfBytes(test::SampleLabels);
    const Bytes8 twoLabels = test::CsfBytes({test::SampleLabels[0], test::SampleLabels[1]});
    const size_t secondLabel = test::CsfBytes({test::SampleLabels[0]}).size();
    struct Case
    {
        const char* name;
        Bytes8 bytes;
        bool complete;
        size_t labels;
        size_t stoppedAt;
        const char* says;
    };
    Bytes8 countPastEnd = twoLabels;
    samples::Put(countPastEnd, 8, samples::LE(1000));
    Bytes8 badMarker = twoLabels;
    samples::Put(badMarker, secondLabel, samples::Bytes(" LBX"));
    Bytes8 hugeValue = twoLabels;
    samples::Put(hugeValue, secondLabel + 12 + 9 + 4, samples::LE(0xFFFFFFFF));
    Bytes8 wrongStringCount = twoLabels;
    samples::Put(wrongStringCount, 12, samples::LE(7));
    const Case cases[] = {
        {"not a table", samples::Bytes("BIGF and more bytes than a header"), false, 0, 0, "FSC"},
        {"header cut short", Bytes8(good.begin(), good.begin() + 20), false, 0, 0, "FSC"},
        {"label count past the end", countPastEnd, false, 2, twoLabels.size(), "label 3 of 1000: the table ends early"},
        {"bad label marker", badMarker, false, 1, secondLabel, "label 2 of 2: no \" LBL\""},
        {"value longer than the table", hugeValue, false, 2, secondLabel + 12 + 9, "ends inside the value"},
        // The second label keeps its first, complete string.
        {"cut inside an extra value", Bytes8(twoLabels.begin(), twoLabels.end() - 3), false, 2,
         twoLabels.size() - 14 - 4 - 2 * 18 - 8, "ends inside the extra value"},
        {"string count that does not match", wrongStringCount, true, 2, twoLabels.size(), "7 strings"},
        {"bytes after the last label", samples::Cat({twoLabels, samples::Bytes("junk")}), true, 2, twoLabels.size(),
         "4 bytes follow"},
    };
    for (const auto& c : cases) {
        const CsfReadResult read = ReadCsf(c.bytes);
        EXPECT_EQ(read.complete, c.complete) << c.name;
        EXPECT_EQ(read.table.labels.size(), c.labels) << c.name;
        EXPECT_EQ(read.stoppedAt, c.stoppedAt) << c.name;
        const std::string said = read.problem + (read.notes.empty() ? "" : read.notes[0]);
        EXPECT_NE(said.find(c.says), std::string::npos) << c.name << ": " << said;
    }
    const CsfReadResult cut = ReadCsf(Bytes8(twoLabels.begin(), twoLabels.end() - 3));
    ASSERT_EQ(cut.table.labels.size(), 2u);
    EXPECT_EQ(cut.table.labels[1].strings.size(), 1u);
}

TEST(CsfTable, ImportReplacesOrMergesLabelsAndKeepsTheHeader)
{
    CsfTable table = ReadCsf(test::CsfBytes(test::SampleLabels, 2)).table;
    CsfTable incoming;
    incoming.language = 9;
    incoming.labels = {{"object:humvee", {{u"Hummer", std::nullopt}}}, {"NEW:Label", {{u"new", "x"}}}};

    CsfTable merged = table;
    const CsfImportCounts mergedCounts = ImportLabels(merged, incoming, CsfImportMode::Merge);
    EXPECT_EQ(mergedCounts.replaced, 1u);
    EXPECT_EQ(mergedCounts.added, 1u);
    ASSERT_EQ(merged.labels.size(), table.labels.size() + 1);
    EXPECT_EQ(merged.labels[0].name, "OBJECT:Humvee"); // the table's spelling stays
    EXPECT_TRUE(merged.labels[0].strings[0].value == u"Hummer");
    EXPECT_EQ(merged.labels.back(), incoming.labels[1]);
    EXPECT_EQ(merged.language, 2u);

    const CsfImportCounts replacedCounts = ImportLabels(table, incoming, CsfImportMode::Replace);
    EXPECT_EQ(replacedCounts.replaced, 1u);
    EXPECT_EQ(replacedCounts.removed, test::SampleLabels.size() - 1);
    EXPECT_EQ(table.labels, incoming.labels);
    EXPECT_EQ(table.language, 2u);
}

} // namespace
} // namespace kestrel
