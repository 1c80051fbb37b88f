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

const std::string UnknownFormatQuestion =
    "This file format is unknown. You can still try to open it, but this might not work. Above the type of the "
    "file is written. If it is similar to \"BIGF\", there is a chance loading will work. Try to load?";

class CBIGFileTest : public ::testing::Test
{
protected:
    TempFolder folder;
    FakePrompt prompt;
    CBIGFile archive{prompt};

    std::filesystem::path Write(const BigArchiveBuilder& builder, const std::string& name = "in.big")
    {
        return builder.WriteTo(folder / name);
    }
};

BigArchiveBuilder ThreeEntries()
{
    BigArchiveBuilder builder;
    builder.Add("art\\textures\\a.tga", "AAAA").Add("data\\ini\\object.ini", "Object X\nEnd\n").Add("z.txt", "zz");
    return builder;
}

} // namespace

TEST_F(CBIGFileTest, SaveAsWritesTheOneEntryExampleToTheByteInBothVariants)
{
    ASSERT_TRUE(archive.AddEntryBytes("a.txt", Bytes("xyz")));
    ASSERT_TRUE(archive.SaveAs(folder / "f.big")) << archive.LastError();
    const Bytes8 bigf = {'B', 'I', 'G', 'F', 0x29, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0x25, 0, 0, 0, 0x26, 0, 0, 0, 3,
                         'a', '.', 't', 'x', 't', 0, 'L', '2', '2', '5', 0, 0, 0, 0, 'x', 'y', 'z'};
    EXPECT_EQ(ReadFileBytes(folder / "f.big"), bigf);

    archive.SetFormat(BIGFormat_BIG4);
    ASSERT_TRUE(archive.SaveAs(folder / "4.big")) << archive.LastError();
    const Bytes8 big4 = {'B', 'I', 'G', '4', 0x2A, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0x26, 0, 0, 0, 0x27, 0, 0, 0, 3,
                         'a', '.', 't', 'x', 't', 0, 'L', '2', '5', '3', 0x15, 0x05, 0, 0, 0, 'x', 'y', 'z'};
    EXPECT_EQ(ReadFileBytes(folder / "4.big"), big4);
}

TEST_F(CBIGFileTest, SaveAsWritesAnEmptyArchiveAsHeaderAndMarker)
{
    ASSERT_TRUE(archive.SaveAs(folder / "f.big"));
    EXPECT_EQ(ReadFileBytes(folder / "f.big"),
              (Bytes8{'B', 'I', 'G', 'F', 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 23, 'L', '2', '2', '5', 0, 0, 0, 0}));
    archive.SetFormat(BIGFormat_BIG4);
    ASSERT_TRUE(archive.SaveAs(folder / "4.big"));
    EXPECT_EQ(ReadFileBytes(folder / "4.big"), (Bytes8{'B', 'I', 'G', '4', 25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 24, 'L',
                                                       '2', '5', '3', 0x15, 0x05, 0, 0, 0}));
}

TEST_F(CBIGFileTest, ReadingThenSaveAsReproducesACanonicalArchiveByteForByte)
{
    for (const char* magic : {"BIGF", "BIG4"}) {
        BigArchiveBuilder builder = ThreeEntries();
        builder.magic = magic;
        builder.Add("empty.bin", Bytes8{});
        ASSERT_TRUE(archive.Open(Write(builder)));
        ASSERT_TRUE(archive.SaveAs(folder / "out.big")) << archive.LastError();
        EXPECT_EQ(ReadFileBytes(folder / "out.big"), builder.Build()) << magic;
        EXPECT_EQ(archive.GetPath(), folder / "out.big") << "the archive continues on the file written";
        EXPECT_EQ(Contents(archive)[1].second, Bytes("Object X\nEnd\n"));
    }
}

TEST_F(CBIGFileTest, ArchivesFromOtherToolsAreReadByTheirOffsetsAndSavedCanonically)
{
    BigArchiveBuilder canonical = ThreeEntries();
    BigArchiveBuilder odd = ThreeEntries();
    odd.marker = Bytes8{'L', '2', '1', '9'};
    odd.gapBeforeData = 7;
    odd.field12 = 5;
    odd.archiveSizeField = 0xDEADBEEF;
    ASSERT_TRUE(archive.Open(Write(odd)));
    EXPECT_EQ(archive.GetStoredDataStart(), 5u);
    EXPECT_EQ(Contents(archive)[0], (std::pair<std::string, Bytes8>{"art\\textures\\a.tga", Bytes("AAAA")}));
    ASSERT_TRUE(archive.SaveAs(folder / "out.big"));
    EXPECT_EQ(ReadFileBytes(folder / "out.big"), canonical.Build());
}

TEST_F(CBIGFileTest, OpeningNeverChangesTheFile)
{
    const auto path = Write(ThreeEntries());
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(50));
    const auto before = ModificationTime(path);
    const auto bytes = ReadFileBytes(path);
    ASSERT_TRUE(archive.Open(path));
    EXPECT_FALSE(archive.IsReadOnly());
    Contents(archive);
    archive.Close();
    ASSERT_TRUE(archive.Open(path, 1));
    Contents(archive);
    archive.Close();
    const auto after = ModificationTime(path);
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(before.tv_sec, after.tv_sec);
    EXPECT_EQ(before.tv_nsec, after.tv_nsec);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(CBIGFileTest, AReadOnlyFileOpensForReadingWithTheMessageAndIsNeverWrittenInPlace)
{
    const auto path = Write(ThreeEntries());
    MakeReadOnly(path);
    const auto bytes = ReadFileBytes(path);
    {
        ScopedUnprivileged unprivileged;
        ASSERT_TRUE(archive.Open(path));
    }
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Opened BIG file in Read-Only mode. Remove write protection and load again!");
    EXPECT_EQ(prompt.shown[0].caption, path.string());
    EXPECT_TRUE(archive.IsReadOnly());
    EXPECT_EQ(archive.GetEntryCount(), 3);

    ASSERT_TRUE(archive.SetEntryData(0, Bytes("longer than before").data(), 18));
    EXPECT_EQ(archive.SaveInPlace(), 0);
    EXPECT_NE(archive.LastError().find("read-only"), std::string::npos) << archive.LastError();
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_TRUE(archive.GetEntry(0)->modified) << "stored fields still describe the file";

    EXPECT_EQ(archive.Open(folder / "missing.big"), 0);
    EXPECT_EQ(archive.GetEntryCount(), 0);
}

TEST_F(CBIGFileTest, AnUnknownMagicIsAskedAboutAndKeptByBothSaves)
{
    BigArchiveBuilder builder = ThreeEntries();
    builder.magic = "BIGX";
    builder.gapBeforeData = 8;
    const auto path = Write(builder);
    const auto bytes = ReadFileBytes(path);

    prompt.Answer({false});
    ASSERT_TRUE(archive.Open(path));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, UnknownFormatQuestion);
    EXPECT_EQ(prompt.shown[0].caption, "BIGX");
    EXPECT_EQ(archive.GetEntryCount(), 0);
    EXPECT_EQ(archive.SaveInPlace(), 0) << "a declined file is not an archive to write into";
    EXPECT_EQ(ReadFileBytes(path), bytes);

    prompt.Answer({true});
    ASSERT_TRUE(archive.Open(path));
    EXPECT_EQ(archive.GetFormat(), BIGFormat_Unknown);
    EXPECT_EQ(archive.GetEntryCount(), 3);
    ASSERT_TRUE(archive.SaveAs(folder / "out.big"));
    EXPECT_EQ(ReadFileBytes(folder / "out.big"), builder.Build()) << "no marker: the room before the data is zero";
}

TEST_F(CBIGFileTest, ShortOrDamagedTablesKeepTheEntriesReadCompletelyAndSaySo)
{
    WriteFileBytes(folder / "short.big", Bytes("BIGF\0\0\0"));
    ASSERT_TRUE(archive.Open(folder / "short.big"));
    EXPECT_EQ(archive.GetEntryCount(), 0);
    EXPECT_TRUE(prompt.shown.empty());

    const Bytes8 good = ThreeEntries().Build();
    const std::string longName(260, 'n');
    struct Case
    {
        const char* what;
        Bytes8 bytes;
        int expectedEntries;
        const char* firstName;
    };
    Bytes8 unterminated(good.begin(), good.begin() + 16 + 27 + 8 + 10); // inside the second name
    Bytes8 tooLong = BigArchiveBuilder().Add("ok", "1").Add(longName, "2").Add("after", "3").Build();
    Bytes8 tooMany = good;
    tooMany[8] = 0x7F; // the count claims two billion entries
    for (const Case& c : {Case{"unterminated", unterminated, 1, "art\\textures\\a.tga"},
                          Case{"too long", tooLong, 1, "ok"}, Case{"too many", tooMany, 3, "art\\textures\\a.tga"}}) {
        prompt.shown.clear();
        WriteFileBytes(folder / "bad.big", c.bytes);
        for (int loadWhole : {0, 1}) {
            ASSERT_TRUE(archive.Open(folder / "bad.big", loadWhole)) << c.what;
            EXPECT_EQ(archive.GetEntryCount(), c.expectedEntries) << c.what;
            EXPECT_TRUE(archive.IsDamaged()) << c.what;
        }
        ASSERT_EQ(prompt.shown.size(), 2u) << c.what;
        EXPECT_NE(prompt.shown[0].text.find("only " + std::to_string(c.expectedEntries) + " could be read"),
                  std::string::npos)
            << prompt.shown[0].text;
        EXPECT_EQ(archive.GetEntryName(0), c.firstName);
    }
}

TEST_F(CBIGFileTest, EntryBytesOutsideTheFileAreNotDelivered)
{
    Bytes8 bytes = ThreeEntries().Build();
    bytes[16 + 7] = 0xFF; // first entry's size far beyond the end
    WriteFileBytes(folder / "bad.big", bytes);
    ASSERT_TRUE(archive.Open(folder / "bad.big"));
    std::vector<std::uint8_t> buffer(8, 0xAB);
    EXPECT_EQ(archive.GetEntryData(0, buffer.data()), 0);
    EXPECT_EQ(buffer, Bytes8(8, 0xAB));
    EXPECT_FALSE(archive.GetEntryBytes(0));
    EXPECT_EQ(archive.GetEntryData(3, buffer.data()), 0);
    EXPECT_EQ(archive.SaveAs(folder / "out.big"), 0) << "a save never fills unreadable entries with garbage";
    EXPECT_FALSE(std::filesystem::exists(folder / "out.big"));
    EXPECT_EQ(Contents(archive)[1].second, Bytes("Object X\nEnd\n"));
}

TEST_F(CBIGFileTest, FindEntryMatchesWholeNamesFoldingOnlyAToZAndReturnsTheFirstDuplicate)
{
    BigArchiveBuilder builder;
    builder.Add("Data\\INI\\Weapon.ini", "1").Add("data\\ini\\weapon.INI", "2").Add("art\\\xC9t\xE9.tga", "3");
    ASSERT_TRUE(archive.Open(Write(builder)));
    EXPECT_EQ(archive.FindEntry("DATA\\ini\\WEAPON.ini"), 0);
    EXPECT_EQ(archive.FindEntry("data\\ini\\weapon"), -1);
    EXPECT_EQ(archive.FindEntry("data\\ini\\weapon.ini2"), -1);
    EXPECT_EQ(archive.FindEntry("ART\\\xC9t\xE9.TGA"), 2);
    EXPECT_EQ(archive.FindEntry("art\\\xE9t\xE9.tga"), -1) << "Latin-1 letters do not fold";
    ASSERT_TRUE(archive.DeleteEntry(0));
    EXPECT_EQ(archive.FindEntry("data\\ini\\weapon.ini"), 0);
    ASSERT_TRUE(archive.RenameEntry(0, "other.ini"));
    EXPECT_EQ(archive.FindEntry("data\\ini\\weapon.ini"), -1);
    EXPECT_EQ(archive.FindEntry("OTHER.ini"), 0);
}

TEST_F(CBIGFileTest, AddingReplacesRegardlessOfCaseKeepsTheTypedNameAndSorts)
{
    ASSERT_TRUE(archive.Open(Write(ThreeEntries())));
    ASSERT_TRUE(archive.AddEntryBytes("DATA\\INI\\Object.INI", Bytes("new")));
    ASSERT_TRUE(archive.AddEntry(nullptr, "data_2\\x"));
    ASSERT_TRUE(archive.AddEntry(nullptr, "0.txt"));
    WriteFileBytes(folder / "source.bin", Bytes("from file"));
    const auto source = folder / "source.bin";
    ASSERT_TRUE(archive.AddEntry(&source, "B.txt"));

    std::vector<std::string> names;
    for (int i = 0; i < archive.GetEntryCount(); ++i)
        names.push_back(archive.GetEntryName(i));
    // Digits before "\" before "_" before letters; A-Z compare as a-z.
    EXPECT_EQ(names, (std::vector<std::string>{"0.txt", "art\\textures\\a.tga", "B.txt", "DATA\\INI\\Object.INI",
                                               "data_2\\x", "z.txt"}));
    EXPECT_EQ(archive.GetEntryBytes(3), Bytes("new"));
    EXPECT_EQ(archive.GetEntryBytes(4), Bytes8{0}) << "an empty entry is one zero byte";
    EXPECT_EQ(archive.GetEntryBytes(2), Bytes("from file"));
    EXPECT_EQ(archive.GetEntry(2)->storedOffset, 0u);

    const auto missing = folder / "missing.bin";
    EXPECT_EQ(archive.AddEntry(&missing, "m"), 0);
    EXPECT_EQ(archive.AddEntryBytes(std::string(260, 'x'), Bytes("1")), 0);
    EXPECT_EQ(archive.RenameEntry(0, std::string(260, 'x')), 0);
    EXPECT_EQ(archive.GetEntryCount(), 6);
    EXPECT_EQ(archive.GetEntryName(0), "0.txt");
    EXPECT_TRUE(archive.AddEntryBytes(std::string(259, 'x'), Bytes("1")));
}

TEST_F(CBIGFileTest, ABatchWithDeferredSortingGivesTheSameTableAsAddingOneByOne)
{
    // Duplicates up to case, as real archives and renames produce them, make the order of equal
    // names matter.
    BigArchiveBuilder builder;
    for (int i = 0; i < 40; ++i)
        builder.Add("art\\t" + std::to_string(i % 13) + (i % 3 ? ".tga" : ".TGA"), std::to_string(i));
    const auto path = Write(builder);
    std::mt19937 random(7);
    std::vector<std::string> batch;
    for (int i = 0; i < 120; ++i)
        batch.push_back((random() % 2 ? "ART\\T" : "art\\t") + std::to_string(random() % 20) + ".tga");

    CBIGFile oneByOne(prompt), deferred(prompt);
    ASSERT_TRUE(oneByOne.Open(path));
    ASSERT_TRUE(deferred.Open(path));
    deferred.DeferSorting(true);
    for (size_t i = 0; i < batch.size(); ++i) {
        ASSERT_TRUE(oneByOne.AddEntryBytes(batch[i], Bytes(std::to_string(100 + i))));
        ASSERT_TRUE(deferred.AddEntryBytes(batch[i], Bytes(std::to_string(100 + i))));
        ASSERT_EQ(oneByOne.GetEntryCount(), deferred.GetEntryCount());
    }
    deferred.DeferSorting(false);
    EXPECT_EQ(Contents(oneByOne), Contents(deferred));

    // A small case checked by hand: the first of two duplicates is replaced, the new one sorts last.
    BigArchiveBuilder pair;
    pair.Add("b", "1").Add("a.txt", "first").Add("A.TXT", "second");
    ASSERT_TRUE(deferred.Open(Write(pair, "pair.big")));
    ASSERT_TRUE(deferred.AddEntryBytes("a.Txt", Bytes("third")));
    deferred.DeferSorting(false);
    EXPECT_EQ(Contents(deferred), (decltype(Contents(deferred)){
                                      {"A.TXT", Bytes("second")}, {"a.Txt", Bytes("third")}, {"b", Bytes("1")}}));
}

TEST_F(CBIGFileTest, ArchivesBeyondFourGibibytesAreRefusedByBothSaves)
{
    BigArchiveBuilder builder = ThreeEntries();
    Bytes8 bytes = builder.Build();
    // Two entries claim 2 GiB each; the bytes are not really there.
    for (size_t record : {16u, 16u + 8 + 19}) {
        bytes[record + 4] = 0x80;
        bytes[record + 5] = bytes[record + 6] = bytes[record + 7] = 0;
    }
    const auto path = folder / "huge.big";
    WriteFileBytes(path, bytes);
    WriteFileBytes(folder / "out.big", Bytes("old"));
    ASSERT_TRUE(archive.Open(path));
    ASSERT_EQ(archive.GetEntrySize(1), 0x80000000u);
    EXPECT_EQ(archive.SaveAs(folder / "out.big"), 0);
    EXPECT_NE(archive.LastError().find("4 GiB"), std::string::npos) << archive.LastError();
    EXPECT_EQ(archive.SaveInPlace(), 0);
    EXPECT_NE(archive.LastError().find("4 GiB"), std::string::npos) << archive.LastError();
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(ReadFileBytes(folder / "out.big"), Bytes("old"));
}

TEST_F(CBIGFileTest, AFailedSaveAsLeavesTheTargetAndTheArchiveAsTheyWere)
{
    const auto path = Write(ThreeEntries());
    WriteFileBytes(folder / "out.big", Bytes("old"));
    ASSERT_TRUE(archive.Open(path));
    Bytes8 big(256 * 1024, 'b');
    ASSERT_TRUE(archive.SetEntryData(2, big.data(), static_cast<std::int64_t>(big.size())));
    const BIGEntry before = *archive.GetEntry(2);
    {
        ScopedFileSizeLimit diskFull(64 * 1024);
        EXPECT_EQ(archive.SaveAs(folder / "out.big"), 0);
    }
    EXPECT_NE(archive.LastError().find("out.big"), std::string::npos) << archive.LastError();
    EXPECT_EQ(ReadFileBytes(folder / "out.big"), Bytes("old"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2) << "no temporary left";
    EXPECT_EQ(archive.GetPath(), path);
    EXPECT_EQ(archive.GetEntry(2)->storedOffset, before.storedOffset);
    EXPECT_TRUE(archive.GetEntry(2)->modified);
    EXPECT_EQ(archive.SaveAs(folder / "no such folder" / "x.big"), 0);

    // Saving over its own file works: the source stays readable while the new file is written.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
    archive.SetProgressObserver([&](std::uint64_t done, std::uint64_t total) { progress.emplace_back(done, total); });
    ASSERT_TRUE(archive.SaveAs(path)) << archive.LastError();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().first, progress.back().second);
    EXPECT_EQ(progress.back().second, std::filesystem::file_size(path));
    CBIGFile reopened(prompt);
    ASSERT_TRUE(reopened.Open(path));
    EXPECT_EQ(Contents(reopened), Contents(archive));
    EXPECT_EQ(reopened.GetEntryBytes(2), big);
}
