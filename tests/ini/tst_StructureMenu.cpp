#include "ini/StructureMenu.h"

#include "ini/CIniBlock.h"
#include "ini/IniObjectCache.h"
#include "ini/StructureConfig.h"
#include "ini/StructureMenuModel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace kestrel;
namespace id = StructureCommand;

namespace {

constexpr const char* kConfiguration = R"(Games
  ZeroHour
    ForcedObjects
      Body =
      Behavior =
    End
    INIStructure
      Object
        KindOf = Lists KindOfs #flags
        Weapon = Named Objects::Weapon
        Armor = AppendedData Objects::Armor Other::Armor
        Locomotor = Direct Set #x
        Body Specified ActiveBody ModuleTag_01
          MaxHealth = 100
        End
        Body Specified Hidden_decl
        End
        Behavior Specified Slow ModuleTag_#02
        End
      End
      Item Lists Slots
      End
      Picker Selects Slots
      End
    End
    Lists
      KindOfs
        INFANTRY =
        VEHICLE =
        STRUCTURE =
      End
      Slots
        A =
        B =
      End
    End
  End
End
)";

constexpr const char* kEntry = "Object Tank\r\n"                        // 0
                               "  KindOf = VEHICLE FOO ; remark\r\n"   // 1
                               "  Weapon = Primary Gun1\r\n"           // 2
                               "  Armor = Old Keep This\r\n"           // 3
                               "  Body = ActiveBody ModuleTag_01\r\n"  // 4
                               "    MaxHealth = 5\r\n"                 // 5
                               "  End\r\n"                             // 6
                               "\r\n"                                  // 7
                               "End\r\n"                               // 8
                               "\r\n"                                  // 9
                               "Item = A\r\n"                          // 10
                               "End\r\n"                               // 11
                               "Picker\r\n"                            // 12
                               "End\r\n";                              // 13

class StructureMenuTest : public ::testing::Test
{
protected:
    StructureMenuTest()
    {
        configuration.ParseText(kConfiguration);
        game = FindGameBlock(configuration, GameKind::ZeroHour);
    }

    /// Parses `text` as the editor does and works out the menu at `line`.
    StructureOffer Offer(std::string text, int line)
    {
        entry = std::move(text);
        root = std::make_unique<CIniBlock>(StructureConfig::FromGameBlock(game));
        root->ParseText(entry);
        return MakeStructureOffer(*root, game, line, [this](std::string_view folder, std::string_view type) {
            return objectNames[std::string(folder) + "::" + std::string(type)];
        });
    }

    /// The entry after the command `command` at `line`; the entry unchanged when nothing is done.
    std::string After(int line, int command, std::string text = kEntry)
    {
        const StructureOffer offer = Offer(std::move(text), line);
        const auto edit = StructureCommandEdit(offer, entry, command);
        return edit ? ApplyTextEdit(entry, *edit) : entry;
    }

    /// The menu as one line: texts in order, "*" after a checked entry, a popup's entries in braces
    /// down to `depth` levels (0: all).
    static std::string Dump(const std::vector<MenuEntry>& entries, int depth = 0)
    {
        std::string out;
        for (const MenuEntry& item : entries)
            out += (out.empty() ? "" : ", ") + item.text + (item.checked ? "*" : "") +
                   (item.entries.empty() || depth == 1 ? "" : " {" + Dump(item.entries, depth - 1) + "}");
        return out;
    }

    CIniBlock configuration;
    const CIniBlock* game = nullptr;
    std::unique_ptr<CIniBlock> root;
    std::string entry;
    std::map<std::string, std::vector<std::string>> objectNames;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST_F(StructureMenuTest, TheMenuFollowsTheDescriptionOfTheBlockUnderTheCaret)
{
    StructureOffer offer = Offer(kEntry, 2);
    ASSERT_EQ(offer.block->GetName(), "Object");
    const std::vector<MenuEntry> menu = StructureMenuEntries(offer);
    // No object names known, so no Set Value; declarations keep their index but are not offered.
    ASSERT_EQ(Dump(menu), "Add Module {Behavior = Slow, Body = ActiveBody}, Add Value {Armor, KindOf, Locomotor, Weapon}, Go To");
    EXPECT_EQ(menu[0].entries[1].command, id::AddModule + 1);
    EXPECT_EQ(menu[2].command, id::GoTo);

    // Inside a module the module's own description answers; outside every block the top level.
    EXPECT_EQ(Dump(StructureMenuEntries(Offer(kEntry, 5))), "Add Value {MaxHealth}, Go To");
    EXPECT_EQ(Dump(StructureMenuEntries(Offer(kEntry, 9))), "Add Module {Item, Object, Picker}, Go To");
    // An object the description does not know, or a game without a description: only Go To.
    EXPECT_EQ(Dump(StructureMenuEntries(Offer("Unknown X\r\n  A = 1\r\nEnd\r\n", 1))), "Go To");
    EXPECT_EQ(Dump(StructureMenuEntries(MakeStructureOffer(*root, nullptr, 9, {}))), "Go To");
}

TEST_F(StructureMenuTest, ListValuesAreCheckedByTheirWordsAndPickingTogglesAnEntry)
{
    const StructureOffer offer = Offer(kEntry, 1);
    ASSERT_TRUE(offer.SetValueIsList());
    const std::vector<MenuEntry> setValue = StructureMenuEntries(offer)[2].entries;
    ASSERT_EQ(Dump(setValue), "INFANTRY, STRUCTURE, VEHICLE*");
    EXPECT_EQ(setValue[0].command, id::SetListEntry);
    EXPECT_TRUE(setValue[2].checkable);

    // Unchecked entries are appended, checked ones removed; words outside the list are dropped
    // and the remark stays.
    EXPECT_EQ(After(1, id::SetListEntry + 1), Replaced(kEntry, "VEHICLE FOO ; remark", "VEHICLE STRUCTURE ; remark"));
    EXPECT_EQ(After(1, id::SetListEntry + 2), Replaced(kEntry, "VEHICLE FOO ; remark", "; remark"));
    // "Lists" descriptions are their own template: Add Value writes them as they stand.
    EXPECT_EQ(After(0, id::AddValue + 1),
              Replaced(kEntry, "Tank\r\n", "Tank\r\n    KindOf = Lists KindOfs ;flags\r\n"));
}

TEST_F(StructureMenuTest, ObjectNamesReplaceTheValueKeepingNamedAndAppendedWords)
{
    objectNames["Objects::Weapon"] = {"Gun2", "Gun3"};
    objectNames["Objects::Armor"] = {"Plate"};
    objectNames["Other::Armor"] = {"Cloth"};
    const StructureOffer offer = Offer(kEntry, 3);
    ASSERT_FALSE(offer.SetValueIsList());
    const std::vector<MenuEntry> names = StructureMenuEntries(offer)[2].entries;
    ASSERT_EQ(Dump(names), "Plate, Cloth");
    EXPECT_EQ(names[1].command, id::SetObjectName + 1);

    EXPECT_EQ(After(2, id::SetObjectName + 1), Replaced(kEntry, "Primary Gun1", "Primary Gun3"));
    EXPECT_EQ(After(3, id::SetObjectName + 1), Replaced(kEntry, "Old Keep This", "Cloth Keep This"));
    EXPECT_EQ(After(3, id::SetObjectName + 2), kEntry) << "no third choice";
}

TEST_F(StructureMenuTest, InsertedTemplatesAreIndentedToTheirPlace)
{
    // A blank line right below a top-level header: the blank line's own indentation plus
    // three blanks, and the blank line moves below the module.
    EXPECT_EQ(After(1, id::AddModule + 1, "Object Plane\r\n  \r\nEnd\r\n"),
              "Object Plane\r\n     Body = ActiveBody ModuleTag_01\r\n\r\n     End\r\n  \r\nEnd\r\n");
    // Below a value line: that line's indentation; "#" in a module's rest is ";".
    EXPECT_EQ(After(2, id::AddModule), Replaced(kEntry, "Gun1\r\n", "Gun1\r\n  Behavior = Slow ModuleTag_;02\r\n\r\n  End\r\n"));
    // A blank line deeper in a block lines up one blank inside the block's header.
    EXPECT_EQ(After(7, id::AddValue + 2), Replaced(kEntry, "  End\r\n\r\n", "  End\r\n Locomotor Set ;x\r\n\r\n"));
    // A module's header line: four blanks further in for a value.
    EXPECT_EQ(After(4, id::AddValue), Replaced(kEntry, "01\r\n", "01\r\n      MaxHealth = 100\r\n"));
    // Inserted lines use the entry's own line end.
    EXPECT_EQ(After(0, id::AddValue + 2, "Object A\n  X = 1\nEnd\n"), "Object A\n    Locomotor Set ;x\n  X = 1\nEnd\n");
    // A last line without a line end gets one before the new text; an entry without any line
    // end uses CR LF. Outside every block the top-level types are offered, Lists templates as
    // they stand.
    EXPECT_EQ(After(0, id::AddModule, "Junk"), "Junk\r\nItem = Slots\r\n\r\nEnd\r\n");
}

TEST_F(StructureMenuTest, HeaderListsAreSetOnTheHeaderLine)
{
    EXPECT_EQ(Dump(StructureMenuEntries(Offer(kEntry, 10))), "Set = List {A*, B}, Go To");
    EXPECT_EQ(After(10, id::SetHeaderList + 1), Replaced(kEntry, "Item = A\r\n", "Item = A B \r\n"));
    // A Selects header holds one entry; a header without "=" gets one.
    EXPECT_EQ(After(12, id::SetHeaderList + 1), Replaced(kEntry, "Picker\r\n", "Picker = B\r\n"));
}

TEST_F(StructureMenuTest, LongMenusAreSplitIntoPopupsAndColumns)
{
    std::string description = "Games\n ZeroHour\n  INIStructure\n   Big\n";
    for (int i = 0; i < 120; ++i)
        description += "    Key" + std::to_string(1000 + i) + " = 1\n";
    for (int i = 0; i < 51; ++i)
        description += "    M" + std::to_string(100 + i) + "\n    End\n";
    description += "   End\n  End\n End\nEnd\n";
    configuration.ParseText(description);
    game = FindGameBlock(configuration, GameKind::ZeroHour);

    const std::vector<MenuEntry> menu = StructureMenuEntries(Offer("Big\nEnd\n", 0));
    const std::vector<MenuEntry>& values = menu[1].entries;
    ASSERT_EQ(values.size(), 120u);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(values[i].newColumn, i == 30 || i == 60 || i == 90) << i;
    EXPECT_EQ(Dump(menu[0].entries, 1), "Modules M100 to M149, Modules M150 to M150");
    EXPECT_EQ(menu[0].entries[1].entries[0].command, id::AddModule + 50);
}

TEST_F(StructureMenuTest, GoToReachesEveryBlockInPopupsOfFifty)
{
    std::string text;
    for (int i = 0; i < 51; ++i)
        text += "O " + std::to_string(100 + i) + "\nEnd\n";
    Offer(text, 0);
    GoToMenu goTo = BuildGoToMenu(*root, root->GetChild(0));
    ASSERT_EQ(Dump(goTo.entries, 1), "Modules \"O 100 - current\" to \"O 149\", Modules \"O 150\" to \"O 150\"");
    ASSERT_EQ(goTo.blocks.size(), 51u);
    EXPECT_EQ(goTo.entries[1].entries[0].command, id::GoToBlock + 50);
    EXPECT_EQ(goTo.blocks[50]->GetStartLine(), 100);

    // A block with children is a popup whose first item is the block itself; tabs read as blanks.
    Offer("Object\tTank\n  Body = ActiveBody M\n  End\nEnd\n", 1);
    goTo = BuildGoToMenu(*root, nullptr);
    ASSERT_EQ(Dump(goTo.entries), "Object Tank {Object Tank, Body = ActiveBody M}");
    EXPECT_EQ(goTo.blocks[1]->GetStartLine(), 1);
}

TEST(GoToMenu, StopsAtNineThousandBlocks)
{
    std::string text;
    for (int i = 0; i < 9001; ++i)
        text += "O\nEnd\n";
    CIniBlock root;
    root.ParseText(text);
    const GoToMenu goTo = BuildGoToMenu(root, nullptr);
    EXPECT_EQ(goTo.blocks.size(), 9000u);
    EXPECT_EQ(MenuItemsInOrder(goTo.entries).back()->command, id::GoToBlock + 8999);
}

/// An archive of INI entries in memory that counts its reads.
struct FakeSource : IIniEntrySource
{
    FakeSource(std::string p, std::vector<std::pair<std::string, std::string>> e) : prefix(std::move(p)), entries(std::move(e)) {}
    std::string prefix;
    std::vector<std::pair<std::string, std::string>> entries;
    int reads = 0;

    std::string KeyPrefix() const override { return prefix; }
    int EntryCount() const override { return static_cast<int>(entries.size()); }
    const std::string& EntryName(int index) const override { return entries[static_cast<size_t>(index)].first; }
    std::optional<std::string> EntryText(int index) override
    {
        ++reads;
        return entries[static_cast<size_t>(index)].second;
    }
};

TEST(IniObjectCache, NamesComeFromMatchingIniEntriesInOrderAndEachEntryIsParsedOnce)
{
    FakeSource mod("C:\\Mod.big\\", {{"Data\\INI\\Weapon.ini", "Weapon B\nEnd\nArmor X\nEnd\nWeapon A\nEnd\n"},
                                     {"data\\ini\\weapon.txt", "Weapon NotIni\nEnd\n"},
                                     {"data\\other\\w.ini", "Weapon Elsewhere\nEnd\n"}});
    FakeSource game("C:\\Game\\ini.big\\", {{"data\\ini\\weapon.ini", "Weapon B\nEnd\n"}});
    std::vector<IIniEntrySource*> sources{&mod, &game};
    IniObjectCache cache;
    EXPECT_EQ(GatherObjectNames("INI\\", "Weapon", sources, cache, nullptr), (std::vector<std::string>{"B", "A", "B"}));
    EXPECT_EQ(GatherObjectNames("ini\\", "Armor", sources, cache, nullptr), std::vector<std::string>{"X"});
    EXPECT_EQ(mod.reads, 1);
    EXPECT_EQ(cache.Size(), 2u);

    cache.DropEntry("c:\\mod.big", "data\\ini\\weapon.ini");
    EXPECT_EQ(cache.Size(), 1u);
    GatherObjectNames("ini\\", "Weapon", sources, cache, nullptr);
    EXPECT_EQ(mod.reads, 2) << "a dropped entry is parsed again";
    cache.DropArchive("C:\\GAME\\ini.big");
    EXPECT_EQ(cache.Size(), 1u);
}

} // namespace
