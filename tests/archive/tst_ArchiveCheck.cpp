#include "archive/ArchiveCheck.h"
#include "samples/BigArchiveBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace kestrel;
using kestrel::samples::BE;
using kestrel::samples::BigArchiveBuilder;
using kestrel::samples::Put;
using kestrel::samples::TempFolder;

namespace {

/// The problems found in `builder`'s archive with `patches` written over it, cut to `length`.
std::vector<std::string> Problems(const BigArchiveBuilder& builder,
                                  const std::vector<std::pair<size_t, samples::Bytes8>>& patches = {},
                                  size_t length = SIZE_MAX)
{
    TempFolder folder;
    auto bytes = builder.Build();
    for (const auto& [at, part] : patches)
        Put(bytes, at, part);
    bytes.resize(std::min(length, bytes.size()));
    samples::WriteFileBytes(folder / "a.big", bytes);
    std::string error;
    const auto report = CheckArchive(folder / "a.big", &error);
    EXPECT_TRUE(report) << error;
    return report ? report->problems : std::vector<std::string>{"unreadable"};
}

testing::AssertionResult Mentions(const std::vector<std::string>& problems, const std::string& text)
{
    std::string all;
    for (const auto& problem : problems) {
        if (problem.find(text) != std::string::npos)
            return testing::AssertionSuccess();
        all += "\n  " + problem;
    }
    return testing::AssertionFailure() << "no problem mentions \"" << text << "\":" << all;
}

} // namespace

TEST(ArchiveCheck, SoundArchivesOfBothVariantsHaveNoProblems)
{
    BigArchiveBuilder bigf;
    bigf.Add("data\\ini\\a.ini", "abc").Add("data\\ini\\b.ini", "").Add("x.tga", std::string(1000, 'x'));
    EXPECT_TRUE(Problems(bigf).empty());
    BigArchiveBuilder big4 = bigf;
    big4.magic = "BIG4";
    EXPECT_TRUE(Problems(big4).empty());
    BigArchiveBuilder otherTool = bigf;
    otherTool.marker = std::vector<std::uint8_t>{};
    otherTool.field12 = otherTool.DataStart(); // the data start itself instead of one less
    EXPECT_TRUE(Problems(otherTool).empty());
    EXPECT_TRUE(Problems(BigArchiveBuilder{}).empty()) << "an empty archive";
}

TEST(ArchiveCheck, DuplicateNamesIgnoreCaseAndSayTheGamesUseTheLastCopy)
{
    BigArchiveBuilder builder;
    builder.Add("Data\\A.ini", "1").Add("other", "2").Add("data\\a.INI", "3");
    const auto problems = Problems(builder);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(Mentions(problems, "entries #1 #3 (the games use the last, #3)"));
}

TEST(ArchiveCheck, EntriesOutsideTheFileInsideTheTableOrOverlappingAreReported)
{
    BigArchiveBuilder builder;
    builder.Add("a", "aaaa").Add("b", "bbbb").Add("c", "cccc");
    // b's size reaches beyond the end of the file; c's offset lies inside the header.
    const auto problems = Problems(builder, {{16 + 10 + 4, BE(100)}, {16 + 20, BE(5)}});
    EXPECT_TRUE(Mentions(problems, "entry #2 \"b\""));
    EXPECT_TRUE(Mentions(problems, "lies outside the file"));
    EXPECT_TRUE(Mentions(problems, "entry #3 \"c\" starts at 5, inside the header and table"));

    const auto overlapping = Problems(builder, {{16 + 10 + 4, BE(6)}}); // b grows over c's first two bytes
    EXPECT_TRUE(Mentions(overlapping, "entry #3 \"c\" overlaps entry #2 \"b\""));
}

TEST(ArchiveCheck, TruncatedTablesLongNamesAndUnknownMagicAreReportedWithoutReadingPastTheEnd)
{
    BigArchiveBuilder builder;
    builder.Add(std::string(300, 'n'), "x").Add("b", "y");
    const auto longName = Problems(builder);
    EXPECT_TRUE(Mentions(longName, "entry #1 \"nnn"));
    EXPECT_TRUE(Mentions(longName, "has a name of 300 characters (at most 259 fit)"));

    const auto truncated = Problems(builder, {}, 16 + 8 + 100); // inside the first name
    EXPECT_TRUE(Mentions(truncated, "the table ends after 0 of the 2 entries"));
    EXPECT_TRUE(Mentions(Problems(builder, {{8, BE(0xFFFFFFFF)}}), "ends after"));

    BigArchiveBuilder unknown;
    unknown.magic = "ZIPS";
    EXPECT_TRUE(Mentions(Problems(unknown), "unknown magic \"ZIPS\""));
}

TEST(ArchiveCheck, HeaderFieldsThatDisagreeWithTheTableAreReported)
{
    BigArchiveBuilder builder;
    builder.Add("a", "aaaa");
    builder.field12 = builder.DataStart() + 1;
    builder.archiveSizeField = 7;
    const auto problems = Problems(builder);
    EXPECT_TRUE(Mentions(problems, "header field 12 says the data starts at"));
    EXPECT_TRUE(Mentions(problems, "header field 4 (archive size) is 7"));

    BigArchiveBuilder inside;
    inside.Add("a", "aaaa");
    inside.field12 = 20;
    EXPECT_TRUE(Mentions(Problems(inside), "points inside the entry table"));
}

TEST(ArchiveCheck, ShortFilesAreAProblemAndMissingFilesAnError)
{
    TempFolder folder;
    samples::WriteFileBytes(folder / "short.big", {'B', 'I', 'G', 'F'});
    const auto report = CheckArchive(folder / "short.big", nullptr);
    ASSERT_TRUE(report);
    EXPECT_TRUE(Mentions(report->problems, "fewer than the 16 of an archive header"));

    std::string error;
    EXPECT_FALSE(CheckArchive(folder / "missing.big", &error));
    EXPECT_FALSE(error.empty());
}

TEST(ArchiveCheck, UncoveredBytesCountGapsBetweenOverlappingAndClippedRanges)
{
    EXPECT_EQ(CountUncoveredBytes({}, 10, 20), 10u);
    EXPECT_EQ(CountUncoveredBytes({{12, 2}, {13, 4}, {30, 5}, {0, 11}}, 10, 20), 4u); // 11, 17, 18 and 19
    EXPECT_EQ(CountUncoveredBytes({{10, 10}}, 10, 20), 0u);
}

TEST(ArchiveCheck, ReadsEveryDamagedArchiveTheCoresFuzzerKeptWithoutFailing)
{
    const char* source = std::getenv("KESTREL_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    size_t checked = 0;
    for (const char* folder : {"fuzz/archive/corpus", "fuzz/regressions/archive"}) {
        for (const auto& item : std::filesystem::directory_iterator(std::filesystem::path(source) / folder)) {
            if (item.path().extension() != ".big")
                continue;
            std::string error;
            EXPECT_TRUE(CheckArchive(item.path(), &error)) << item.path() << ": " << error;
            ++checked;
        }
    }
    EXPECT_GT(checked, 10u);
}
