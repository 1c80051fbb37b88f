#include "archive/CBIGFile.h"

#include "ArchiveTestHelpers.h"
#include "support/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

#include <random>

using namespace kestrel;
using namespace kestrel::test;
using Bytes8 = std::vector<std::uint8_t>;

namespace {

void PutBE(Bytes8& bytes, size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

void PutLE(Bytes8& bytes, size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Put(Bytes8& bytes, size_t at, const std::string& text)
{
    if (bytes.size() < at + text.size())
        bytes.resize(at + text.size());
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

/// Three entries; records at 16, 43 and 71, table length 85, data start 93.
BigArchiveBuilder ThreeEntries()
{
    BigArchiveBuilder builder;
    builder.Add("art\\textures\\a.tga", "AAAA").Add("data\\ini\\object.ini", "Object X\nEnd\n").Add("z.txt", "zz");
    return builder;
}

constexpr size_t Record0 = 16, Record1 = 43, Record2 = 71, TableLength = 85;

class SaveInPlaceTest : public ::testing::Test
{
protected:
    TempFolder folder;
    FakePrompt prompt;
    CBIGFile archive{prompt};
    std::filesystem::path path = folder / "mod.big";

    Bytes8 Open(const BigArchiveBuilder& builder)
    {
        builder.WriteTo(path);
        EXPECT_TRUE(archive.Open(path));
        return builder.Build();
    }
    void Replace(int index, const std::string& text)
    {
        ASSERT_TRUE(archive.SetEntryData(index, Bytes(text).data(), static_cast<std::int64_t>(text.size())));
    }
    void Save()
    {
        ASSERT_TRUE(archive.SaveInPlace()) << archive.LastError();
    }
};

} // namespace

TEST_F(SaveInPlaceTest, AShrunkEntryKeepsItsOffsetAndTheFileNeverShrinks)
{
    Bytes8 expected = Open(ThreeEntries());
    const std::uint32_t dataStart = TableLength + 8;
    Replace(1, "tiny");
    Save();
    PutLE(expected, 4, dataStart + 4 + 4 + 2);
    PutBE(expected, Record1 + 4, 4);
    Put(expected, dataStart + 4, "tiny");
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_FALSE(archive.GetEntry(1)->modified);
    EXPECT_EQ(archive.GetEntry(1)->storedSize, 4u);
}

TEST_F(SaveInPlaceTest, AGrownEntryMovesBehindTheFileUnlessNothingStartsWhereItWouldGrow)
{
    // The last entry grows where it stands, extending the file.
    Bytes8 expected = Open(ThreeEntries());
    const std::uint32_t dataStart = TableLength + 8, length = dataStart + 19;
    Replace(2, "zzzzzz");
    Save();
    PutLE(expected, 4, dataStart + 4 + 13 + 6);
    PutBE(expected, Record2 + 4, 6);
    Put(expected, length - 2, "zzzzzz");
    EXPECT_EQ(ReadFileBytes(path), expected);

    // The first entry would grow over the second, so it moves to the end; then the last entry
    // would grow over the first's new place, so it moves behind it.
    expected = Open(ThreeEntries());
    Replace(0, "0123456789");
    Replace(2, "zzzzzz");
    Save();
    PutLE(expected, 4, dataStart + 10 + 13 + 6);
    PutBE(expected, Record0, length);
    PutBE(expected, Record0 + 4, 10);
    PutBE(expected, Record2, length + 10);
    PutBE(expected, Record2 + 4, 6);
    Put(expected, length, "0123456789zzzzzz");
    EXPECT_EQ(ReadFileBytes(path), expected);

    CBIGFile reopened(prompt);
    ASSERT_TRUE(reopened.Open(path));
    EXPECT_EQ(Contents(reopened), Contents(archive));
}

TEST_F(SaveInPlaceTest, ALargerStoredDataStartIsKeptAndSteppedDownByOneEachSave)
{
    BigArchiveBuilder builder = ThreeEntries();
    builder.gapBeforeData = 3; // field 12 = table need + 2
    Bytes8 expected = Open(builder);
    const std::uint32_t need = TableLength + 8;
    for (std::uint32_t field12 : {need + 1, need, need - 1, need - 1}) {
        Save();
        PutBE(expected, 12, field12);
        PutLE(expected, 4, field12 + 1 + 19);
        EXPECT_EQ(ReadFileBytes(path), expected) << "entries stay where they are";
        if (field12 == need) {
            ASSERT_TRUE(archive.Open(path)); // the value read from the file gives the same result
        }
    }
    ASSERT_TRUE(archive.SaveAs(path));
    EXPECT_EQ(ReadFileBytes(path), ThreeEntries().Build()) << "a whole save uses the table's own need";
}

TEST_F(SaveInPlaceTest, SwitchingToBIG4GrowsTheMarkerAndMovesTheFirstEntryToTheEnd)
{
    Bytes8 expected = Open(ThreeEntries());
    const std::uint32_t oldStart = TableLength + 8, length = oldStart + 19;
    archive.SetFormat(BIGFormat_BIG4);
    Save();
    Put(expected, 0, "BIG4");
    PutLE(expected, 4, oldStart + 1 + 19);
    PutBE(expected, 12, oldStart);
    PutBE(expected, Record0, length);
    Put(expected, TableLength, std::string("L253\x15\x05\0\0\0", 9));
    Put(expected, length, "AAAA");
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST_F(SaveInPlaceTest, AnUnknownMagicIsWrittenBackWithoutTouchingTheMarkerRoom)
{
    BigArchiveBuilder builder = ThreeEntries();
    builder.magic = "BIGX";
    builder.marker = Bytes("JUNKJUNK");
    prompt.Answer({true});
    Bytes8 expected = Open(builder);
    Replace(1, "Object Y\nEnd\n");
    Save();
    Put(expected, TableLength + 8 + 4, "Object Y\nEnd\n");
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST_F(SaveInPlaceTest, ReplacingOneEntryWritesOnlyTheHeaderTableAndThatEntry)
{
    Open(ThreeEntries());
    std::uint64_t total = 0;
    archive.SetProgressObserver([&](std::uint64_t, std::uint64_t all) { total = all; });
    Replace(1, "Object Y\nEnd\n");
    Save();
    EXPECT_EQ(total, TableLength + 8 + 13);
}

TEST_F(SaveInPlaceTest, EntriesTheGrowingTableWouldCoverMoveAndAddedEntriesAreAppended)
{
    Bytes8 original = Open(ThreeEntries());
    // The new record needs 14 bytes, so the first two entries' bytes lie under the new table.
    ASSERT_TRUE(archive.AddEntryBytes("b.tga", Bytes("new")));
    const auto contents = Contents(archive);
    Save();
    EXPECT_EQ(ReadFileBytes(path).size(), original.size() + 4 + 3 + 13);
    EXPECT_EQ(archive.GetEntry(0)->storedOffset, original.size());
    // The last entry lies beyond the grown table, so it kept its place and bytes.
    EXPECT_EQ(archive.GetEntry(3)->storedOffset, TableLength + 8 + 17);
    CBIGFile reopened(prompt);
    ASSERT_TRUE(reopened.Open(path));
    EXPECT_EQ(Contents(reopened), contents);
}

TEST_F(SaveInPlaceTest, AnEmptyOrTinyFileBecomesAValidArchive)
{
    for (const Bytes8& start : {Bytes8{}, BigArchiveBuilder().Build()}) {
        WriteFileBytes(path, start);
        ASSERT_TRUE(archive.Open(path));
        for (const char* name : {"data\\ini\\a.ini", "data\\ini\\b.ini", "art\\c.tga"})
            ASSERT_TRUE(archive.AddEntryBytes(name, Bytes(std::string(name) + " bytes")));
        const auto contents = Contents(archive);
        Save();
        CBIGFile reopened(prompt);
        ASSERT_TRUE(reopened.Open(path));
        EXPECT_EQ(Contents(reopened), contents) << "appended bytes must not lie under the new table";
    }
}

TEST_F(SaveInPlaceTest, AnEntryThatSharesItsBytesWithAnotherMovesInsteadOfOverwritingThem)
{
    BigArchiveBuilder builder = ThreeEntries();
    Bytes8 bytes = builder.Build();
    PutBE(bytes, Record1, TableLength + 8); // the second record points at the first one's bytes
    PutBE(bytes, Record1 + 4, 4);
    WriteFileBytes(path, bytes);
    ASSERT_TRUE(archive.Open(path));
    Replace(0, "BBBB");
    Save();
    CBIGFile reopened(prompt);
    ASSERT_TRUE(reopened.Open(path));
    EXPECT_EQ(reopened.GetEntryBytes(0), Bytes("BBBB"));
    EXPECT_EQ(reopened.GetEntryBytes(1), Bytes("AAAA"));
}

TEST_F(SaveInPlaceTest, WithoutAFileOrWithAFullDiskNothingIsClaimedAsSaved)
{
    CBIGFile fresh(prompt);
    ASSERT_TRUE(fresh.AddEntryBytes("a", Bytes("1")));
    EXPECT_EQ(fresh.SaveInPlace(), 0);
    EXPECT_NE(fresh.LastError().find("Save As"), std::string::npos) << fresh.LastError();

    const Bytes8 original = Open(ThreeEntries());
    Replace(0, std::string(100000, 'g'));
    Replace(1, "Object Y\nEnd\n");
    const BIGEntry before = *archive.GetEntry(0);
    {
        ScopedFileSizeLimit diskFull(original.size() + 1000);
        EXPECT_EQ(archive.SaveInPlace(), 0);
    }
    EXPECT_NE(archive.LastError().find("mod.big"), std::string::npos) << archive.LastError();
    EXPECT_EQ(archive.GetEntry(0)->storedOffset, before.storedOffset);
    EXPECT_EQ(archive.GetEntry(0)->offset, before.offset);
    EXPECT_TRUE(archive.GetEntry(0)->modified);
    const Bytes8 afterFailure = ReadFileBytes(path);
    EXPECT_EQ(Bytes8(afterFailure.begin(), afterFailure.begin() + static_cast<std::ptrdiff_t>(original.size())),
              original)
        << "the failure came while appending, before anything inside the old file was touched";

    const auto contents = Contents(archive);
    Save();
    CBIGFile reopened(prompt);
    ASSERT_TRUE(reopened.Open(path));
    EXPECT_EQ(Contents(reopened), contents);
}

TEST_F(SaveInPlaceTest, RandomEditsSurviveEverySaveAndReopen)
{
    Open(ThreeEntries());
    std::mt19937 random(2024);
    const auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    std::uint64_t length = std::filesystem::file_size(path);
    for (int round = 0; round < 40; ++round) {
        for (int edit = 0; edit < 4; ++edit) {
            const int count = archive.GetEntryCount();
            switch (pick(6)) {
            case 0:
            case 1:
                if (count > 0)
                    Replace(pick(count), std::string(static_cast<size_t>(pick(40)), static_cast<char>('a' + pick(26))));
                break;
            case 2:
                ASSERT_TRUE(archive.AddEntryBytes("dir\\f" + std::to_string(pick(30)), Bytes(std::to_string(round))));
                break;
            case 3:
                if (count > 1) {
                    ASSERT_TRUE(archive.DeleteEntry(pick(count)));
                }
                break;
            case 4:
                if (count > 0) {
                    ASSERT_TRUE(archive.RenameEntry(pick(count), "renamed\\" + std::to_string(pick(1000))));
                }
                break;
            default:
                archive.SetFormat(pick(2));
            }
        }
        const auto contents = Contents(archive);
        Save();
        EXPECT_GE(std::filesystem::file_size(path), length);
        length = std::filesystem::file_size(path);
        if (round % 5 == 0) {
            ASSERT_TRUE(archive.Open(path));
        }
        CBIGFile reopened(prompt);
        ASSERT_TRUE(reopened.Open(path));
        ASSERT_EQ(Contents(reopened), contents) << "round " << round;
    }
    EXPECT_TRUE(prompt.shown.empty());
}
