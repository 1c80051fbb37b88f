#include "w3d/DocumentTextureArchives.h"

#include "archive/CQuartoDoc.h"
#include "base/IPrompt.h"
#include "ini/CIniBlock.h"
#include "w3d/GameTextureArchives.h"

namespace kestrel {

void OpenDocumentTextureArchives(CQuartoDoc& document, const TextureArchiveContext& context)
{
    // Start clean: a reopen after the Textures option was switched off must not keep the old ones.
    document.CloseTextureArchives();
    document.SetInstallationFolder({});
    if (context.provider == nullptr)
        return;
    const auto plan = PlanGameTextureArchives(document.GetArchive().GetFormat(), document.GetArchiveFolder(),
                                              context.texturesEnabled, *context.provider);
    document.SetGameKind(static_cast<int>(plan.game));
    if ((context.configuration == nullptr || FindGameBlock(*context.configuration, plan.game) == nullptr)
        && context.prompt != nullptr)
        context.prompt->ShowMessage("Failed to interpret kestrel.ini", "");
    if (plan.baseArchive)
        document.GetBaseGameTextureArchive().Open(*plan.baseArchive, 0);
    if (plan.gameArchive) {
        document.SetInstallationFolder(plan.installFolder);
        document.GetGameTextureArchive().Open(*plan.gameArchive, 0);
    }
}

} // namespace kestrel
