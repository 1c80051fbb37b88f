#include "w3d/GameIniArchive.h"

#include "archive/CBIGFile.h"
#include "base/CaseInsensitivePath.h"
#include "base/IPrompt.h"
#include "ini/IniWorkspace.h"
#include "w3d/GameTextureArchives.h"

#include <system_error>
#include <vector>

namespace kestrel {
namespace {

/// "ini.big" is read only for names: a damaged one contributes what it can, without questions.
class QuietPrompt : public IPrompt
{
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

} // namespace

std::optional<std::filesystem::path> FindGameIniArchive(std::string_view gameFolder)
{
    if (gameFolder.empty())
        return std::nullopt;
    std::string path(gameFolder);
    if (path.back() != '\\' && path.back() != '/')
        path += '\\';
    const std::filesystem::path resolved = ResolvePathIgnoringCase(path + "ini.big");
    std::error_code error;
    if (!std::filesystem::is_regular_file(resolved, error))
        return std::nullopt;
    return resolved;
}

ArchiveIniSource::ArchiveIniSource(CBIGFile& archive)
    : m_archive(archive)
{
}

std::string ArchiveIniSource::KeyPrefix() const
{
    return m_archive.GetPath().string() + "\\";
}

int ArchiveIniSource::EntryCount() const
{
    return m_archive.GetEntryCount();
}

const std::string& ArchiveIniSource::EntryName(int index) const
{
    return m_archive.GetEntryName(index);
}

std::optional<std::string> ArchiveIniSource::EntryText(int index)
{
    const auto bytes = m_archive.GetEntryBytes(index);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

ObjectNameLookup MakeObjectNameLookup(CBIGFile& openArchive, std::optional<std::filesystem::path> gameIniArchive,
                                      IniObjectCache& cache, const CIniBlock* gameBlock)
{
    if (gameIniArchive && SameFolderIgnoringCase(gameIniArchive->string(), openArchive.GetPath().string()))
        gameIniArchive.reset();
    return [&openArchive, gameIniArchive, &cache, gameBlock](std::string_view folder, std::string_view type) {
        ArchiveIniSource open(openArchive);
        std::vector<IIniEntrySource*> sources{&open};
        QuietPrompt quiet;
        CBIGFile game(quiet);
        std::optional<ArchiveIniSource> gameSource;
        if (gameIniArchive && game.OpenForReading(*gameIniArchive)) {
            gameSource.emplace(game);
            sources.push_back(&*gameSource);
        }
        return GatherObjectNames(folder, type, sources, cache, gameBlock);
    };
}

bool AddGameIniDefinitions(IniWorkspace& workspace, const std::filesystem::path& gameIniArchive)
{
    QuietPrompt quiet;
    CBIGFile game(quiet);
    if (!game.OpenForReading(gameIniArchive))
        return false;
    ArchiveIniSource source(game);
    for (int i = 0; i < source.EntryCount(); ++i) {
        const std::string& name = source.EntryName(i);
        if (!IsIniEntryName(name) || workspace.HoldsIgnoringCase(name))
            continue;
        if (const auto text = source.EntryText(i))
            workspace.SetEntry(std::string(kGameIniEntryPrefix) + name, *text, false);
    }
    return true;
}

} // namespace kestrel
