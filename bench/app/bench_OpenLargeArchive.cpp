// Time from opening an archive of 100,000 entries to its entry list painted, and the memory that
// costs; then the time to show a 100 MB entry of no known kind as raw text and to scroll to its
// end. Run by hand (an X server is not needed):
//   build/test/bin/bench_app_open [entries]
#include "BenchApp.h"
#include "app/CChildFrame.h"
#include "app/CKestrelApp.h"
#include "app/CLeftView.h"
#include "app/CMainFrame.h"
#include "app/CQuartoView.h"
#include "app/RawTextView.h"
#include "base/IPrompt.h"
#include "samples/BigArchiveBuilder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace {

// Resident and peak memory of this process in kB, from the kernel's view.
std::pair<long, long> MemoryKb()
{
    std::ifstream status("/proc/self/status");
    long resident = 0;
    long peak = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            resident = std::stol(line.substr(6));
        else if (line.rfind("VmHWM:", 0) == 0)
            peak = std::stol(line.substr(6));
    }
    return {resident, peak};
}

// Notes when a viewport of a widget of type T (the list's rows, the raw text) is painted.
template <typename T>
class PaintWatcher : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<T*>(watched->parent()))
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

template <typename T>
qint64 MillisecondsUntilPainted(const std::function<void()>& action)
{
    PaintWatcher<T> watcher;
    QCoreApplication::instance()->installEventFilter(&watcher);
    QElapsedTimer clock;
    clock.start();
    action();
    while (!watcher.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return clock.elapsed();
}

// `entries` small INI entries and one 100 MB entry of no known kind, written into `folder`.
std::string WriteArchive(const QTemporaryDir& folder, int entries)
{
    kestrel::samples::BigArchiveBuilder builder;
    for (int i = 0; i < entries; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "data\\ini\\object\\generated\\unit%06d.ini", i);
        builder.Add(name, "Object Unit\r\nEnd\r\n");
    }
    std::vector<std::uint8_t> huge(100u << 20);
    for (size_t i = 0; i < huge.size(); ++i)
        huge[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13); // bytes of every kind, line ends too
    builder.Add("data\\zz_huge.bin", std::move(huge));
    return builder.WriteTo(folder.filePath(QStringLiteral("large.big")).toStdString()).string();
}

} // namespace

int main(int argc, char* argv[])
{
    kestrel::bench::UseOffscreenUnlessTold();
    QApplication application(argc, argv);
    const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;

    QTemporaryDir folder;
    // Built in its own scope so the builder's copy of the bytes is gone before memory is measured.
    const std::string archive = WriteArchive(folder, entries);
    kestrel::bench::BenchApp bench(folder);
    kestrel::CKestrelApp& app = bench.App();

    const long residentBefore = MemoryKb().first;
    bool started = false;
    const qint64 opened = MillisecondsUntilPainted<kestrel::CLeftView>(
        [&] { started = app.InitInstance({QString::fromStdString(archive)}); });
    if (!started)
        return 1;
    const auto [residentAfter, peakAfter] = MemoryKb();
    std::printf("entries: %d (+1 of 100 MB)\nopen to list painted: %lld ms\n", entries, static_cast<long long>(opened));
    std::printf("resident memory: %ld kB before, %ld kB after (+%ld kB); peak %ld kB\n", residentBefore,
                residentAfter, residentAfter - residentBefore, peakAfter);

    kestrel::CChildFrame& frame = *app.MainFrame()->ActiveChild();
    kestrel::CLeftView* list = frame.LeftView();
    const qint64 shown = MillisecondsUntilPainted<kestrel::RawTextView>(
        [&] { list->setCurrentIndex(list->model()->index(entries, 0)); });
    kestrel::RawTextView* raw = frame.EditorView()->RawView();
    const qint64 scrolled = MillisecondsUntilPainted<kestrel::RawTextView>(
        [&] { raw->verticalScrollBar()->setValue(raw->verticalScrollBar()->maximum()); });
    std::printf("100 MB raw entry: shown in %lld ms (%zu lines), scrolled to its end in %lld ms; peak %ld kB\n",
                static_cast<long long>(shown), raw->Layout().LineCount(), static_cast<long long>(scrolled),
                MemoryKb().second);
        return 0;
}
