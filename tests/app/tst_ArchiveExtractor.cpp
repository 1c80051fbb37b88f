// Extract All without windows: folders from entry names, names that would leave the folder,
// a file that cannot be written, cancelling.
#include "ScriptedDialogs.h"

#include "app/ArchiveExtractor.h"
#include "archive/CBIGFile.h"
#include "support/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;

class ArchiveExtractorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::BigArchiveBuilder builder;
        builder.Add("data/ini/x.ini", "x")
            .Add("..\\evil.txt", "evil")
            .Add("\\abs.txt", "abs")
            .Add("C:\\drive.txt", "drive")
            .Add("art\\t.tga", "t");
        ASSERT_TRUE(archive.Open(builder.WriteTo(folder / "test.big")));
    }

    test::TempFolder folder;
    test::FakePrompt prompt;
    test::RecordingProgress progress;
    CBIGFile archive{prompt};
};

TEST_F(ArchiveExtractorTest, WritesEntriesIntoFoldersAndRefusesNamesThatWouldLeaveTheFolder)
{
    const auto out = folder / "out";
    std::filesystem::create_directories(out);
    ArchiveExtractor extractor(archive, progress);

    EXPECT_TRUE(extractor.Run(out));

    EXPECT_EQ(ReadFileBytes(out / "data" / "ini" / "x.ini"), Bytes("x"));
    EXPECT_EQ(ReadFileBytes(out / "art" / "t.tga"), Bytes("t"));
    EXPECT_FALSE(std::filesystem::exists(folder / "evil.txt"));
    EXPECT_EQ(extractor.FilesWritten(), 2u);
    ASSERT_EQ(extractor.Skipped().Count(), 3u);
    const std::string report = extractor.Report();
    EXPECT_EQ(report.rfind("These entries were not extracted:", 0), 0u);
    for (const char* name : {"..\\evil.txt: ", "\\abs.txt: ", "C:\\drive.txt: "})
        EXPECT_NE(report.find(name), std::string::npos) << name;
    EXPECT_EQ(progress.lastDone, progress.lastTotal);
}

TEST_F(ArchiveExtractorTest, AFolderThatCannotBeMadeStopsTheWorkAndIsNamed)
{
    const auto out = folder / "out";
    // A file where the folder "data" would have to be.
    test::WriteFileBytes(out / "data", Bytes("in the way"));
    ArchiveExtractor extractor(archive, progress);

    EXPECT_FALSE(extractor.Run(out));

    EXPECT_EQ(extractor.FilesWritten(), 0u);
    EXPECT_EQ(extractor.Report().rfind("Could not create the folder " + (out / "data" / "ini").string(), 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(out / "art"));
}

TEST_F(ArchiveExtractorTest, CancellingKeepsTheFilesWrittenAndSaysNothing)
{
    const auto out = folder / "out";
    progress.stopAfter = 1;
    ArchiveExtractor extractor(archive, progress);

    EXPECT_FALSE(extractor.Run(out));

    EXPECT_TRUE(extractor.Cancelled());
    EXPECT_EQ(ReadFileBytes(out / "data" / "ini" / "x.ini"), Bytes("x"));
    EXPECT_FALSE(std::filesystem::exists(out / "art"));
    EXPECT_EQ(extractor.Report().find("Could not"), std::string::npos);
}

} // namespace
} // namespace kestrel
