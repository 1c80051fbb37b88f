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

/// Progress that asks to stop after `stopAfter` updates (never when negative).
class ScriptedProgress : public IProgress
{
public:
    explicit ScriptedProgress(int stopAfter) : m_stopAfter(stopAfter) {}
    bool Update(std::uint64_t, std::uint64_t) override { return m_stopAfter < 0 || ++m_updates <= m_stopAfter; }

private:
    int m_stopAfter;
    int m_updates = 0;
};

} // namespace

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
    return std::make_unique<ScriptedProgress>(stopProgressAfter);
}

} // namespace kestrel::test
