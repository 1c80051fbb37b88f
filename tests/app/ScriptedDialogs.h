#pragma once

#include "app/CommandDialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace kestrel::test {

/// The archive commands' dialogs answered from a script. Each question takes the next answer of
/// its kind; a question without one fails the test and is answered with Cancel (or No).
/// Every question is recorded as "Kind: argument" in `asked`; file, folder and archive-path
/// questions share the `paths` queue.
class ScriptedDialogs : public ICommandDialogs
{
public:
    std::optional<std::filesystem::path> AskFileToAdd() override;
    std::optional<std::filesystem::path> AskExtractTarget(const std::string& fileName) override;
    std::optional<std::filesystem::path> AskFolder() override;
    std::optional<std::filesystem::path> AskArchivePath(const std::filesystem::path& current) override;
    std::optional<std::string> AskEntryName(const std::string& proposed) override;
    OverwriteAnswer AskOverwrite(const std::string& entryName, bool offerUseForAll) override;
    std::unique_ptr<IProgress> StartProgress(const std::string& label, bool cancellable) override;

    /// nullopt answers Cancel.
    std::deque<std::optional<std::filesystem::path>> paths;
    /// nullopt answers Cancel; an empty string keeps the proposed name.
    std::deque<std::optional<std::string>> names;
    std::deque<OverwriteAnswer> overwrites;
    /// Progress objects handed out stop after this many updates (never when negative).
    int stopProgressAfter = -1;

    std::vector<std::string> asked;
    /// "label" or "label (cancellable)" per progress started.
    std::vector<std::string> progressLabels;
};

} // namespace kestrel::test
