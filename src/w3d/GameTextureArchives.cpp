#include "w3d/GameTextureArchives.h"

#include "archive/BIGEntry.h"
#include "base/AsciiCase.h"
#include "base/CaseInsensitivePath.h"

#include <system_error>

namespace kestrel {
namespace {

std::string NormalisedFolder(std::string_view folder)
{
    std::string result = AsciiLowered(folder);
    for (char& c : result) {
        if (c == '\\')
            c = '/';
    }
    while (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}

} // namespace

bool SameFolderIgnoringCase(std::string_view a, std::string_view b)
{
    if (NormalisedFolder(a) == NormalisedFolder(b))
        return true;
    // Links (a Wine drive, a Steam library) can name one folder by two paths.
    std::error_code errorA, errorB;
    const auto canonicalA = std::filesystem::weakly_canonical(ResolvePathIgnoringCase(a), errorA);
    const auto canonicalB = std::filesystem::weakly_canonical(ResolvePathIgnoringCase(b), errorB);
    return !errorA && !errorB && !a.empty() && !b.empty()
        && NormalisedFolder(canonicalA.string()) == NormalisedFolder(canonicalB.string());
}

GameTextureArchivePlan PlanGameTextureArchives(int archiveFormat, std::string_view archiveFolder,
                                               bool texturesEnabled, IInstallPathProvider& provider)
{
    GameTextureArchivePlan plan;
    std::string_view archiveName = "\\Textures.big";
    std::optional<std::string> remembered;
    if (archiveFormat == BIGFormat_BIGF) {
        plan.game = GameKind::Generals;
        const auto generals = provider.FindInstallPath(GameKind::Generals);
        remembered = generals;
        const auto zeroHour = provider.FindInstallPath(GameKind::ZeroHour);
        if (zeroHour && SameFolderIgnoringCase(*zeroHour, archiveFolder)) {
            plan.game = GameKind::ZeroHour;
            if (generals && texturesEnabled)
                plan.baseArchive = ResolvePathIgnoringCase(*generals + "\\textures.big");
            remembered = zeroHour;
            archiveName = "\\TexturesZH.big";
        }
    } else if (archiveFormat == BIGFormat_BIG4) {
        plan.game = GameKind::BFME;
        remembered = provider.FindInstallPath(GameKind::BFME);
    }
    if (texturesEnabled && remembered) {
        plan.installFolder = *remembered;
        plan.gameArchive = ResolvePathIgnoringCase(*remembered + std::string(archiveName));
    }
    return plan;
}

} // namespace kestrel
