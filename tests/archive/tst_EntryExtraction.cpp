// Streaming entries out of an archive, the shared extraction loop and the shared folder walk.
#include "ArchiveTestHelpers.h"

#include "archive/EntryExtraction.h"
#include "archive/FolderTreeWalk.h"
#include "base/TemporaryFiles.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using namespace test;
namespace fs = std::filesystem;

constexpr size_t MiB = 1 << 20;

Bytes8 Pattern(size_t size)
{
    Bytes8 bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

std::vector<std::string> FilesBelow(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(folder))
        if (item.is_regular_file())
            names.push_back(item.path().lexically_relative(folder).generic_string());
    std::sort(names.begin(), names.end());
    return names;
}

class EntryExtractionTest : public ::testing::Test, protected IExtractObserver
{
protected:
    TempFolder folder;
    FakePrompt prompt;
    CBIGFile archive{prompt};
    const Bytes8 big = Pattern(2 * MiB + 5);

    // Observer script: cancel at the `cancelAt`-th progress call; stop at the first problem.
    int progressCalls = 0;
    int cancelAt = -1;
    bool stopAtProblem = false;
    std::vector<std::string> problems;

    bool Progress(const ExtractProgress&) override { return ++progressCalls != cancelAt; }
    bool Problem(int index, ExtractProblem, const fs::path&, const std::string&) override
    {
        problems.push_back(archive.GetEntryName(index));
        return !stopAtProblem;
    }

    void SetUp() override
    {
        BigArchiveBuilder builder;
        builder.Add("a.txt", "a").Add("b\\big.bin", big).Add("..\\escape.txt", "e").Add("c.txt", "c");
        ASSERT_TRUE(archive.Open(builder.WriteTo(folder / "in.big")));
    }

    ExtractSummary ExtractAll(const fs::path& target, IEntryConversion* conversion = nullptr)
    {
        const std::vector<int> all{0, 1, 2, 3};
        return ExtractEntries(archive, all, target, *this, conversion);
    }
};

TEST_F(EntryExtractionTest, LargeEntriesStreamInBoundedPiecesFromTheFileOrFromHeldBytes)
{
    for (const bool held : {false, true}) {
        if (held) {
            ASSERT_TRUE(archive.SetEntryData(1, big.data(), static_cast<std::int64_t>(big.size())));
        }
        Bytes8 joined;
        size_t pieces = 0;
        EXPECT_EQ(archive.ReadEntryPieces(1, [&](std::span<const std::uint8_t> piece) {
            EXPECT_LE(piece.size(), held ? big.size() : MiB);
            joined.insert(joined.end(), piece.begin(), piece.end());
            return ++pieces > 0;
        }), CBIGFile::PieceRead::Read);
        EXPECT_EQ(joined, big);
        EXPECT_EQ(pieces, held ? 1u : 3u);
    }
    EXPECT_EQ(archive.ReadEntryPieces(1, [](std::span<const std::uint8_t>) { return false; }),
              CBIGFile::PieceRead::Stopped);
}

TEST_F(EntryExtractionTest, ExtractsInOrderListsRefusedNamesAndStopsOrCancelsWhenTheObserverSays)
{
    const ExtractSummary summary = ExtractAll(folder / "out");
    EXPECT_EQ(summary.filesWritten, 3u);
    EXPECT_FALSE(summary.cancelled || summary.stopped);
    EXPECT_EQ(problems, std::vector<std::string>{"..\\escape.txt"});
    EXPECT_EQ(FilesBelow(folder / "out"), (std::vector<std::string>{"a.txt", "b/big.bin", "c.txt"}));
    EXPECT_EQ(ReadFileBytes(folder / "out" / "b" / "big.bin"), big);
    EXPECT_FALSE(fs::exists(folder / "escape.txt"));

    stopAtProblem = true;
    const ExtractSummary stopped = ExtractAll(folder / "stopped");
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(FilesBelow(folder / "stopped"), (std::vector<std::string>{"a.txt", "b/big.bin"}));

    // Cancelling inside a large entry leaves no part of it behind. Calls: before a.txt, before
    // big.bin, between its first and second piece.
    progressCalls = 0;
    cancelAt = 3;
    const ExtractSummary cancelled = ExtractAll(folder / "cancelled");
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.filesWritten, 1u);
    EXPECT_EQ(FilesBelow(folder / "cancelled"), std::vector<std::string>{"a.txt"}) << "no temporary file stays either";
}

TEST_F(EntryExtractionTest, ConvertedEntriesGetTheirSuffixAndFailedConversionsAreProblems)
{
    struct Upper : IEntryConversion
    {
        std::optional<std::string> SuffixFor(std::string_view name) const override
        {
            return name.ends_with(".txt") ? std::optional<std::string>(".up") : std::nullopt;
        }
        bool Convert(int index, Bytes8& bytes, std::string& error) override
        {
            if (index == 3) {
                error = "no";
                return false;
            }
            bytes = Bytes("A");
            return true;
        }
    } upper;
    EXPECT_EQ(ExtractAll(folder / "out", &upper).filesWritten, 2u);
    EXPECT_EQ(problems, (std::vector<std::string>{"..\\escape.txt", "c.txt"}));
    EXPECT_EQ(FilesBelow(folder / "out"), (std::vector<std::string>{"a.txt.up", "b/big.bin"}));
    EXPECT_EQ(ReadFileBytes(folder / "out" / "a.txt.up"), Bytes("A"));
}

/// Records a walk as "name" for files, "-name" for skipped items, "<" and ">" for folders.
struct WalkLog : IFolderTreeVisitor
{
    std::vector<std::string> events;
    std::string skipAfter; // the rest of this file's folder is skipped
    std::string stopAt;
    std::string leave; // an item name passed over silently

    bool Leaves(const std::string&, const std::string& itemName) const override { return itemName == leave; }
    Next File(const fs::directory_entry&, const std::string& name) override
    {
        events.push_back(name);
        return name == stopAt ? Next::Stop : name == skipAfter ? Next::SkipRestOfFolder : Next::Continue;
    }
    void EnterFolder(const fs::path&) override { events.emplace_back("<"); }
    void LeaveFolder(const fs::path&) override { events.emplace_back(">"); }
    void Skipped(const fs::path& item, Skip) override { events.push_back("-" + item.filename().string()); }
    void Unreadable(const fs::path& item, const std::string&) override { events.push_back("!" + item.string()); }
};

TEST(FolderTreeWalk, VisitsInByteOrderOfNamesAndNeverFollowsLinksToFolders)
{
    TempFolder folder;
    for (const char* file : {"data/b.ini", "data/A.ini", "data/sub/x.ini", "data/sub/y.ini", "data/z.ini"})
        WriteFileBytes(folder / file, Bytes("1"));
    fs::create_directory_symlink(folder / "data" / "sub", folder / "data" / "link");
    // A save in progress (or killed) in the folder must never be picked up.
    WriteFileBytes(NewTemporaryPath(folder / "data"), Bytes("half an archive"));

    WalkLog all;
    EXPECT_TRUE(WalkFolderTree(folder / "data", "data", all));
    EXPECT_EQ(all.events, (std::vector<std::string>{"<", "data\\A.ini", "data\\b.ini", "-link", "<", "data\\sub\\x.ini",
                                                    "data\\sub\\y.ini", ">", "data\\z.ini", ">"}));
    EXPECT_EQ(CountFilesInTree(folder / "data"), 5u);

    for (const bool skip : {true, false}) {
        WalkLog log;
        (skip ? log.skipAfter : log.leave) = skip ? "sub\\x.ini" : "sub";
        EXPECT_TRUE(WalkFolderTree(folder / "data", "", log));
        EXPECT_EQ(log.events, skip ? std::vector<std::string>({"<", "A.ini", "b.ini", "-link", "<", "sub\\x.ini", ">", "z.ini", ">"})
                                   : std::vector<std::string>({"<", "A.ini", "b.ini", "-link", "z.ini", ">"}));
    }

    WalkLog stopping;
    stopping.stopAt = "sub\\x.ini";
    EXPECT_FALSE(WalkFolderTree(folder / "data", "", stopping));
    EXPECT_EQ(stopping.events.back(), ">") << "every entered folder is left";
    EXPECT_EQ(std::count(stopping.events.begin(), stopping.events.end(), "z.ini"), 0);
}

} // namespace
} // namespace kestrel
