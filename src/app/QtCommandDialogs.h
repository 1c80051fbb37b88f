#pragma once

#include "app/CommandDialogs.h"

#include <functional>

class QWidget;

namespace kestrel {

/// The archive commands' questions as the windowed program shows them: the platform's file and
/// folder dialogs, "Filename", "Overwrite file?" and a modal progress dialog that appears only
/// when the work takes longer than half a second.
class QtCommandDialogs : public ICommandDialogs
{
public:
    static constexpr int DefaultProgressDelayMs = 500;

    /// `parent` is asked at each question, so a dialog opens over whichever window is active.
    /// Progress appears once work has run for `progressDelayMs`.
    explicit QtCommandDialogs(std::function<QWidget*()> parent, int progressDelayMs = DefaultProgressDelayMs);

    std::optional<std::filesystem::path> AskFileToAdd() override;
    std::optional<std::filesystem::path> AskExtractTarget(const std::string& fileName) override;
    std::optional<std::filesystem::path> AskFolder() override;
    std::optional<std::filesystem::path> AskArchivePath(const std::filesystem::path& current) override;
    std::optional<std::string> AskEntryName(const std::string& proposed) override;
    OverwriteAnswer AskOverwrite(const std::string& entryName, bool offerUseForAll) override;
    std::unique_ptr<IProgress> StartProgress(const std::string& label, bool cancellable) override;

private:
    std::function<QWidget*()> m_parent;
    int m_progressDelayMs;
};

} // namespace kestrel
