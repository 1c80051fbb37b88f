#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

namespace kestrel {

/// Every command of the windowed program. Texts, shortcuts and prompts live in
/// resources/commands.def so that all the wording sits in one place.
enum class Command {
#define KESTREL_COMMAND(id, text, shortcut, prompt) id,
#define KESTREL_MENU(id, title)
#include "commands.def"
#undef KESTREL_COMMAND
#undef KESTREL_MENU
    Count
};

enum class Menu {
#define KESTREL_COMMAND(id, text, shortcut, prompt)
#define KESTREL_MENU(id, title) id,
#include "commands.def"
#undef KESTREL_COMMAND
#undef KESTREL_MENU
    Count
};

constexpr int CommandCount = static_cast<int>(Command::Count);

/// The menu text with its mnemonic markers ("&Open...").
QString CommandText(Command command);
/// The shortcuts that are bound (a shortcut only shown in the text is not among them).
QList<QKeySequence> CommandShortcuts(Command command);
QString CommandPrompt(Command command);
/// "FileOpen" for Command::FileOpen: the base of the action's objectName.
QString CommandKey(Command command);
QString MenuTitle(Menu menu);
QString MenuKey(Menu menu);

/// A menu text as the user reads it: mnemonic markers removed, "&&" shown as "&", and the part
/// after a tab (a shortcut hint) dropped.
QString DisplayedText(const QString& menuText);

} // namespace kestrel
