#pragma once

#include "ini/IniProblem.h"

#include <QListWidget>
#include <QThreadPool>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QPlainTextEdit;

namespace kestrel {

class CIniBlock;
struct IniReferenceSet;

/// The problems of the INI text in an editor: underlined in the text and listed in this list,
/// where choosing one puts the caret on its line. The text is checked once typing pauses, on a
/// worker thread, so typing never waits for it; a result that arrives after a newer change is
/// dropped.
class IniProblemPane : public QListWidget
{
    Q_OBJECT

public:
    /// How long typing must pause before the text is checked.
    static constexpr int PauseMs = 500;

    IniProblemPane(QPlainTextEdit& edit, QWidget* parent);
    ~IniProblemPane() override;

    /// Starts checking the editor's text as the entry `entryName` against `gameBlock` (none: the
    /// shape of the text only). References resolve against `otherEntries` (the archive's other
    /// INI texts, by name) and the game's "ini.big" when there is one.
    void Start(std::string entryName, const CIniBlock* gameBlock,
               std::vector<std::pair<std::string, std::string>> otherEntries,
               std::optional<std::filesystem::path> gameIni);
    /// Stops checking and clears the list and the underlines.
    void Stop();
    bool IsChecking() const { return m_active; }
    const std::vector<IniProblem>& Problems() const { return m_problems; }

signals:
    /// The list was filled anew (it may have become empty).
    void ProblemsShown();

private:
    void CheckSoon();
    void CheckNow();
    void Show(std::vector<IniProblem> problems);
    void MoveCaretTo(QListWidgetItem* item);

    QPlainTextEdit& m_edit;
    QTimer m_pause;
    bool m_active = false;
    std::string m_entryName;
    const CIniBlock* m_gameBlock = nullptr;
    std::shared_ptr<IniReferenceSet> m_references;
    unsigned m_generation = 0;
    std::vector<IniProblem> m_problems;
    /// One check at a time; waited for when the pane goes.
    QThreadPool m_workers;
};

} // namespace kestrel
