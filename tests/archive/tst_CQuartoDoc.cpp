#include "archive/CQuartoDoc.h"
#include "base/FileLock.h"

#include "ArchiveTestHelpers.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

/// Records what the document tells its views, in order, into a shared event log.
class RecordingView : public IDocumentObserver
{
public:
    RecordingView(std::vector<std::string>& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    void OnDocumentUpdate(IDocumentObserver*) override { m_log.push_back(m_name + " update"); }
    void OnDocumentBroadcast(DocumentBroadcast request) override
    {
        m_log.push_back(m_name + (request == DocumentBroadcast::CloseTextureArchives ? " close" : " reopen"));
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

class CQuartoDocTest : public ::testing::Test
{
protected:
    TempFolder folder;
    FakePrompt prompt;
    CQuartoDoc doc{prompt};
    std::vector<std::string> log;
    RecordingView view{log, "view"};
    std::filesystem::path path = ThreeEntries().WriteTo(folder / "mod.big");

    CQuartoDocTest()
    {
        doc.AddObserver(&view);
        doc.SetTextureArchiveOpener([this](CQuartoDoc&) { log.push_back("open textures"); });
    }
};

} // namespace

TEST_F(CQuartoDocTest, ANewDocumentIsAnEmptyArchiveInEditModeThatQuickSaveCannotWrite)
{
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(log, std::vector<std::string>{"open textures"});
    EXPECT_EQ(doc.ActivateEditMode(), 1);
    EXPECT_TRUE(prompt.shown.empty()) << "a new document does not ask for edit mode";

    ASSERT_TRUE(doc.GetArchive().AddEntryBytes("a.txt", Bytes("x")));
    doc.SetModifiedFlag();
    EXPECT_FALSE(doc.QuickSave());
    EXPECT_TRUE(doc.IsModified()) << "nothing was saved, so the changes stay marked";
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Quick Save");
    EXPECT_NE(prompt.shown[0].text.find("Save As"), std::string::npos) << prompt.shown[0].text;
}

TEST_F(CQuartoDocTest, OpeningResetsTheSelectionRemembersTheFolderAndAsksForEditModeUntilYes)
{
    doc.SetSelectedEntry(1);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.GetSelectedEntry(), -1);
    EXPECT_EQ(doc.GetArchiveFolder(), folder.Path().string() + "/");
    EXPECT_EQ(doc.GetArchive().GetEntryCount(), 3);
    EXPECT_EQ(log, (std::vector<std::string>{"open textures", "view update"}));

    prompt.Answer({false, true});
    EXPECT_EQ(doc.ActivateEditMode(), 0);
    EXPECT_EQ(doc.ActivateEditMode(), 1);
    EXPECT_EQ(doc.ActivateEditMode(), 1);
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[1].caption, "Activate EditMode");

    ASSERT_TRUE(doc.OnOpenDocument(folder / "missing.big"));
    EXPECT_EQ(doc.GetArchive().GetEntryCount(), 0);
    EXPECT_NE(prompt.shown.back().text.find("missing.big"), std::string::npos);
}

TEST_F(CQuartoDocTest, ThePreviewHoldsTheSelectedBytesAndAsksOnlyAboveTenMebibytes)
{
    ASSERT_TRUE(doc.OnOpenDocument(path));
    CBIGFile& archive = doc.GetArchive();
    const Bytes8 limit(CQuartoDoc::HugeEntrySize, 'l');
    ASSERT_TRUE(archive.SetEntryData(0, limit.data(), static_cast<std::int64_t>(limit.size())));
    ASSERT_TRUE(archive.SetEntryData(2, limit.data(), static_cast<std::int64_t>(limit.size()) - 1));
    ASSERT_TRUE(archive.AddEntryBytes("zz.big", Bytes8(CQuartoDoc::HugeEntrySize + 1, 'h')));

    doc.SetSelectedEntry(0);
    ASSERT_TRUE(doc.LoadSelectedEntry());
    EXPECT_TRUE(prompt.shown.empty()) << "exactly 10 MB is previewed without asking";
    EXPECT_EQ(*doc.GetPreviewBuffer(), limit);

    doc.SetSelectedEntry(3);
    prompt.Answer({false, true});
    EXPECT_FALSE(doc.LoadSelectedEntry());
    EXPECT_EQ(doc.GetPreviewBuffer(), nullptr);
    EXPECT_EQ(prompt.shown.at(0).text, "File bigger as 10 MB, preview?");
    EXPECT_EQ(prompt.shown[0].caption, "Huge file");
    ASSERT_TRUE(doc.LoadSelectedEntry());
    EXPECT_EQ(doc.GetPreviewBuffer()->size(), CQuartoDoc::HugeEntrySize + 1u);

    ASSERT_TRUE(doc.DeleteEntry(3));
    EXPECT_EQ(doc.GetSelectedEntry(), -1);
    EXPECT_EQ(doc.GetPreviewBuffer(), nullptr);
}

TEST_F(CQuartoDocTest, TheLockListComparesWithoutCaseAndUnlockRemovesEveryOccurrence)
{
    for (const char* name : {"Data\\INI\\Object.ini", "art\\a.tga", "data\\ini\\object.INI"})
        doc.LockEntry(name);
    EXPECT_TRUE(doc.IsEntryLocked("DATA\\ini\\object.ini"));
    EXPECT_FALSE(doc.IsEntryLocked("data\\ini\\object"));
    doc.UnlockEntry("data\\ini\\OBJECT.ini");
    EXPECT_FALSE(doc.IsEntryLocked("data\\ini\\object.ini"));
    EXPECT_EQ(doc.GetLockList(), std::vector<std::string>{"art\\a.tga"});
}

TEST_F(CQuartoDocTest, SavingClosesTextureArchivesWritesAndReopensThem)
{
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_TRUE(doc.GetGameTextureArchive().Open(ThreeEntries().WriteTo(folder / "textures.big")));
    ASSERT_TRUE(doc.GetArchive().AddEntryBytes("new.txt", Bytes("new")));
    doc.SetModifiedFlag();
    RecordingView other(log, "other");
    doc.AddObserver(&other);
    log.clear();

    const auto target = folder / "saved.big";
    ASSERT_TRUE(doc.OnSaveDocument(target));
    EXPECT_EQ(log, (std::vector<std::string>{"view close", "other close", "view reopen", "other reopen"}));
    EXPECT_FALSE(doc.GetGameTextureArchive().HasFile());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), target);
    CBIGFile reread(prompt);
    ASSERT_TRUE(reread.Open(target));
    EXPECT_EQ(reread.GetEntryBytes(2), Bytes("new"));
    EXPECT_TRUE(prompt.shown.empty());

    log.clear();
    doc.UpdateAllViews(&view);
    EXPECT_EQ(log, std::vector<std::string>{"other update"}) << "the sender is not told";
}

TEST_F(CQuartoDocTest, AFailedSaveKeepsTheChangesMarkedTellsTheUserAndStillReopensTextures)
{
    ASSERT_TRUE(doc.OnOpenDocument(path));
    doc.SetModifiedFlag();
    std::vector<DocumentBroadcast> routed;
    doc.SetBroadcastRouter([&](DocumentBroadcast request) { routed.push_back(request); });
    log.clear();

    EXPECT_FALSE(doc.OnSaveDocument(folder / "no folder" / "x.big"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(routed, (std::vector<DocumentBroadcast>{DocumentBroadcast::CloseTextureArchives,
                                                      DocumentBroadcast::ReopenTextureArchives}));
    EXPECT_TRUE(log.empty()) << "with a router the program decides who hears the requests";
    EXPECT_NE(prompt.shown.at(0).text.find("x.big"), std::string::npos) << prompt.shown[0].text;
    EXPECT_EQ(doc.GetPathName(), path);
}

TEST_F(CQuartoDocTest, SavesAskBeforeOverwritingAFileAnotherProgramChangedAndWaitForItsLock)
{
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_TRUE(doc.GetArchive().AddEntryBytes("mine.txt", Bytes("mine")));
    // Another program saved its own version meanwhile (a whole save: a new file under the name).
    BigArchiveBuilder theirs = ThreeEntries();
    theirs.Add("theirs.txt", "theirs");
    theirs.WriteTo(folder / "theirs.big");
    std::filesystem::rename(folder / "theirs.big", path);

    prompt.Answer({false});
    EXPECT_FALSE(doc.QuickSave());
    EXPECT_EQ(prompt.shown.back().caption, "Quick Save");
    EXPECT_NE(prompt.shown.back().text.find("changed by another program"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(path), theirs.Build()) << "No keeps the other program's work";

    prompt.Answer({true});
    ASSERT_TRUE(doc.QuickSave());
    CBIGFile reopened(prompt);
    ASSERT_TRUE(reopened.Open(path));
    EXPECT_GE(reopened.FindEntry("mine.txt"), 0) << "Yes writes the archive under its name, not into the old file";
    EXPECT_EQ(reopened.GetEntryCount(), 4);
    const size_t questions = prompt.shown.size();
    ASSERT_TRUE(doc.QuickSave());
    EXPECT_EQ(prompt.shown.size(), questions) << "after its own save the file is as the document knows it";

    FileLock other;
    ASSERT_TRUE(other.Acquire(path, std::chrono::milliseconds(0)));
    doc.SetLockWait(std::chrono::milliseconds(50));
    EXPECT_FALSE(doc.QuickSave());
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_NE(prompt.shown.back().text.find("another program is changing it"), std::string::npos)
        << prompt.shown.back().text;
    EXPECT_EQ(prompt.unscriptedQuestions, 0);
}
