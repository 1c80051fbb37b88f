// Text entries of a few megabytes in the preview: time from selecting the entry to its text
// painted, and the cost of a keystroke (the key, the write-back into the entry, the repaint),
// typed in the middle of the text. Run by hand on a Release build (an X server is not needed):
//   build/rel/bin/bench_text_entry [keystrokes]
#include "BenchApp.h"
#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CKestrelApp.h"
#include "app/CLeftView.h"
#include "app/CMainFrame.h"
#include "app/CQuartoView.h"
#include "base/IPrompt.h"
#include "samples/BigArchiveBuilder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// An object INI of about `bytes` bytes, with the block and line shapes of the games' files.
std::string IniText(std::size_t bytes)
{
    std::string text;
    text.reserve(bytes + 256);
    for (int object = 0; text.size() < bytes; ++object) {
        text += "Object GeneratedUnit" + std::to_string(object) + "\r\n";
        text += "  ; A comment that explains what this unit is for\r\n";
        text += "  Side = America\r\n  EditorSorting = UNIT\r\n  BuildCost = 800\r\n  BuildTime = 10.0\r\n";
        text += "  Draw = W3DModelDraw ModuleTag_01\r\n    DefaultConditionState\r\n      Model = AVTank\r\n";
        text += "    End\r\n  End\r\n  Body = ActiveBody ModuleTag_02\r\n    MaxHealth = 480.0\r\n  End\r\nEnd\r\n\r\n";
    }
    return text;
}

std::string OneLine(std::size_t bytes)
{
    std::string text(bytes, 'a');
    for (std::size_t i = 7; i < bytes; i += 8)
        text[i] = ' ';
    return text;
}

void RunTurns(int turns = 3)
{
    for (int i = 0; i < turns; ++i)
        QCoreApplication::processEvents();
}

struct Figures
{
    double showMs = 0;
    double wholeMs = 0; // until the editor holds all of the text, with the window responsive meanwhile
    double medianKeyMs = 0;
    double worstKeyMs = 0;
};

Figures Measure(kestrel::CChildFrame& frame, int row, const std::string& bytes, int keystrokes)
{
    Figures figures;
    kestrel::CLeftView* list = frame.LeftView();
    QElapsedTimer clock;
    clock.start();
    list->setCurrentIndex(list->model()->index(row, 0));
    QPlainTextEdit* edit = frame.EditorView()->EditControl();
    edit->viewport()->repaint();
    figures.showMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const auto characters = static_cast<int>(static_cast<std::ptrdiff_t>(bytes.size()) - std::count(bytes.begin(), bytes.end(), '\r'));
    while (edit->isVisible() && edit->document()->characterCount() - 1 < characters && clock.elapsed() < 60000)
        QCoreApplication::processEvents();
    figures.wholeMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    RunTurns();

    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(cursor);
    std::vector<double> costs;
    for (int i = 0; i <= keystrokes; ++i) {
        clock.restart();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QCoreApplication::sendEvent(edit, &press);
        QCoreApplication::sendEvent(edit, &release);
        RunTurns(); // the write-back at the turn's end
        edit->viewport()->repaint();
        if (i > 0) // the first one turns edit mode on
            costs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(costs.begin(), costs.end());
    figures.medianKeyMs = costs[costs.size() / 2];
    figures.worstKeyMs = costs.back();
    // The entry holds what was typed (a text shown read-only takes nothing).
    const auto entry = frame.Document().PreviewBytes();
    if (!frame.EditorView()->IsTextReadOnly() && (!entry || std::count(entry->begin(), entry->end(), 'x') < keystrokes))
        std::fprintf(stderr, "the typing did not reach the entry\n");
    return figures;
}

} // namespace

int main(int argc, char* argv[])
{
    kestrel::bench::UseOffscreenUnlessTold();
    QApplication application(argc, argv);
    const int keystrokes = argc > 1 ? std::atoi(argv[1]) : 30;

    QTemporaryDir folder;
    struct Case
    {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases = {{"a_1MB.ini", IniText(1u << 20)},
                                     {"b_10MB.ini", IniText(10u << 20)},
                                     {"c_10MB_one_line.txt", OneLine(10u << 20)}};
    kestrel::samples::BigArchiveBuilder builder;
    for (const Case& entry : cases)
        builder.Add(entry.name, entry.bytes);
    const std::string archive = builder.WriteTo(folder.filePath(QStringLiteral("text.big")).toStdString()).string();
    kestrel::bench::BenchApp bench(folder);
    kestrel::CKestrelApp& app = bench.App();
    if (!app.InitInstance({QString::fromStdString(archive)}))
        return 1;
    app.MainFrame()->show();
    RunTurns();
    kestrel::CChildFrame& frame = *app.MainFrame()->ActiveChild();

    std::printf("%-22s %10s %10s %14s %13s\n", "entry", "shown (ms)", "whole (ms)", "key median(ms)", "key worst(ms)");
    for (std::size_t row = 0; row < cases.size(); ++row) {
        const Figures figures = Measure(frame, static_cast<int>(row), cases[row].bytes, keystrokes);
        std::printf("%-22s %10.1f %10.1f %14.2f %13.2f\n", cases[row].name, figures.showMs, figures.wholeMs,
                    figures.medianKeyMs, figures.worstKeyMs);
    }
    return 0;
}
