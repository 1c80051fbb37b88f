#include "w3d/W3DPreviewModel.h"

#include "archive/CQuartoDoc.h"
#include "base/CaseInsensitivePath.h"
#include "base/File.h"
#include "w3d/W3DTextureFinder.h"

#include <set>

namespace kestrel {

ModelFileReader ArchiveEntryReader(CBIGFile& archive)
{
    return [&archive](const std::string& name) -> std::optional<std::vector<std::uint8_t>> {
        const int index = archive.FindEntry(name);
        return index < 0 ? std::nullopt : archive.GetEntryBytes(index);
    };
}

ModelFileReader GameModelFileReader(std::array<CBIGFile*, 3> archives, std::string installFolder)
{
    return [archives, installFolder](const std::string& name) -> std::optional<std::vector<std::uint8_t>> {
        for (CBIGFile* archive : archives) {
            if (archive == nullptr)
                continue;
            if (auto bytes = ArchiveEntryReader(*archive)(name))
                return bytes;
        }
        if (installFolder.empty())
            return std::nullopt;
        std::string text;
        if (!ReadWholeFile(ResolvePathIgnoringCase(installFolder + name), text))
            return std::nullopt;
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
}

std::string ModelStatusText(const W3DPreviewModel& model)
{
    size_t triangles = 0;
    size_t found = 0;
    std::set<std::string> missing;
    if (model.mesh) {
        for (const auto& group : model.mesh->Groups())
            triangles += static_cast<size_t>(group.triangleCount);
        std::set<std::string> loaded;
        for (const auto& texture : model.mesh->Textures()) {
            if (texture.texture && loaded.insert(texture.name).second)
                ++found;
        }
        for (const auto& name : MaterialTextureNames(model.mesh->Materials())) {
            if (!loaded.contains(name))
                missing.insert(name);
        }
    }
    const size_t meshes = model.mesh ? model.mesh->Groups().size() : 0;
    std::string text = std::to_string(meshes) + (meshes == 1 ? " mesh, " : " meshes, ") + std::to_string(triangles)
        + (triangles == 1 ? " triangle, " : " triangles, ") + std::to_string(found) + " textures found, "
        + std::to_string(missing.size()) + " missing";
    const auto& summary = model.summary;
    if (summary.hierarchySource == W3DModelSummary::HierarchySource::None && !summary.hierarchyEntry.empty())
        text += "; skeleton " + summary.hierarchyName + " not found";
    return text;
}

ModelFileReader DocumentModelFileReader(CQuartoDoc& document)
{
    return GameModelFileReader({&document.GetArchive(), &document.GetGameTextureArchive(),
                                &document.GetBaseGameTextureArchive()},
                               document.GetInstallationFolder().string());
}

W3DPreviewModel LoadW3DPreviewModel(C3DWDevice& device, CQuartoDoc& document, std::span<const std::uint8_t> bytes,
                                    const std::string& texturePrefix, bool texturesEnabled,
                                    const W3DAnimation* animation)
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
    options.readArchiveEntry = DocumentModelFileReader(document);
    options.animation = animation;
    model.summary = AssembleW3DModel(bytes, options, *model.mesh);
    // The finder ends with this load; the mesh must not call it later.
    model.mesh->SetTextureSource(nullptr);
    model.extent = model.summary.extent;
    return model;
}

} // namespace kestrel
