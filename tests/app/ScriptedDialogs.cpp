#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

template <typename Answer>
Answer Next(std::vector<std::string>& asked, std::deque<Answer>& answers, std::string question, Answer unscripted)
{
    asked.push_back(std::move(question));
    if (answers.empty()) {
        ADD_FAILURE() << "unscripted question " << asked.back();
        return unscripted;
    }
    Answer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

} // namespace

bool RecordingProgress::Update(std::uint64_t done, std::uint64_t total)
{
    lastDone = done;
    lastTotal = total;
    return stopAfter < 0 || ++updates <= stopAfter;
}

std::optional<std::filesystem::path> ScriptedDialogs::AskFileToAdd()
{
    return Next(asked, paths, "FileToAdd", {});
}

std::optional<std::filesystem::path> ScriptedDialogs::AskExtractTarget(const std::string& fileName)
{
    return Next(asked, paths, "ExtractTarget: " + fileName, {});
}

std::optional<std::filesystem::path> ScriptedDialogs::AskFolder()
{
    return Next(asked, paths, "Folder", {});
}

std::optional<std::filesystem::path> ScriptedDialogs::AskArchivePath(const std::filesystem::path& current)
{
    return Next(asked, paths, "ArchivePath: " + current.string(), {});
}

std::optional<std::string> ScriptedDialogs::AskEntryName(const std::string& proposed)
{
    auto answer = Next(asked, names, "Filename: " + proposed, {});
    return answer && answer->empty() ? proposed : answer;
}

OverwriteAnswer ScriptedDialogs::AskOverwrite(const std::string& entryName, bool offerUseForAll)
{
    return Next(asked, overwrites, (offerUseForAll ? "Overwrite (use for all): " : "Overwrite: ") + entryName, {});
}

std::unique_ptr<IProgress> ScriptedDialogs::StartProgress(const std::string& label, bool cancellable)
{
    progressLabels.push_back(cancellable ? label + " (cancellable)" : label);
    auto progress = std::make_unique<RecordingProgress>();
    progress->stopAfter = stopProgressAfter;
    return progress;
}

} // namespace kestrel::test
