// Set File Format, Quick Save, Save and Save As through the menu, and a mod archive built
// entirely through the commands, read back with the core and checked by the command-line tool.
#include "ArchiveCommandsFixture.h"

#include <QProcess>

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

TEST_F(ArchiveCommandsTest, AModArchiveBuiltThroughTheCommandsReadsBackAndPassesTheToolsCheck)
{
    ASSERT_TRUE(harness.Start());
    harness.prompt.shown.clear(); // a build without a graphics device says so at start
    File("mymod/data/ini/weapon.ini", "Weapon A\r\nEnd\r\n");
    File("mymod/data/ini/armor.ini", "Armor B\r\nEnd\r\n");
    File("mymod/data/ini/obsolete.ini", "old");
    File("mymod/data/art/tex.tga", std::string(100, 't'));
    const auto target = harness.folder / "mymod.big";
    dialogs.paths = {harness.folder / "mymod" / "data", File("better_weapon.ini", "Weapon A2\r\nEnd\r\n"), target};
    dialogs.names = {"DATA\\INI\\WEAPON.INI", "data\\ini\\shield.ini"};
    dialogs.overwrites = {{true, false}};

    Trigger(Command::EditAddDirectory);
    Trigger(Command::EditAddFile); // replaces weapon.ini, regardless of case
    SelectRow(*Main().ActiveChild(), Archive().FindEntry("data\\ini\\armor.ini"));
    Trigger(Command::EditRenameFile);
    SelectRow(*Main().ActiveChild(), Archive().FindEntry("data\\ini\\obsolete.ini"));
    Trigger(Command::EditDeleteFile);
    Trigger(Command::FormatBIG4);
    Trigger(Command::FileSave); // a new document: asks for the path
    ASSERT_TRUE(harness.prompt.shown.empty());
    EXPECT_FALSE(Document().IsModified());

    FakePrompt quiet;
    CBIGFile written(quiet);
    ASSERT_TRUE(written.Open(target));
    EXPECT_EQ(written.GetFormat(), BIGFormat_BIG4);
    // The rename keeps its row: the table was last sorted when weapon.ini was replaced.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"data\\art\\tex.tga", std::string(100, 't')},
        {"data\\ini\\shield.ini", "Armor B\r\nEnd\r\n"},
        {"DATA\\INI\\WEAPON.INI", "Weapon A2\r\nEnd\r\n"},
    };
    ASSERT_EQ(written.GetEntryCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < written.GetEntryCount(); ++i) {
        const auto bytes = written.GetEntryBytes(i);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(std::make_pair(written.GetEntryName(i), std::string(bytes->begin(), bytes->end())),
                  expected[static_cast<size_t>(i)]);
    }

#ifdef KESTREL_BIG_PATH
    QProcess verify;
    verify.start(QStringLiteral(KESTREL_BIG_PATH), {QStringLiteral("verify"), QString::fromStdString(target.string())});
    ASSERT_TRUE(verify.waitForFinished(60000));
    const std::string output = QString::fromLocal8Bit(verify.readAllStandardOutput()).toStdString();
    EXPECT_EQ(verify.exitCode(), 0) << output;
    EXPECT_THAT(output, HasSubstr("no problems in 3 entries"));
#else
    GTEST_SKIP() << "kestrel-big is not part of this build";
#endif
}

} // namespace
} // namespace kestrel
