#include "archive/EditorTable.h"
#include "archive/ExternalEdit.h"

#include <gtest/gtest.h>

#include <map>

using namespace kestrel;

namespace {

/// The numbered values as a settings group holds them; an absent index reads as nullopt.
class MemoryStore : public IEditorTableStore
{
public:
    std::optional<std::string> ReadEditorValue(int index) const override
    {
        const auto found = values.find(index);
        return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    void WriteEditorValue(int index, const std::string& value) override { values[index] = value; }

    std::map<int, std::string> values;
};

std::vector<EditorPair> Loaded(MemoryStore& store)
{
    EditorTable table(store);
    table.LoadEditors();
    return table.Pairs();
}

} // namespace

TEST(EditorTable, LookupIsByCaseInsensitiveSubstringFirstPairWinsAndFallsBackToNotepad)
{
    MemoryStore store;
    store.values = {{0, ".ini first"}, {1, ".INI second"}, {2, ".w3d viewer"}};
    EditorTable table(store);
    table.LoadEditors();
    EXPECT_EQ(table.FindEditor("KesTempa.ini.bak"), "first") << "a substring, not a suffix";
    EXPECT_EQ(table.FindEditor("KesTempWEAPON.INI"), "first");
    EXPECT_EQ(table.FindEditor("KesTempmodel.W3D"), "viewer");
    EXPECT_EQ(table.FindEditor("KesTempreadme.txt"), "notepad.exe");
    EXPECT_EQ(table.GetEditorAt(1), (EditorPair{"second", ".INI"}));
    EXPECT_EQ(table.GetEditorAt(3), (EditorPair{"UNKNOWN ERROR", ""}));
}

TEST(EditorTable, MalformedValuesAreSkippedTheFirstEmptyValueEndsReadingAndSavingLeavesNoStaleValue)
{
    MemoryStore store;
    store.values = {{0, "noblank"}, {1, " no-extension"}, {2, ".txt "}, {3, ".ini C:\\Program Files\\Ed\\ed.exe"},
                    {4, ""},        {5, ".png never-read"}};
    EditorTable table(store);
    table.LoadEditors();
    EXPECT_EQ(table.Pairs(), (std::vector<EditorPair>{{"C:\\Program Files\\Ed\\ed.exe", ".ini"}}));
    table.SaveEditors();
    EXPECT_EQ(store.values, (std::map<int, std::string>{
                                {0, ".ini C:\\Program Files\\Ed\\ed.exe"}, {1, ""}, {2, ""}, {3, ""}, {4, ""}, {5, ".png never-read"}}));

    // Setting changes the pair of exactly that extension or appends one, and saves at once.
    table.SetEditor("new", ".ini");
    table.SetEditor("upper", ".INI"); // differs in case only: a second pair
    table.SetEditor("anything", "");  // no check of the texts
    EXPECT_EQ(table.Pairs(), (std::vector<EditorPair>{{"new", ".ini"}, {"upper", ".INI"}, {"anything", ""}}));
    EXPECT_EQ(store.values, (std::map<int, std::string>{
                                {0, ".ini new"}, {1, ".INI upper"}, {2, " anything"}, {3, ""}, {4, ""}, {5, ".png never-read"}}));
    // The pair with the empty extension cannot be read back: it is skipped, the rest survives.
    EXPECT_EQ(Loaded(store), (std::vector<EditorPair>{{"new", ".ini"}, {"upper", ".INI"}}));

    store.values = {{0, "bad"}}; // nothing usable: the defaults, not written until a pair is set
    EXPECT_EQ(Loaded(store), EditorTable::DefaultPairs());
    EXPECT_EQ(store.values.size(), 1u);
}

TEST(ExternalEdit, TheTemporaryFileIsNamedFromTheLastPartAndTheEditorCommandLineIsSplitUp)
{
    EXPECT_EQ(ExternalEditFileName("data/ini\\Weapon.INI"), "KesTempWeapon.INI");
    EXPECT_EQ(ExternalEditFileName("..\\..\\x"), "KesTempx");

    const std::string file = "/tmp/k/KesTempa b.ini";
    const auto noProgramFile = [](const std::string&) { return false; };
    using Args = std::vector<std::string>;

    EXPECT_EQ(BuildEditorCommand("  code --wait  ", file, noProgramFile), (EditorCommand{"code", Args{"--wait", file}}));
    EXPECT_EQ(BuildEditorCommand("\"C:\\Program Files\\Ed\\ed.exe\" -n \"two words\"", file, noProgramFile),
              (EditorCommand{"C:\\Program Files\\Ed\\ed.exe", Args{"-n", "two words", file}}));
    EXPECT_EQ(BuildEditorCommand("ed --file=%1 --again %1", file, noProgramFile),
              (EditorCommand{"ed", Args{"--file=" + file, "--again", file}}));
    EXPECT_EQ(BuildEditorCommand("ed \"\" x", file, noProgramFile), (EditorCommand{"ed", Args{"", "x", file}}));

    // A program path with blanks typed without quotes is one program when such a file exists.
    const auto programFile = [](const std::string& path) { return path == "/opt/My Editor/ed"; };
    EXPECT_EQ(BuildEditorCommand("/opt/My Editor/ed", file, programFile), (EditorCommand{"/opt/My Editor/ed", Args{file}}));
    EXPECT_EQ(BuildEditorCommand("/opt/My Editor/ed -w", file, programFile),
              (EditorCommand{"/opt/My", Args{"Editor/ed", "-w", file}}));

    EXPECT_FALSE(BuildEditorCommand("   ", file, noProgramFile));
    EXPECT_FALSE(BuildEditorCommand("\"\" --wait", file, noProgramFile));

    // Notepad falls back to the desktop's default application outside Windows.
    EXPECT_EQ(EditorCandidates("gedit"), std::vector<std::string>{"gedit"});
#ifdef _WIN32
    EXPECT_EQ(EditorCandidates("notepad.exe"), std::vector<std::string>{"notepad.exe"});
#else
    EXPECT_EQ(EditorCandidates("Notepad.EXE"), (std::vector<std::string>{"Notepad.EXE", "xdg-open"}));
#endif
}
