// Set File Format, Quick Save, Save and Save As through the menu.
#include "ArchiveCommandsFixture.h"

#include <algorithm>

namespace kestrel {
using testing::HasSubstr;

namespace {

using namespace test;

TEST_F(ArchiveCommandsTest, SetFileFormatChecksAtOnceAndChangesTheFileAtTheNextSave)
{
    Open();
    const auto path = std::filesystem::path(Document().PathName().toStdU16String());
    Trigger(Command::FormatBIG4);
    EXPECT_TRUE(Main().Action(Command::FormatBIG4)->isChecked());
    EXPECT_FALSE(Main().Action(Command::FormatBIGF)->isChecked());
    EXPECT_TRUE(Document().IsModified());
    EXPECT_EQ(ReadFileBytes(path)[3], 'F');

    Trigger(Command::FileQuickSave);
    EXPECT_EQ(ReadFileBytes(path)[3], '4');
    EXPECT_FALSE(Document().IsModified());
    EXPECT_EQ(dialogs.progressLabels, std::vector<std::string>{"Saving test.big..."});
}

TEST_F(ArchiveCommandsTest, QuickSaveOfANewDocumentAsksForAPathAndLaterQuickSavesWriteTheSaveAsFile)
{
    ASSERT_TRUE(harness.Start());
    const auto first = harness.folder / "first.big";
    const auto second = harness.folder / "second.big";
    dialogs.names = {"", "later.ini"};
    dialogs.paths = {first, second};
    Trigger(Command::EditAddEmptyFile);
    Trigger(Command::FileQuickSave);
    ASSERT_TRUE(std::filesystem::exists(first));
    EXPECT_FALSE(Document().IsModified());

    Trigger(Command::FileSaveAs);
    Trigger(Command::EditAddEmptyFile);
    Trigger(Command::FileQuickSave);

    EXPECT_EQ(dialogs.asked[1], "ArchivePath: ");
    FakePrompt quiet;
    CBIGFile check(quiet);
    ASSERT_TRUE(check.Open(second));
    EXPECT_GE(check.FindEntry("later.ini"), 0);
    ASSERT_TRUE(check.Open(first));
    EXPECT_EQ(check.FindEntry("later.ini"), -1);
    EXPECT_EQ(Document().PathName().toStdString(), second.string());
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, SaveAsOfAnUnknownMagicAsksOnlyAtOpeningAndKeepsTheEntries)
{
    BigArchiveBuilder odd;
    odd.magic = "BIGX";
    odd.Add("data\\a.ini", "a").Add("data\\b.ini", "b");
    harness.prompt.Answer({true}); // try to load the unknown format
    Open(odd);
    const auto copy = harness.folder / "copy.big";
    dialogs.paths = {copy};
    Trigger(Command::FileSaveAs);

    const auto questions = std::count_if(harness.prompt.shown.begin(), harness.prompt.shown.end(),
                                         [](const FakePrompt::Shown& shown) { return shown.question; });
    EXPECT_EQ(questions, 0) << "the unknown magic was accepted at opening; saving must not ask again";
    EXPECT_EQ(harness.prompt.unscriptedQuestions, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"data\\a.ini", "data\\b.ini"}));
    EXPECT_EQ(Content("data\\b.ini"), "b");
    EXPECT_EQ(Archive().GetPath(), copy);
    EXPECT_EQ(ReadFileBytes(copy)[3], 'X');
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, AFailedSaveSaysSoAndKeepsTheDocumentModified)
{
    Open();
    dialogs.names = {""};
    dialogs.paths = {harness.folder / "missing" / "out.big"};
    Trigger(Command::EditAddEmptyFile);
    Trigger(Command::FileSaveAs);

    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_THAT(harness.prompt.shown[0].text, HasSubstr("not been saved"));
    EXPECT_TRUE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, SaveClosesEveryTextureArchiveBeforeWritingAndReopensThemAfter)
{
    Open();
    ArchiveDocument& saved = Document();
    CChildFrame* other = harness.App().OpenDocumentFile(harness.WriteArchive(BigArchiveBuilder(), "other.big"));
    ASSERT_NE(other, nullptr);
    CQuartoDoc& otherDoc = other->Document().Doc();
    ASSERT_TRUE(otherDoc.GetGameTextureArchive().Open(harness.folder / "other.big"));
    const auto target = harness.folder / "saved.big";
    std::vector<std::pair<bool, bool>> reopened; // (texture archive was closed, target written)
    otherDoc.SetTextureArchiveOpener([&](CQuartoDoc& doc) {
        reopened.emplace_back(!doc.GetGameTextureArchive().HasFile(), std::filesystem::exists(target));
    });
    dialogs.paths = {target};
    harness.App().OnFileSave(Main().FindFrameForPath(saved.PathName()), true);

    EXPECT_EQ(reopened, (std::vector<std::pair<bool, bool>>{{true, true}}));
}

} // namespace
} // namespace kestrel
