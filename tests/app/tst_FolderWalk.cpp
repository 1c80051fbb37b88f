// The Add Directory walk on a document without windows: names, per-folder questions, locks,
// names too long for an archive, cancelling, and the selection following its entry.
#include "ScriptedDialogs.h"

#include "app/EntryAdder.h"
#include "app/FolderWalk.h"
#include "archive/CQuartoDoc.h"
#include "support/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::BigArchiveBuilder;
using test::Bytes;
using test::WriteFileBytes;

class FolderWalkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BigArchiveBuilder archive;
        archive.Add("DATA\\A.INI", "old a").Add("data\\sub\\c.ini", "old c").Add("other.txt", "other");
        ASSERT_TRUE(document.OnOpenDocument(archive.WriteTo(folder / "test.big")));
    }

    void File(const std::string& relative, const std::string& text = "new")
    {
        WriteFileBytes(folder / "mods" / relative, Bytes(text));
    }

    /// Walks mods/data; true when it ran to the end.
    bool Walk()
    {
        EntryAdder adder(document, prompt);
        const bool completed = FolderWalk(adder, dialogs, prompt, progress).Run(folder / "mods" / "data");
        adder.Finish();
        return completed;
    }

    std::string Content(const std::string& name)
    {
        const auto bytes = archive().GetEntryBytes(archive().FindEntry(name));
        return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < archive().GetEntryCount(); ++i)
            names.push_back(archive().GetEntryName(i));
        return names;
    }

    CBIGFile& archive() { return document.GetArchive(); }

    test::TempFolder folder;
    test::FakePrompt prompt;
    test::ScriptedDialogs dialogs;
    test::RecordingProgress progress;
    CQuartoDoc document{prompt};
};

TEST_F(FolderWalkTest, NamesStartWithTheFolderAndEachFolderAsksUntilUseForAllIsTicked)
{
    File("data/a.ini", "new a");
    File("data/b.ini");
    File("data/sub/c.ini", "new c");
    File("data/sub/d.ini");
    File("data/zz.ini");
    archive().AddEntryBytes("data\\b.ini", Bytes("old b"));
    archive().AddEntryBytes("data\\sub\\d.ini", Bytes("old d"));
    // Yes with the box for data\, so b.ini is replaced silently; the subfolder asks again and its
    // No skips only the rest of data\sub (d.ini), while zz.ini in data\ is still added.
    dialogs.overwrites = {{true, true}, {false, false}};

    EXPECT_TRUE(Walk());

    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"Overwrite (use for all): data\\a.ini",
                                                       "Overwrite (use for all): data\\sub\\c.ini"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"data\\a.ini", "data\\b.ini", "data\\sub\\c.ini", "data\\sub\\d.ini",
                                                 "data\\zz.ini", "other.txt"}));
    EXPECT_EQ(Content("data\\a.ini"), "new a");
    EXPECT_EQ(Content("data\\b.ini"), "new");
    EXPECT_EQ(Content("data\\sub\\c.ini"), "old c");
    EXPECT_EQ(Content("data\\sub\\d.ini"), "old d");
    EXPECT_EQ(progress.lastTotal, 5u);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(FolderWalkTest, ALockedNameStopsItsFolderWithTheNameAsCaption)
{
    File("data/sub/c.ini");
    File("data/sub/e.ini");
    File("data/z.ini");
    document.LockEntry("DATA\\SUB\\C.INI");

    EXPECT_TRUE(Walk());

    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "You cannot replace this file, as it is currently locked");
    EXPECT_EQ(prompt.shown[0].caption, "data\\sub\\c.ini");
    EXPECT_EQ(Content("data\\sub\\c.ini"), "old c");
    EXPECT_EQ(archive().FindEntry("data\\sub\\e.ini"), -1);
    EXPECT_EQ(Content("data\\z.ini"), "new");
}

TEST_F(FolderWalkTest, NamesLongerThanAnArchiveHoldsAreToldByNameAndNotShortened)
{
    const std::string deep(250, 'x');
    File("data/" + deep + "/long.ini");
    File("data/ok.ini");

    EXPECT_TRUE(Walk());

    const std::string name = "data\\" + deep + "\\long.ini";
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_NE(prompt.shown[0].text.find("\"" + name + "\" has 264 characters"), std::string::npos);
    EXPECT_EQ(archive().GetEntryCount(), 4);
    EXPECT_EQ(Content("data\\ok.ini"), "new");
}

TEST_F(FolderWalkTest, CancellingKeepsWhatWasAddedInASortedTable)
{
    for (const char* name : {"data/f1.ini", "data/f2.ini", "data/f3.ini", "data/f4.ini"})
        File(name);
    progress.stopAfter = 2;

    EXPECT_FALSE(Walk());

    EXPECT_EQ(Names(), (std::vector<std::string>{"DATA\\A.INI", "data\\f1.ini", "data\\f2.ini", "data\\sub\\c.ini",
                                                 "other.txt"}));
}

TEST_F(FolderWalkTest, TheSelectionFollowsItsEntryThroughTheSortAndShowsItsNewBytes)
{
    File("data/0.ini");
    File("data/sub/c.ini", "new c");
    document.SetSelectedEntry(archive().FindEntry("data\\sub\\c.ini"));
    ASSERT_TRUE(document.LoadSelectedEntry());
    dialogs.overwrites = {{true, false}};

    EXPECT_TRUE(Walk());

    ASSERT_EQ(document.GetSelectedEntry(), archive().FindEntry("data\\sub\\c.ini"));
    EXPECT_EQ(document.GetSelectedEntry(), 2);
    ASSERT_NE(document.GetPreviewBuffer(), nullptr);
    EXPECT_EQ(*document.GetPreviewBuffer(), Bytes("new c"));
}

} // namespace
} // namespace kestrel
