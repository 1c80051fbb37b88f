#include "archive/EntryPaths.h"

#include <gtest/gtest.h>

using namespace kestrel;
namespace fs = std::filesystem;

TEST(EntryPaths, AFoldersEntriesAreNamedFromItsParentWithBackslashesAndNothingOutsideIt)
{
    const fs::path mods = fs::temp_directory_path() / "mods";
    EXPECT_EQ(EntryNameBaseOfFolder(mods / "data"), mods);
    EXPECT_EQ(EntryNameBaseOfFolder(mods / "data" / ""), mods) << "a trailing separator names the same folder";
    EXPECT_EQ(EntryNameBaseOfFolder(mods / "data" / "."), mods);
    EXPECT_EQ(EntryNameRelativeTo(mods / "data" / "ini" / "x.ini", EntryNameBaseOfFolder(mods / "data")),
              "data\\ini\\x.ini");

    // Relative names use backslashes and refuse files outside the base.
    const fs::path base = fs::temp_directory_path() / "base";
    EXPECT_EQ(EntryNameRelativeTo(base / "a" / "." / "b" / ".." / "c.ini", base), "a\\c.ini");
    EXPECT_EQ(EntryNameRelativeTo(base / ".." / "other" / "x.ini", base), std::nullopt);
    EXPECT_EQ(EntryNameRelativeTo(base, base), std::nullopt);
    EXPECT_EQ(EntryNameRelativeTo(fs::temp_directory_path() / "basement" / "x", base), std::nullopt);
}

TEST(EntryPaths, TheProposedNameOfAFileIsItsPathWithoutTheRoot)
{
#ifdef _WIN32
    EXPECT_EQ(ProposedEntryNameForFile("C:\\dir\\a.ini"), "dir\\a.ini");
    EXPECT_EQ(ProposedEntryNameForFile("C:\\a.ini"), "a.ini");
#else
    EXPECT_EQ(ProposedEntryNameForFile("/home/me/mods/data/ini/x.ini"), "home\\me\\mods\\data\\ini\\x.ini");
    EXPECT_EQ(ProposedEntryNameForFile("/a.ini"), "a.ini");
#endif
    EXPECT_EQ(EntryNameWithBackslashes("data/ini\\x.ini"), "data\\ini\\x.ini");
}

TEST(EntryPaths, ExtractionStaysInsideTheFolder)
{
    const fs::path out = fs::temp_directory_path() / "out";
    EXPECT_EQ(ExtractionPath(out, "data\\ini/./x.ini", nullptr), out / "data" / "ini" / "x.ini");
    EXPECT_EQ(ExtractionPath(out, "data\\\\x.ini", nullptr), out / "data" / "x.ini");
    EXPECT_EQ(ExtractionPath(out, "..x\\a..b", nullptr), out / "..x" / "a..b") << "dots inside names are harmless";

    const char* const escaping[] = {"..\\evil.ini", "data\\..\\..\\evil", "data/../../evil", "\\etc\\passwd",
                                    "/etc/passwd", "C:\\windows\\x.dll", "c:x.dll", "data\\", "..", "", "data\\.."};
    for (const char* name : escaping) {
        std::string reason;
        EXPECT_EQ(ExtractionPath(out, name, &reason), std::nullopt) << name;
        EXPECT_FALSE(reason.empty()) << name;
    }
}
