#include "w3d/W3DAnimationLookup.h"

#include "archive/CBIGFile.h"
#include "base/AsciiCase.h"
#include "w3d/W3DChunk.h"
#include "w3d/W3DModelAssembly.h"
#include "w3d/W3DRecords.h"

namespace kestrel {
namespace {

/// "EUTWIN1_SKL" -> "eutwin1": the part of a skeleton's name its model and animations share.
std::string HierarchyStem(const std::string& hierarchyName)
{
    std::string stem = AsciiLowered(hierarchyName);
    if (stem.size() > 4 && stem.ends_with("_skl"))
        stem.resize(stem.size() - 4);
    return stem;
}

bool HoldsMeshes(const std::vector<std::uint8_t>& bytes)
{
    try {
        const auto root = W3DChunk::ParseFile(bytes);
        return root->FindChild(W3D_CHUNK_MESH) != nullptr;
    } catch (const W3DChunkError&) {
        return false;
    }
}

} // namespace

std::optional<FoundModelFile> FindModelForHierarchy(const ModelFileReader& read, const std::string& hierarchyName)
{
    std::vector<std::string> candidates = SkeletonEntryNames(hierarchyName);
    const std::string stem = HierarchyStem(hierarchyName);
    if (stem != AsciiLowered(hierarchyName)) {
        for (const auto& name : SkeletonEntryNames(hierarchyName.substr(0, stem.size())))
            candidates.push_back(name);
    }
    for (const auto& entry : candidates) {
        if (auto bytes = read(entry); bytes && HoldsMeshes(*bytes))
            return FoundModelFile{entry, std::move(*bytes)};
    }
    return std::nullopt;
}

std::vector<ArchiveAnimation> FindAnimationsForHierarchy(CBIGFile& archive, const std::string& hierarchyName)
{
    std::vector<ArchiveAnimation> found;
    const std::string stem = HierarchyStem(hierarchyName);
    const std::string hierarchy = AsciiLowered(hierarchyName);
    for (int index = 0; index < archive.GetEntryCount(); ++index) {
        const std::string name = AsciiLowered(archive.GetEntryName(index));
        const size_t slash = name.rfind('\\');
        const std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
        if (!name.starts_with("art\\w3d\\") || !name.ends_with(".w3d") || !file.starts_with(stem))
            continue;
        const auto bytes = archive.GetEntryBytes(index);
        if (!bytes)
            continue;
        auto load = LoadW3DAnimation(*bytes);
        if (load.animation && AsciiLowered(load.animation->hierarchyName) == hierarchy)
            found.push_back(ArchiveAnimation{archive.GetEntryName(index), std::move(*load.animation)});
    }
    return found;
}

} // namespace kestrel
