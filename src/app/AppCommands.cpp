#include "app/AppCommands.h"

#include <array>

namespace kestrel {
namespace {

struct CommandEntry
{
    const char* key;
    const char* text;
    const char* shortcuts;
    const char* prompt;
};

struct MenuEntry
{
    const char* key;
    const char* title;
};

constexpr std::array<CommandEntry, CommandCount> commandTable{{
#define KESTREL_COMMAND(id, text, shortcut, prompt) {#id, text, shortcut, prompt},
#define KESTREL_MENU(id, title)
#include "commands.def"
#undef KESTREL_COMMAND
#undef KESTREL_MENU
}};

constexpr std::array<MenuEntry, static_cast<size_t>(Menu::Count)> menuTable{{
#define KESTREL_COMMAND(id, text, shortcut, prompt)
#define KESTREL_MENU(id, title) {#id, title},
#include "commands.def"
#undef KESTREL_COMMAND
#undef KESTREL_MENU
}};

const CommandEntry& EntryOf(Command command)
{
    return commandTable[static_cast<size_t>(command)];
}

} // namespace

QString CommandText(Command command)
{
    return QString::fromLatin1(EntryOf(command).text);
}

QList<QKeySequence> CommandShortcuts(Command command)
{
    QList<QKeySequence> shortcuts;
    const QString all = QString::fromLatin1(EntryOf(command).shortcuts);
    for (const QString& one : all.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        shortcuts.append(QKeySequence(one, QKeySequence::PortableText));
    return shortcuts;
}

QString CommandPrompt(Command command)
{
    return QString::fromLatin1(EntryOf(command).prompt);
}

QString CommandKey(Command command)
{
    return QString::fromLatin1(EntryOf(command).key);
}

QString MenuTitle(Menu menu)
{
    return QString::fromLatin1(menuTable[static_cast<size_t>(menu)].title);
}

QString MenuKey(Menu menu)
{
    return QString::fromLatin1(menuTable[static_cast<size_t>(menu)].key);
}

QString DisplayedText(const QString& menuText)
{
    QString shown;
    const QString visible = menuText.section(QLatin1Char('\t'), 0, 0);
    for (qsizetype i = 0; i < visible.size(); ++i) {
        if (visible[i] == QLatin1Char('&') && i + 1 < visible.size())
            ++i; // "&x" shows x, "&&" shows "&"
        shown += visible[i];
    }
    return shown;
}

} // namespace kestrel
