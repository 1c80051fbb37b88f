#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CQuartoDoc;

// The rules of handing an entry to an external program and taking the edited file back. The
// windowed program runs the process; what the file is called, what is started and what the
// take-back does to the archive are decided here.

/// "KesTemp" followed by the last part of the entry's name ('/' and '\' both separate parts):
/// data\ini\weapon.ini becomes KesTempweapon.ini. Editors show and judge the file by this name.
std::string ExternalEditFileName(std::string_view entryName);

/// A program and its arguments, ready to be started without a shell.
struct EditorCommand
{
    std::string program;
    std::vector<std::string> arguments;

    bool operator==(const EditorCommand&) const = default;
};

/// Builds the command that opens `filePath` with `editor` as typed in the table. An editor
/// that names an existing program file as a whole ("C:\Program Files\Ed\ed.exe") is that
/// program; otherwise blanks separate the program from its arguments and double quotes group
/// words with blanks ("\"C:\Program Files\Ed\ed.exe\" --wait"). Backslashes are plain
/// characters. The file goes where an argument says "%1", else after the last argument.
/// Nullopt for an editor without a program.
std::optional<EditorCommand> BuildEditorCommand(std::string_view editor, const std::string& filePath,
                                                const std::function<bool(const std::string&)>& isProgramFile);

/// The editors to try in turn for `editor`: itself, and where Notepad does not exist the
/// desktop's default application for the file type after Notepad.
std::vector<std::string> EditorCandidates(std::string_view editor);

enum class TakeBackResult {
    TakenBack,
    /// No entry of the name is left (deleted or renamed meanwhile).
    EntryGone,
    /// The archive did not take the bytes.
    Refused,
};

/// Ends the external edit of `entryName`: puts `bytes` into the entry of that name, marks the
/// document modified, and releases the lock in every case.
TakeBackResult TakeBackExternalEdit(CQuartoDoc& document, const std::string& entryName, const std::string& bytes);

} // namespace kestrel
