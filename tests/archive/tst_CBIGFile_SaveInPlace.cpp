#include "archive/CBIGFile.h"

#include "ArchiveTestHelpers.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// The layout of ThreeEntries(): records, table length, data start, the three entries' offsets.
constexpr std::uint32_t Record0 = 16, Record1 = 43, Record2 = 71, TableEnd = 85, Start = 93, Length = 112;

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
    void Save() { ASSERT_TRUE(archive.SaveInPlace()) << archive.LastError(); }
    void ExpectReopenedEquals(const std::vector<std::pair<std::string, Bytes8>>& contents)
    {
        CBIGFile reopened(prompt);
        ASSERT_TRUE(reopened.Open(path));
        EXPECT_EQ(Contents(reopened), contents);
    }
};

} // namespace

TEST_F(SaveInPlaceTest, EditsRewriteOnlyTheirBytesAndMoveWhatNoLongerFitsBehindTheFile)
{
    BigArchiveBuilder unknown = ThreeEntries();
    unknown.magic = "BIGX";
    unknown.marker = Bytes("JUNKJUNK");
    const struct
    {
        const char* what;
        std::function<void()> edit;
        std::vector<std::pair<std::uint32_t, Bytes8>> patches;
        std::uint64_t written = 0; // bytes the save reports writing, 0 when not checked
        const BigArchiveBuilder* input = nullptr;
    } cases[] = {
        {"a shrunk entry keeps its offset and the file its length", [&] { Replace(1, "tiny"); },
         {{4, LE(Start + 4 + 4 + 2)}, {Record1 + 4, BE(4)}, {Start + 4, Bytes("tiny")}}, Start + 4},
        {"the last entry grows where it stands, extending the file", [&] { Replace(2, "zzzzzz"); },
         {{4, LE(Start + 4 + 13 + 6)}, {Record2 + 4, BE(6)}, {Length - 2, Bytes("zzzzzz")}}},
        {"the first entry would grow over the second, so it moves to the end; then the last entry would "
         "grow over the first one's new place, so it moves behind it",
         [&] {
             Replace(0, "0123456789");
             Replace(2, "zzzzzz");
         },
         {{4, LE(Start + 10 + 13 + 6)},
          {Record0, Cat({BE(Length), BE(10)})},
          {Record2, Cat({BE(Length + 10), BE(6)})},
          {Length, Bytes("0123456789zzzzzz")}}},
        {"BIG4 grows the marker and so moves the first entry to the end", [&] { archive.SetFormat(BIGFormat_BIG4); },
         {{0, Cat({Bytes("BIG4"), LE(Start + 1 + 19), BE(3), BE(Start)})},
          {Record0, BE(Length)},
          {TableEnd, Bytes({"L253\x15\x05\0\0\0", 9})},
          {Length, Bytes("AAAA")}}},
        {"an unknown magic is written back without touching the marker room",
         [&] { Replace(1, "Object Y\nEnd\n"); }, {{Start + 4, Bytes("Object Y\nEnd\n")}}, 0, &unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.input)
            prompt.Answer({true, true}); // it is asked about again when reopened
        Bytes8 expected = Open(c.input ? *c.input : ThreeEntries());
        std::uint64_t written = 0;
        archive.SetProgressObserver([&](std::uint64_t, std::uint64_t all) { written = all; });
        c.edit();
        Save();
        if (c.written) {
            EXPECT_EQ(written, c.written);
        }
        for (const auto& [at, bytes] : c.patches)
            Put(expected, at, bytes);
        EXPECT_EQ(ReadFileBytes(path), expected);
        for (int i = 0; i < archive.GetEntryCount(); ++i)
            EXPECT_FALSE(archive.GetEntry(i)->modified) << i;
        ExpectReopenedEquals(Contents(archive));
    }
}

TEST_F(SaveInPlaceTest, ALargerStoredDataStartIsSteppedDownByOneEachSaveWithoutMovingEntries)
{
    BigArchiveBuilder builder = ThreeEntries();
    builder.gapBeforeData = 3; // field 12 = the table's need + 2
    Bytes8 expected = Open(builder);
    for (std::uint32_t field12 : {Start + 1, Start, Start - 1, Start - 1}) {
        Save();
        Put(expected, 4, LE(field12 + 1 + 19));
        Put(expected, 12, BE(field12));
        EXPECT_EQ(ReadFileBytes(path), expected);
        if (field12 == Start) {
            ASSERT_TRUE(archive.Open(path)); // the value read back gives the same steps
        }
    }
    ASSERT_TRUE(archive.SaveAs(path));
    EXPECT_EQ(ReadFileBytes(path), ThreeEntries().Build()) << "a whole save uses the table's own need";
}

TEST_F(SaveInPlaceTest, TinyFilesAndSharedBytesStillGiveAValidArchive)
{
    // Appending at the end of a file shorter than the new table must not put bytes under it.
    for (const Bytes8& start : {Bytes8{}, BigArchiveBuilder().Build()}) {
        WriteFileBytes(path, start);
        ASSERT_TRUE(archive.Open(path));
        for (const char* name : {"data\\ini\\a.ini", "data\\ini\\b.ini", "art\\c.tga"})
            ASSERT_TRUE(archive.AddEntryBytes(name, Bytes(std::string(name) + " bytes")));
        const auto contents = Contents(archive);
        Save();
        ExpectReopenedEquals(contents);
    }

    // Two records share the first entry's bytes; rewriting one of them in place would change both.
    Bytes8 shared = ThreeEntries().Build();
    Put(shared, Record1, Cat({BE(Start), BE(4)}));
    WriteFileBytes(path, shared);
    ASSERT_TRUE(archive.Open(path));
    Replace(0, "BBBB");
    Save();
    ExpectReopenedEquals({{"art\\textures\\a.tga", Bytes("BBBB")}, {"data\\ini\\object.ini", Bytes("AAAA")},
                          {"z.txt", Bytes("zz")}});
}

TEST_F(SaveInPlaceTest, WithoutAFileWithAFullDiskOrWithATableOutsideTheFileNothingIsClaimedAsSaved)
{
    CBIGFile fresh(prompt);
    ASSERT_TRUE(fresh.AddEntryBytes("a", Bytes("1")));
    EXPECT_EQ(fresh.SaveInPlace(), 0);
    EXPECT_NE(fresh.LastError().find("Save As"), std::string::npos) << fresh.LastError();

    const Bytes8 original = Open(ThreeEntries());
    Replace(0, std::string(100000, 'g'));
    Replace(1, "Object Y\nEnd\n");
#ifndef _WIN32
    {
        ScopedFileSizeLimit diskFull(original.size() + 1000);
        EXPECT_EQ(archive.SaveInPlace(), 0);
    }
    EXPECT_NE(archive.LastError().find("mod.big"), std::string::npos) << archive.LastError();
    EXPECT_EQ(archive.GetEntry(0)->storedOffset, Start);
    EXPECT_EQ(archive.GetEntry(0)->offset, Start);
    EXPECT_TRUE(archive.GetEntry(0)->modified);
    EXPECT_EQ(ReadFileBytes(path), original)
        << "the failure came while appending, and the appended bytes were given back";
#else
    (void)original;
#endif

    const auto contents = Contents(archive);
    Save();
    ExpectReopenedEquals(contents);

    // A record pointing far outside the file: appending behind it would grow the file to 2 GiB.
    Bytes8 damaged = ThreeEntries().Build();
    Put(damaged, Record2, BE(0x7FFFFFFF));
    WriteFileBytes(path, damaged);
    ASSERT_TRUE(archive.Open(path));
    ASSERT_TRUE(archive.AddEntryBytes("new.txt", Bytes("new")));
    EXPECT_EQ(archive.SaveInPlace(), 0);
    EXPECT_NE(archive.LastError().find("outside the file"), std::string::npos) << archive.LastError();
    EXPECT_EQ(ReadFileBytes(path), damaged);
}

TEST_F(SaveInPlaceTest, RandomEditsSurviveEverySaveAndReopen)
{
    Open(ThreeEntries());
    std::mt19937 random(2024);
    const auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    std::uint64_t length = Length;
    for (int round = 0; round < 40; ++round) {
        for (int edit = 0; edit < 4; ++edit) {
            const int count = archive.GetEntryCount();
            const int what = pick(6);
            if (what < 2 && count > 0)
                Replace(pick(count), std::string(static_cast<size_t>(pick(40)), static_cast<char>('a' + pick(26))));
            else if (what == 2)
                archive.AddEntryBytes("dir\\f" + std::to_string(pick(30)), Bytes(std::to_string(round)));
            else if (what == 3 && count > 1)
                archive.DeleteEntry(pick(count));
            else if (what == 4 && count > 0)
                archive.RenameEntry(pick(count), "renamed\\" + std::to_string(pick(1000)));
            else if (what == 5)
                archive.SetFormat(pick(2));
        }
        const auto contents = Contents(archive);
        Save();
        EXPECT_GE(std::filesystem::file_size(path), length) << "the file never shrinks";
        length = std::filesystem::file_size(path);
        if (round % 5 == 0) {
            ASSERT_TRUE(archive.Open(path));
        }
        ExpectReopenedEquals(contents);
    }
    EXPECT_TRUE(prompt.shown.empty());
}
