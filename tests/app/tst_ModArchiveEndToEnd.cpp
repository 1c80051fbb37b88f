// Building a mod archive entirely through the archive commands, then reading it back with the
// archive core and with the command-line tool's independent check.
#include "AppHarness.h"
#include "ScriptedDialogs.h"

#include "app/AppCommands.h"
#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "archive/CQuartoDoc.h"

#include <QAction>
#include <QProcess>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::Bytes;
using test::WriteFileBytes;

TEST(ModArchive, BuiltThroughTheCommandsReadsBackWithTheCoreAndPassesTheToolsCheck)
{
    test::ScriptedDialogs dialogs;
    test::AppHarness harness;
    harness.dialogs = &dialogs;
    harness.Restart();
    ASSERT_TRUE(harness.Start());
    harness.prompt.shown.clear(); // a build without a graphics device says so at start
    CMainFrame& main = *harness.App().MainFrame();
    auto trigger = [&main](Command command) { main.Action(command)->trigger(); };
    const auto mod = harness.folder / "mymod" / "data";
    WriteFileBytes(mod / "ini" / "weapon.ini", Bytes("Weapon A\r\nEnd\r\n"));
    WriteFileBytes(mod / "ini" / "armor.ini", Bytes("Armor B\r\nEnd\r\n"));
    WriteFileBytes(mod / "ini" / "obsolete.ini", Bytes("old"));
    WriteFileBytes(mod / "art" / "tex.tga", Bytes(std::string(100, 't')));
    const auto better = harness.folder / "better_weapon.ini";
    WriteFileBytes(better, Bytes("Weapon A2\r\nEnd\r\n"));
    const auto target = harness.folder / "mymod.big";

    dialogs.paths = {mod, better, target};
    dialogs.names = {"DATA\\INI\\WEAPON.INI", "data\\ini\\shield.ini"};
    dialogs.overwrites = {{true, false}};
    trigger(Command::EditAddDirectory);
    trigger(Command::EditAddFile); // replaces weapon.ini, regardless of case
    CChildFrame& frame = *main.ActiveChild();
    ArchiveDocument& document = frame.Document();
    test::SelectRow(frame, document.Doc().GetArchive().FindEntry("data\\ini\\armor.ini"));
    trigger(Command::EditRenameFile);
    test::SelectRow(frame, document.Doc().GetArchive().FindEntry("data\\ini\\obsolete.ini"));
    trigger(Command::EditDeleteFile);
    trigger(Command::FormatBIG4);
    trigger(Command::FileSave); // a new document: asks for the path
    ASSERT_TRUE(harness.prompt.shown.empty());
    EXPECT_FALSE(document.IsModified());

    test::FakePrompt quiet;
    CBIGFile archive(quiet);
    ASSERT_TRUE(archive.Open(target));
    EXPECT_EQ(archive.GetFormat(), BIGFormat_BIG4);
    // The rename keeps its row: the table was last sorted when weapon.ini was replaced.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"data\\art\\tex.tga", std::string(100, 't')},
        {"data\\ini\\shield.ini", "Armor B\r\nEnd\r\n"},
        {"DATA\\INI\\WEAPON.INI", "Weapon A2\r\nEnd\r\n"},
    };
    ASSERT_EQ(archive.GetEntryCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < archive.GetEntryCount(); ++i) {
        EXPECT_EQ(archive.GetEntryName(i), expected[static_cast<size_t>(i)].first);
        const auto bytes = archive.GetEntryBytes(i);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(std::string(bytes->begin(), bytes->end()), expected[static_cast<size_t>(i)].second);
    }

#ifdef KESTREL_BIG_PATH
    QProcess verify;
    verify.start(QStringLiteral(KESTREL_BIG_PATH), {QStringLiteral("verify"), QString::fromStdString(target.string())});
    ASSERT_TRUE(verify.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(verify.readAllStandardOutput());
    EXPECT_EQ(verify.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("no problems in 3 entries"))) << output.toStdString();
#else
    GTEST_SKIP() << "kestrel-big is not part of this build";
#endif
}

} // namespace
} // namespace kestrel
