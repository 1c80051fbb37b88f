#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kestrel::test {

bool RecordingProgress::Update(std::uint64_t done, std::uint64_t total)
{
    lastDone = done;
    lastTotal = total;
    return stopAfter < 0 || ++updates <= stopAfter;
}

std::optional<std::filesystem::path> ScriptedDialogs::NextPath(const std::string& question)
{
    asked.push_back(question);
    if (paths.empty()) {
        ADD_FAILURE() << "unscripted question " << question;
        return std::nullopt;
    }
    auto answer = paths.front();
    paths.pop_front();
    return answer;
}

std::optional<std::filesystem::path> ScriptedDialogs::AskFileToAdd()
{
    return NextPath("FileToAdd");
}

std::optional<std::filesystem::path> ScriptedDialogs::AskExtractTarget(const std::string& fileName)
{
    return NextPath("ExtractTarget: " + fileName);
}

std::optional<std::filesystem::path> ScriptedDialogs::AskFolder()
{
    return NextPath("Folder");
}

std::optional<std::filesystem::path> ScriptedDialogs::AskArchivePath(const std::filesystem::path& current)
{
    return NextPath("ArchivePath: " + current.string());
}

std::optional<std::string> ScriptedDialogs::AskEntryName(const std::string& proposed)
{
    asked.push_back("Filename: " + proposed);
    if (names.empty()) {
        ADD_FAILURE() << "unscripted Filename dialog for " << proposed;
        return std::nullopt;
    }
    auto answer = names.front();
    names.pop_front();
    if (answer && answer->empty())
        return proposed;
    return answer;
}

OverwriteAnswer ScriptedDialogs::AskOverwrite(const std::string& entryName, bool offerUseForAll)
{
    asked.push_back(std::string(offerUseForAll ? "Overwrite (use for all): " : "Overwrite: ") + entryName);
    if (overwrites.empty()) {
        ADD_FAILURE() << "unscripted Overwrite dialog for " << entryName;
        return {};
    }
    const OverwriteAnswer answer = overwrites.front();
    overwrites.pop_front();
    return answer;
}

std::unique_ptr<IProgress> ScriptedDialogs::StartProgress(const std::string& label, bool cancellable)
{
    progressLabels.push_back(cancellable ? label + " (cancellable)" : label);
    auto progress = std::make_unique<RecordingProgress>();
    progress->stopAfter = stopProgressAfter;
    return progress;
}

} // namespace kestrel::test
