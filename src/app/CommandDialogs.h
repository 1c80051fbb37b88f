#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace kestrel {

/// The progress of one long piece of work (extracting, adding a folder, saving).
class IProgress
{
public:
    virtual ~IProgress() = default;

    /// `done` of `total` units (a total of 0: not known yet). False once the user asked to stop;
    /// the work then ends at the next point where stopping leaves everything consistent.
    virtual bool Update(std::uint64_t done, std::uint64_t total) = 0;
};

/// The user's answer to "Overwrite file?".
struct OverwriteAnswer
{
    bool overwrite = false;
    /// "Use answer for all files" was ticked (only offered inside a folder walk).
    bool useForAll = false;
};

/// The questions the archive commands ask besides plain messages: file and folder choosers, the
/// "Filename" and "Overwrite file?" dialogs and progress. The windowed program shows dialogs;
/// tests answer from a script. Every question returns nullopt when the user cancelled.
class ICommandDialogs
{
public:
    virtual ~ICommandDialogs() = default;

    /// The file Add File takes in.
    virtual std::optional<std::filesystem::path> AskFileToAdd() = 0;
    /// Where Extract writes one entry; the dialog proposes `fileName` and confirms replacing.
    virtual std::optional<std::filesystem::path> AskExtractTarget(const std::string& fileName) = 0;
    /// A folder ("Choose Target Directory") for Extract All and Add Directory.
    virtual std::optional<std::filesystem::path> AskFolder() = 0;
    /// The path a document is saved to (Save As, and Save of a document without a file).
    virtual std::optional<std::filesystem::path> AskArchivePath(const std::filesystem::path& current) = 0;
    /// The "Filename" dialog: an entry name, starting from `proposed` (Latin-1 bytes).
    virtual std::optional<std::string> AskEntryName(const std::string& proposed) = 0;
    /// The "Overwrite file?" dialog for an existing entry; the check box only when `offerUseForAll`.
    virtual OverwriteAnswer AskOverwrite(const std::string& entryName, bool offerUseForAll) = 0;
    /// Progress shown while the returned object lives (only when the work takes a while).
    virtual std::unique_ptr<IProgress> StartProgress(const std::string& label, bool cancellable) = 0;
};

} // namespace kestrel
