#include "w3d/W3DPreviewModel.h"

#include "archive/CQuartoDoc.h"
#include "w3d/W3DTextureFinder.h"

namespace kestrel {

std::function<std::optional<std::vector<std::uint8_t>>(const std::string&)> ArchiveEntryReader(CBIGFile& archive)
{
    return [&archive](const std::string& name) -> std::optional<std::vector<std::uint8_t>> {
        const int index = archive.FindEntry(name);
        return index < 0 ? std::nullopt : archive.GetEntryBytes(index);
    };
}

W3DPreviewModel LoadW3DPreviewModel(C3DWDevice& device, CQuartoDoc& document, std::span<const std::uint8_t> bytes,
                                    const std::string& texturePrefix, bool texturesEnabled)
{
    W3DPreviewModel model;
    model.mesh = std::make_unique<C3DWMesh>(device);
    W3DTextureFinder finder(&device,
                            {&document.GetArchive(), &document.GetGameTextureArchive(),
                             &document.GetBaseGameTextureArchive()},
                            document.GetInstallationFolder().string());
    model.mesh->SetTextureSource(&finder);
    model.mesh->SetTextureNamePrefix(texturePrefix);
    W3DAssemblyOptions options;
    options.texturesEnabled = texturesEnabled;
    options.readArchiveEntry = ArchiveEntryReader(document.GetArchive());
    model.summary = AssembleW3DModel(bytes, options, *model.mesh);
    // The finder ends with this load; the mesh must not call it later.
    model.mesh->SetTextureSource(nullptr);
    model.extent = model.summary.extent;
    return model;
}

} // namespace kestrel
