// Times the archive commands' work as the windowed program does it, with its real progress
// dialog (on the offscreen platform when no display is set), but without questions:
//
//   bench_archive_commands extract-all ARCHIVE FOLDER     Extract All of ARCHIVE into FOLDER
//   bench_archive_commands add-directory ARCHIVE FOLDER   Add Directory of FOLDER into ARCHIVE
//
// Prints the seconds the command took (opening the archive is timed apart).
#include "app/ArchiveExtractor.h"
#include "app/EntryAdder.h"
#include "app/FolderAdder.h"
#include "app/QtCommandDialogs.h"
#include "archive/CQuartoDoc.h"
#include "base/IPrompt.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace kestrel;

/// Any question or message means the benchmark did not measure what it claims.
class FailingPrompt : public IPrompt
{
public:
    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        std::fprintf(stderr, "unexpected message: %s: %s\n", caption.c_str(), text.c_str());
        failed = true;
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override
    {
        ShowMessage(text, caption);
        return false;
    }
    bool failed = false;
};

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_archive_commands extract-all|add-directory ARCHIVE FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::string command = argv[1];
    const std::filesystem::path folder = argv[3];
    FailingPrompt prompt;
    QtCommandDialogs dialogs([]() -> QWidget* { return nullptr; });
    CQuartoDoc document(prompt);

    auto start = std::chrono::steady_clock::now();
    document.OnOpenDocument(argv[2]);
    std::printf("open          %8.3f s  (%d entries)\n", Seconds(start), document.GetArchive().GetEntryCount());

    start = std::chrono::steady_clock::now();
    if (command == "extract-all") {
        const auto progress = dialogs.StartProgress("Extracting entries...", true);
        ArchiveExtractor extractor(document.GetArchive(), *progress);
        extractor.Run(folder);
        std::printf("extract-all   %8.3f s  (%llu files)\n", Seconds(start),
                    static_cast<unsigned long long>(extractor.FilesWritten()));
        if (!extractor.Report().empty())
            std::fprintf(stderr, "%s\n", extractor.Report().c_str());
    } else if (command == "add-directory") {
        const int before = document.GetArchive().GetEntryCount();
        {
            EntryAdder adder(document, prompt);
            const auto progress = dialogs.StartProgress("Adding files...", true);
            FolderAdder(adder, dialogs, *progress).Run(folder);
        }
        std::printf("add-directory %8.3f s  (%d entries added)\n", Seconds(start),
                    document.GetArchive().GetEntryCount() - before);
    } else {
        std::fprintf(stderr, "unknown command %s\n", command.c_str());
        return 2;
    }
    return prompt.failed ? 1 : 0;
}
