#include "archive/CBIGFile.h"
#include "archive/ContentSearch.h"
#include "archive/DuplicateNames.h"
#include "archive/EntryListOrder.h"
#include "archive/EntryNameMatcher.h"
#include "samples/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include "ArchiveTestHelpers.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kestrel {
namespace {

using samples::BigArchiveBuilder;

TEST(EntryNameMatcher, TextIsASubstringAndWildcardsMakeAGlobFromAnyFolderPart)
{
    const struct
    {
        const char* typed;
        const char* name;
        bool matches;
    } cases[] = {
        {"", "anything", true},
        {"WEAPON", "data\\ini\\weapon.ini", true},
        {"data/ini", "Data\\INI\\x.ini", true},
        {"\xC4", "\xE4.ini", false}, // only A-Z fold
        {"*.ini", "data\\ini\\weapon.ini", true},
        {"*.ini", "data\\ini\\weapon.ini.bak", false},
        {"w*n.ini", "data\\ini\\weapon.ini", true},
        {"d*n.ini", "data\\ini\\weapon.ini", false}, // '*' stays within one part
        {"ini\\*", "data\\ini\\object\\tank.ini", true},
        {"[xyz]*", "data\\ini\\weapon.ini", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EntryNameMatcher(c.typed).Matches(c.name), c.matches) << c.typed << " / " << c.name;
}

class EntryTable : public ::testing::Test
{
protected:
    void Open(const BigArchiveBuilder& builder)
    {
        builder.WriteTo(folder / "a.big");
        ASSERT_TRUE(archive.Open(folder / "a.big"));
    }
    std::vector<int> Rows(const EntryListOrder& order) const
    {
        std::vector<int> rows;
        for (int row = 0; row < order.RowCount(); ++row) {
            rows.push_back(order.EntryAt(row));
            EXPECT_EQ(order.RowOf(rows.back()), row);
        }
        return rows;
    }

    samples::TempFolder folder;
    test::FakePrompt prompt;
    CBIGFile archive{prompt};
};

TEST_F(EntryTable, SortsByNameSizeOrTypeBothWaysAndFiltersWithinTheOrder)
{
    Open(BigArchiveBuilder()
             .Add("b.TGA", "12345")
             .Add("A\\c.ini", "1")
             .Add("a\\C.INI", "123")
             .Add("readme", "12")
             .Add("z.dds", ""));
    EntryListOrder order;
    order.Reset(archive);
    const struct
    {
        EntrySortKey key;
        bool descending;
        std::vector<int> rows;
    } cases[] = {
        // Equal names keep table order both ways: it tells which copy the games use.
        {EntrySortKey::Name, false, {1, 2, 0, 3, 4}},
        {EntrySortKey::Name, true, {4, 3, 0, 1, 2}},
        {EntrySortKey::Size, false, {4, 1, 3, 2, 0}},
        {EntrySortKey::Type, false, {3, 4, 1, 2, 0}},
        {EntrySortKey::TableOrder, false, {0, 1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        order.SetSort(archive, c.key, c.descending);
        EXPECT_EQ(Rows(order), c.rows) << static_cast<int>(c.key) << c.descending;
    }
    order.SetSort(archive, EntrySortKey::Size, true);
    order.SetFilter(archive, EntryNameMatcher("*.ini"));
    EXPECT_EQ(Rows(order), (std::vector<int>{2, 1}));
    EXPECT_EQ(order.RowOf(0), -1);
    EXPECT_EQ(order.EntryAt(2), -1);
    // The filter and the key outlive a change of the table.
    ASSERT_TRUE(archive.AddEntryBytes("x.ini", {'1', '2', '3', '4'}));
    order.Reset(archive);
    EXPECT_EQ(order.EntryCount(), 6);
    EXPECT_EQ(order.RowCount(), 3);
    EXPECT_EQ(archive.GetEntryName(order.EntryAt(0)), "x.ini");

    EXPECT_EQ(EntryTypeOf("Data\\INI.x\\Weapon.INI"), "ini");
    EXPECT_EQ(EntryTypeOf("data\\ini.x\\readme"), "");
}

TEST(DuplicateNames, GroupNamesEqualUpToCaseAndTheGamesUseTheLast)
{
    const std::vector<std::string> names = {"a.ini", "b.ini", "A.INI", "c", "B.ini", "a.ini", "\xE4", "\xC4"};
    const auto groups = DuplicateNameGroups(names.size(), [&](size_t i) -> std::string_view { return names[i]; });
    ASSERT_EQ(groups, (std::vector<std::vector<size_t>>{{0, 2, 5}, {1, 4}}));
    EXPECT_EQ(CopyTheGamesUse(groups[0]), 5u);
}

/// Everything a search reported, in order.
struct Recorder : IContentSearchObserver
{
    bool Progress(std::uint64_t done, std::uint64_t total) override
    {
        EXPECT_LE(done, total);
        return ++progressCalls != cancelAt;
    }
    void Found(const ContentMatch& match) override
    {
        found.push_back(std::to_string(match.entry) + (match.binary ? ":binary" : ":" + std::to_string(match.line)) +
                        ":" + match.text);
    }
    void Problem(int entry, const std::string&) override { problems.push_back(entry); }

    int progressCalls = 0;
    int cancelAt = -1;
    std::vector<std::string> found;
    std::vector<int> problems;
};

TEST_F(EntryTable, SearchFindsTextOrExpressionsLineByLineAcrossPiecesAndSkipsUnreadableEntries)
{
    // A line that straddles the reader's 1 MiB pieces, CRLF line ends, a last line without its
    // line end, binary entries (one matching only after its first piece) and an entry cut off by
    // the end of the file.
    std::string big(1 << 20, 'x');
    big[100] = '\n';
    big.replace(big.size() - 3, 3, "Dam");
    big += "age = 5\r\nArmor\nDAMAGE";
    std::vector<std::uint8_t> model = {'W', 0, 0, 1};
    model.insert(model.end(), {'d', 'a', 'm', 'a', 'g', 'e'});
    BigArchiveBuilder builder;
    builder.Add("a.ini", "Damage = 1\r\nNo\nDamage = 2 Damage\n").Add("big.txt", big).Add("m.w3d", model);
    builder.Add("large.w3d", std::string(1, '\0') + std::string(1 << 20, 'x') + "Damage");
    builder.Add("cut.ini", "Damage lost");
    auto bytes = builder.Build();
    bytes.resize(bytes.size() - 3);
    samples::WriteFileBytes(folder / "a.big", bytes);
    ASSERT_TRUE(archive.Open(folder / "a.big"));
    const std::vector<int> all = {0, 1, 2, 3, 4};
    const std::string bigLine = std::string(1 << 20, 'x').substr(101, (1 << 20) - 104) + "Damage = 5";

    struct Case
    {
        ContentSearchOptions options;
        std::vector<std::string> found;
    };
    // A vector, not an array: GCC 12 at -O3 warns falsely about the strings of a half-built array.
    const std::vector<Case> cases = {
        {{"Damage", false, false}, {"0:0:Damage = 1", "0:2:Damage = 2 Damage", "1:1:" + bigLine, "3:binary:"}},
        {{"damage", false, true},
         {"0:0:Damage = 1", "0:2:Damage = 2 Damage", "1:1:" + bigLine, "1:3:DAMAGE", "2:binary:", "3:binary:"}},
        {{"Damage = [0-9]$", true, false}, {"0:0:Damage = 1", "1:1:" + bigLine}},
        {{"^(armor|no)$", true, true}, {"0:1:No", "1:2:Armor"}},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto search = ContentSearch::Create(c.options, error);
        ASSERT_TRUE(search) << error;
        Recorder recorder;
        const auto summary = search->Run(archive, all, recorder);
        EXPECT_EQ(recorder.found, c.found) << c.options.pattern;
        EXPECT_EQ(recorder.problems, std::vector<int>{4});
        EXPECT_EQ(summary.matches, c.found.size());
        EXPECT_FALSE(summary.cancelled);
    }

    // Cancelling between the pieces of the large entry stops at once.
    std::string error;
    const auto search = ContentSearch::Create({"Damage", false, false}, error);
    Recorder cancelling;
    cancelling.cancelAt = 3;
    EXPECT_TRUE(search->Run(archive, all, cancelling).cancelled);
    EXPECT_EQ(cancelling.found.size(), 2u);
    for (const char* bad : {"", "a\nb"})
        EXPECT_FALSE(ContentSearch::Create({bad, false, false}, error));
    EXPECT_FALSE(ContentSearch::Create({"(unclosed", true, false}, error));
    EXPECT_NE(error.find("regular expression"), std::string::npos);
}

TEST_F(EntryTable, AReadOnlyCopyKeepsTheTableAndHeldBytesWhileTheSourceChanges)
{
    Open(BigArchiveBuilder().Add("a.ini", "old").Add("b.ini", "b"));
    ASSERT_TRUE(archive.SetEntryData(0, reinterpret_cast<const std::uint8_t*>("new"), 3));
    CBIGFile copy(prompt);
    ASSERT_TRUE(copy.OpenCopyForReading(archive));
    ASSERT_TRUE(archive.DeleteEntry(0));
    EXPECT_EQ(test::Contents(copy),
              (decltype(test::Contents(copy)){{"a.ini", samples::Bytes("new")}, {"b.ini", samples::Bytes("b")}}));

    // A file replaced on disk since it was read is not the file the table describes.
    BigArchiveBuilder().Add("other", "x").WriteTo(folder / "a.big");
    EXPECT_FALSE(copy.OpenCopyForReading(archive));
}

} // namespace
} // namespace kestrel
