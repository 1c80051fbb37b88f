#pragma once

// The fixture of the archive command tests: Kestrel on a temporary archive, with the prompt and
// the command dialogs answered by the test.
#include "AppHarness.h"
#include "ScriptedDialogs.h"

#include "app/AppCommands.h"
#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "archive/CQuartoDoc.h"

#include <QAction>

#include <gtest/gtest.h>

namespace kestrel::test {

inline const std::string EditModeCaption = "Activate EditMode";
inline const std::string Locked = "You cannot replace this file, as it is currently locked";

class ArchiveCommandsTest : public ::testing::Test
{
protected:
    ArchiveCommandsTest()
    {
        harness.dialogs = &dialogs;
        harness.Restart();
    }

    /// Opens an archive of data\a.ini and data\b.ini; edit mode is on unless `askEditMode`.
    CChildFrame& Open(BigArchiveBuilder builder = BigArchiveBuilder().Add("data\\a.ini", "a").Add("data\\b.ini", "b"),
                      bool askEditMode = false)
    {
        CChildFrame* frame = harness.StartOn(builder);
        EXPECT_NE(frame, nullptr);
        if (!askEditMode) {
            harness.prompt.Answer({true});
            frame->Document().ActivateEditMode();
        }
        // Without a graphics device the preview says it can only show text; not a command's doing.
        harness.prompt.shown.clear();
        return *frame;
    }

    void Trigger(Command command) { Main().Action(command)->trigger(); }
    bool Enabled(Command command) { return Main().Action(command)->isEnabled(); }
    CMainFrame& Main() { return *harness.App().MainFrame(); }
    ArchiveDocument& Document() { return Main().ActiveChild()->Document(); }
    CBIGFile& Archive() { return Document().Doc().GetArchive(); }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < Archive().GetEntryCount(); ++i)
            names.push_back(Archive().GetEntryName(i));
        return names;
    }

    std::string Content(const std::string& name)
    {
        const auto bytes = Archive().GetEntryBytes(Archive().FindEntry(name));
        return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
    }

    std::filesystem::path File(const std::string& relative, const std::string& text = "new")
    {
        const auto path = harness.folder / relative;
        WriteFileBytes(path, Bytes(text));
        return path;
    }

    ScriptedDialogs dialogs;
    AppHarness harness;
};

} // namespace kestrel::test
