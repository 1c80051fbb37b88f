#include "archive/CBIGFile.h"

#include "ArchiveTestHelpers.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

#include <random>

using namespace kestrel;
using namespace kestrel::test;

namespace {

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

} // namespace

TEST_F(CBIGFileTest, SaveAsWritesTheDocumentedBytesForOneEntryAndForNone)
{
    ASSERT_TRUE(archive.SaveAs(folder / "empty.big"));
    EXPECT_EQ(ReadFileBytes(folder / "empty.big"), Cat({Bytes("BIGF"), LE(24), BE(0), BE(23), Bytes({"L225\0\0\0\0", 8})}));
    archive.SetFormat(BIGFormat_BIG4);
    ASSERT_TRUE(archive.SaveAs(folder / "empty.big"));
    EXPECT_EQ(ReadFileBytes(folder / "empty.big"), Cat({Bytes("BIG4"), LE(25), BE(0), BE(24), Bytes({"L253\x15\x05\0\0\0", 9})}));

    ASSERT_TRUE(archive.AddEntryBytes("a.txt", Bytes("xyz")));
    ASSERT_TRUE(archive.SaveAs(folder / "4.big")) << archive.LastError();
    EXPECT_EQ(ReadFileBytes(folder / "4.big"), Cat({Bytes("BIG4"), LE(42), BE(1), BE(38), BE(39), BE(3),
                                                    Bytes({"a.txt\0L253\x15\x05\0\0\0xyz", 18})}));
    archive.SetFormat(BIGFormat_BIGF);
    ASSERT_TRUE(archive.SaveAs(folder / "f.big")) << archive.LastError();
    EXPECT_EQ(ReadFileBytes(folder / "f.big"),
              Cat({Bytes("BIGF"), LE(41), BE(1), BE(37), BE(38), BE(3), Bytes({"a.txt\0L225\0\0\0\0xyz", 17})}));
}

TEST_F(CBIGFileTest, ArchivesOfAnyShapeAreReadByTheirOffsetsAndSavedCanonicallyByteForByte)
{
    for (const char* magic : {"BIGF", "BIG4"}) {
        BigArchiveBuilder canonical = ThreeEntries();
        canonical.magic = magic;
        canonical.Add("empty.bin", Bytes8{});
        BigArchiveBuilder odd = canonical; // as other tools write them
        odd.marker = Bytes("L219");
        odd.gapBeforeData = 7;
        odd.field12 = 5;
        odd.archiveSizeField = 0xDEADBEEF;
        for (const auto* input : {&canonical, &odd}) {
            // The canonical bytes written prove every entry was read from its own offset.
            ASSERT_TRUE(archive.Open(Write(*input)));
            ASSERT_TRUE(archive.SaveAs(folder / "out.big")) << archive.LastError();
            EXPECT_EQ(ReadFileBytes(folder / "out.big"), canonical.Build()) << magic;
            EXPECT_EQ(archive.GetPath(), folder / "out.big") << "the archive continues on the file written";
            EXPECT_EQ(Contents(archive)[2].second, Bytes("zz"));
        }
    }
}

TEST_F(CBIGFileTest, ALargeTableIsReadInPiecesExactlyLikeOneReadWhole)
{
    BigArchiveBuilder builder;
    for (int i = 0; i < 3000; ++i)
        builder.Add("data\\ini\\object\\unit_" + std::to_string(i * 7919 % 3001) + ".ini", std::to_string(i));
    builder.field12 = 5; // a misleading hint about where the table ends
    const auto path = Write(builder);
    ASSERT_TRUE(archive.Open(path, 1));
    const auto whole = Contents(archive);
    ASSERT_TRUE(archive.Open(path, 0));
    EXPECT_EQ(Contents(archive), whole);
    EXPECT_EQ(whole.size(), 3000u);
    EXPECT_EQ(whole[2999].second, Bytes("2999"));
}

TEST_F(CBIGFileTest, OpeningNeverChangesTheFileAndFallsBackToReadOnlyWithTheMessage)
{
    const auto path = Write(ThreeEntries());
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(50));
    const auto time = std::filesystem::last_write_time(path);
    const auto bytes = ReadFileBytes(path);
    for (int loadWhole : {0, 1}) {
        ASSERT_TRUE(archive.Open(path, loadWhole));
        Contents(archive);
        archive.Close();
    }
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(path), time);
    EXPECT_TRUE(prompt.shown.empty());

    ASSERT_TRUE(OpenReadOnly(path, [&] { return archive.Open(path); }));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_NE(prompt.shown[0].text.find("Read-Only"), std::string::npos);
    EXPECT_EQ(prompt.shown[0].caption, path.string());
    EXPECT_TRUE(archive.IsReadOnly());
    ASSERT_TRUE(archive.SetEntryData(0, Bytes("longer than before").data(), 18));
    EXPECT_EQ(archive.SaveInPlace(), 0);
    EXPECT_NE(archive.LastError().find("read-only"), std::string::npos) << archive.LastError();
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_TRUE(archive.GetEntry(0)->modified) << "stored fields still describe the file";

    // Archives Kestrel only reads (the games' texture archives) open read-only without a word.
    prompt.shown.clear();
    ASSERT_TRUE(archive.OpenForReading(path));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(archive.IsReadOnly());
    EXPECT_EQ(archive.GetEntryCount(), 3);

    EXPECT_EQ(archive.Open(folder / "missing.big"), 0);
    EXPECT_EQ(archive.GetEntryCount(), 0);
}

TEST_F(CBIGFileTest, AnUnknownMagicIsAskedAboutAndKeptWithoutAMarker)
{
    BigArchiveBuilder builder = ThreeEntries();
    builder.magic = "BIGX";
    builder.gapBeforeData = 8; // the room of a marker, left zero
    const auto path = Write(builder);
    prompt.Answer({false, true});
    ASSERT_TRUE(archive.Open(path));
    EXPECT_NE(prompt.shown.at(0).text.find("format is unknown"), std::string::npos);
    EXPECT_EQ(prompt.shown[0].caption, "BIGX");
    EXPECT_EQ(archive.GetEntryCount(), 0);
    EXPECT_EQ(archive.SaveInPlace(), 0) << "a declined file is not an archive to write into";
    EXPECT_EQ(ReadFileBytes(path), builder.Build());

    ASSERT_TRUE(archive.Open(path));
    EXPECT_EQ(archive.GetFormat(), BIGFormat_Unknown);
    ASSERT_TRUE(archive.SaveAs(folder / "out.big"));
    EXPECT_EQ(ReadFileBytes(folder / "out.big"), builder.Build());

    // A TGA picture starts with zero bytes: the caption still shows them.
    WriteFileBytes(folder / "texture.tga", {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'x'});
    prompt.Answer({false});
    ASSERT_TRUE(archive.Open(folder / "texture.tga"));
    EXPECT_EQ(prompt.shown.back().caption, "\\x00\\x00\\x02\\x00");
}

TEST_F(CBIGFileTest, DamagedArchivesKeepWhatCanBeReadSaySoAndNeverDeliverForeignBytes)
{
    WriteFileBytes(folder / "short.big", Bytes("BIGF\0\0\0"));
    ASSERT_TRUE(archive.Open(folder / "short.big"));
    EXPECT_EQ(archive.GetEntryCount(), 0);
    EXPECT_TRUE(prompt.shown.empty()) << "a short header is an empty archive, not a damaged one";

    const Bytes8 good = ThreeEntries().Build();
    Bytes8 tooMany = good;
    tooMany[8] = 0x7F; // the count claims two billion entries
    const struct
    {
        Bytes8 bytes;
        int entries;
        const char* first;
    } cases[] = {{Bytes8(good.begin(), good.begin() + 61), 1, "art\\textures\\a.tga"}, // second name cut off
                 {BigArchiveBuilder().Add("ok", "1").Add(std::string(260, 'n'), "2").Build(), 1, "ok"},
                 {tooMany, 3, "art\\textures\\a.tga"}};
    for (const auto& c : cases) {
        prompt.shown.clear();
        WriteFileBytes(folder / "bad.big", c.bytes);
        for (int loadWhole : {0, 1}) {
            ASSERT_TRUE(archive.Open(folder / "bad.big", loadWhole));
            EXPECT_EQ(archive.GetEntryCount(), c.entries);
            EXPECT_EQ(archive.GetEntryName(0), c.first);
            EXPECT_TRUE(archive.IsDamaged());
        }
        ASSERT_EQ(prompt.shown.size(), 2u);
        EXPECT_NE(prompt.shown[0].text.find("only " + std::to_string(c.entries) + " could be read"), std::string::npos);
    }

    Put(tooMany, 16 + 4, BE(0xFFFFFF)); // and the first entry's bytes run far beyond the end
    WriteFileBytes(folder / "bad.big", tooMany);
    ASSERT_TRUE(archive.Open(folder / "bad.big"));
    Bytes8 buffer(8, 0xAB);
    EXPECT_EQ(archive.GetEntryData(0, buffer.data()), 0);
    EXPECT_EQ(archive.GetEntryData(3, buffer.data()), 0);
    EXPECT_EQ(buffer, Bytes8(8, 0xAB));
    EXPECT_FALSE(archive.GetEntryBytes(0));
    EXPECT_EQ(archive.GetEntryBytes(1), Bytes("Object X\nEnd\n"));
    bool handedOver = false;
    const auto note = [&](std::span<const std::uint8_t>) { return handedOver = true; };
    EXPECT_EQ(archive.ReadEntryPieces(0, note), CBIGFile::PieceRead::OutsideFile);
    EXPECT_EQ(archive.ReadEntryPieces(3, note), CBIGFile::PieceRead::NoSuchEntry);
    EXPECT_FALSE(handedOver) << "nothing of an unreadable entry reaches the reader";
    EXPECT_EQ(archive.SaveAs(folder / "out.big"), 0) << "a save never fills unreadable entries with garbage";
    EXPECT_FALSE(std::filesystem::exists(folder / "out.big"));
}

TEST_F(CBIGFileTest, NamesMatchWholeAndFoldOnlyAToZAndAddingReplacesTheFirstMatchAndSorts)
{
    BigArchiveBuilder builder;
    builder.Add("Data\\INI\\Weapon.ini", "1").Add("data\\ini\\weapon.INI", "2").Add("art\\\xC9t\xE9.tga", "3");
    ASSERT_TRUE(archive.Open(Write(builder)));
    EXPECT_EQ(archive.FindEntry("DATA\\ini\\WEAPON.ini"), 0);
    EXPECT_EQ(archive.FindEntry("data\\ini\\weapon"), -1);
    EXPECT_EQ(archive.FindEntry("ART\\\xC9t\xE9.TGA"), 2);
    EXPECT_EQ(archive.FindEntry("art\\\xE9t\xE9.tga"), -1) << "Latin-1 letters do not fold";
    ASSERT_TRUE(archive.RenameEntry(1, "other.ini"));
    EXPECT_EQ(archive.FindEntry("OTHER.ini"), 1);

    ASSERT_TRUE(archive.AddEntryBytes("DATA\\ini\\weapon.ini", Bytes("new")));
    ASSERT_TRUE(archive.AddEntry(nullptr, "data_2\\x"));
    WriteFileBytes(folder / "source.bin", Bytes("from file"));
    const auto source = folder / "source.bin";
    ASSERT_TRUE(archive.AddEntry(&source, "0.txt"));
    // Digits before "\" before "_" before letters; A-Z compare as a-z; the added name as typed.
    EXPECT_EQ(Contents(archive), (decltype(Contents(archive)){{"0.txt", Bytes("from file")},
                                                             {"art\\\xC9t\xE9.tga", Bytes("3")},
                                                             {"DATA\\ini\\weapon.ini", Bytes("new")},
                                                             {"data_2\\x", Bytes8{0}},
                                                             {"other.ini", Bytes("2")}}));

    const auto missing = folder / "missing.bin";
    EXPECT_EQ(archive.AddEntry(&missing, "m"), 0);
    EXPECT_EQ(archive.AddEntryBytes(std::string(260, 'x'), Bytes("1")), 0);
    EXPECT_EQ(archive.RenameEntry(0, std::string(260, 'x')), 0);
    EXPECT_EQ(archive.GetEntryCount(), 5);
    EXPECT_EQ(archive.GetEntryName(0), "0.txt");
    EXPECT_TRUE(archive.AddEntryBytes(std::string(259, 'x'), Bytes("1")));

    const int weapon = archive.FindEntry("data\\ini\\weapon.ini");
    const std::uint8_t* own = archive.GetEntry(weapon)->heldBytes->data(); // "new"
    ASSERT_TRUE(archive.SetEntryData(weapon, own + 1, 2));
    EXPECT_EQ(archive.GetEntryBytes(weapon), Bytes("ew"));
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
    CBIGFile oneByOne(prompt);
    ASSERT_TRUE(oneByOne.Open(path));
    ASSERT_TRUE(archive.Open(path));
    archive.DeferSorting(true);
    for (int i = 0; i < 120; ++i) {
        const std::string name = (random() % 2 ? "ART\\T" : "art\\t") + std::to_string(random() % 20) + ".tga";
        ASSERT_TRUE(oneByOne.AddEntryBytes(name, Bytes(std::to_string(i))));
        ASSERT_TRUE(archive.AddEntryBytes(name, Bytes(std::to_string(i))));
    }
    archive.DeferSorting(false);
    EXPECT_EQ(Contents(archive), Contents(oneByOne));

    // By hand: the first of two duplicates is replaced, and the new entry sorts behind the other.
    BigArchiveBuilder pair;
    pair.Add("b", "1").Add("a.txt", "first").Add("A.TXT", "second");
    ASSERT_TRUE(archive.Open(Write(pair)));
    ASSERT_TRUE(archive.AddEntryBytes("a.Txt", Bytes("third")));
    EXPECT_EQ(Contents(archive), (decltype(Contents(archive)){{"A.TXT", Bytes("second")}, {"a.Txt", Bytes("third")},
                                                             {"b", Bytes("1")}}));
}

TEST_F(CBIGFileTest, AddedFilesAreReadAtTheSaveAndAChangedOrVanishedFileFailsItByName)
{
    const auto path = Write(ThreeEntries());
    Bytes8 content(300000);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    const auto bigFile = folder / "big.bin", smallFile = folder / "small.txt";
    WriteFileBytes(bigFile, content);
    WriteFileBytes(smallFile, Bytes("small"));
    ASSERT_TRUE(archive.Open(path));
    const auto addBoth = [&] {
        ASSERT_TRUE(archive.AddEntry(&bigFile, "data\\big.bin"));
        ASSERT_TRUE(archive.AddEntry(&smallFile, "data\\small.txt"));
    };
    addBoth();
    const int big = archive.FindEntry("data\\big.bin");
    EXPECT_FALSE(archive.GetEntry(big)->heldBytes) << "the bytes stay in the file until they are needed";
    EXPECT_EQ(archive.GetEntryBytes(big), content);

    WriteFileBytes(smallFile, Bytes("SMALL, and longer"));
    EXPECT_EQ(archive.SaveAs(folder / "out.big"), 0);
    EXPECT_NE(archive.LastError().find("small.txt"), std::string::npos) << archive.LastError();
    EXPECT_FALSE(std::filesystem::exists(folder / "out.big"));
    EXPECT_EQ(archive.SaveInPlace(), 0);
    EXPECT_EQ(ReadFileBytes(path), ThreeEntries().Build()) << "nothing reached the archive";

    std::filesystem::remove(bigFile);
    EXPECT_FALSE(archive.GetEntryBytes(big));
    EXPECT_EQ(archive.SaveAs(folder / "out.big"), 0);
    EXPECT_NE(archive.LastError().find("big.bin"), std::string::npos) << archive.LastError();

    WriteFileBytes(bigFile, content);
    addBoth();
    for (const bool inPlace : {true, false}) {
        ASSERT_TRUE(inPlace ? archive.SaveInPlace() : archive.SaveAs(path)) << archive.LastError();
        EXPECT_FALSE(archive.GetEntry(big)->source) << "once saved, the entry reads from the archive";
        CBIGFile reopened(prompt);
        ASSERT_TRUE(reopened.Open(path));
        EXPECT_EQ(reopened.GetEntryBytes(reopened.FindEntry("data\\big.bin")), content);
        EXPECT_EQ(reopened.GetEntryBytes(reopened.FindEntry("data\\small.txt")), Bytes("SMALL, and longer"));
    }
    std::filesystem::remove(bigFile);
    EXPECT_EQ(archive.GetEntryBytes(big), content);
}

TEST_F(CBIGFileTest, FailedSavesChangeNothingAndSavingOverTheOwnFileWorks)
{
    const auto path = Write(ThreeEntries());
    WriteFileBytes(folder / "out.big", Bytes("old"));
    ASSERT_TRUE(archive.Open(path));
    const Bytes8 big(256 * 1024, 'b');
    ASSERT_TRUE(archive.SetEntryData(2, big.data(), static_cast<std::int64_t>(big.size())));
#ifndef _WIN32
    {
        ScopedFileSizeLimit diskFull(64 * 1024);
        EXPECT_EQ(archive.SaveAs(folder / "out.big"), 0);
    }
    EXPECT_NE(archive.LastError().find("out.big"), std::string::npos) << archive.LastError();
    EXPECT_EQ(ReadFileBytes(folder / "out.big"), Bytes("old"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2) << "no temporary left";
    EXPECT_EQ(archive.GetPath(), path);
    EXPECT_TRUE(archive.GetEntry(2)->modified);
#endif
    EXPECT_EQ(archive.SaveAs(folder / "no such folder" / "x.big"), 0);

    std::pair<std::uint64_t, std::uint64_t> progress;
    archive.SetProgressObserver([&](std::uint64_t done, std::uint64_t total) { progress = {done, total}; });
    ASSERT_TRUE(archive.SaveAs(path)) << archive.LastError();
    EXPECT_EQ(progress, std::make_pair(std::uint64_t{93 + 4 + 13 + big.size()}, std::uint64_t{93 + 4 + 13 + big.size()}));
    CBIGFile reopened(prompt);
    ASSERT_TRUE(reopened.Open(path));
    EXPECT_EQ(Contents(reopened), Contents(archive));
    EXPECT_EQ(reopened.GetEntryBytes(2), big);

    // Two entries claim 2 GiB each (the bytes are not there): neither save may start a file beyond 4 GiB.
    Bytes8 bytes = ThreeEntries().Build();
    Put(bytes, 16 + 4, BE(0x80000000));
    Put(bytes, 43 + 4, BE(0x80000000));
    WriteFileBytes(folder / "huge.big", bytes);
    ASSERT_TRUE(archive.Open(folder / "huge.big"));
    for (const bool inPlace : {false, true}) {
        EXPECT_EQ(inPlace ? archive.SaveInPlace() : archive.SaveAs(folder / "out.big"), 0);
        EXPECT_NE(archive.LastError().find("4 GiB"), std::string::npos) << archive.LastError();
    }
    EXPECT_EQ(ReadFileBytes(folder / "huge.big"), bytes);
    EXPECT_EQ(ReadFileBytes(folder / "out.big"), Bytes("old"));
}
