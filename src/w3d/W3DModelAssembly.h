#pragma once

#include "w3d/IModelBuilderTarget.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

struct W3DAnimation;

struct W3DAssemblyOptions
{
    /// Posed in every frame of this animation (when the model has a skeleton): each mesh then
    /// holds one set of vertices per frame. Borrowed for the assembly only.
    const W3DAnimation* animation = nullptr;
    /// The Textures option: without it no texture coordinates and no textured materials.
    bool texturesEnabled = true;
    /// The whole bytes of a model file by its entry name (compared regardless of case), or nullopt:
    /// the skeleton of an HLOD model is looked up here. May be empty.
    std::function<std::optional<std::vector<std::uint8_t>>(const std::string& entryName)> readArchiveEntry;
};

/// What one model load found, beyond what went into the target.
struct W3DModelSummary
{
    /// False when the bytes were not a valid chunk tree or the skeleton was inconsistent; the
    /// target was then cleared.
    bool loaded = false;
    std::string error;
    /// Largest absolute bounding coordinate over all meshes (drives the preview's camera).
    float extent = 0;
    /// Bounds of every drawn vertex of the model; none when no mesh has vertices.
    std::optional<MeshBounds> bounds;

    enum class HierarchySource { None, Own, ArchiveEntry };
    HierarchySource hierarchySource = HierarchySource::None;
    std::string hierarchyName;
    /// The archive entry the skeleton came from, or the entry that was looked for in vain.
    std::string hierarchyEntry;
    size_t pivotCount = 0;

    /// Every shader material of the drawn meshes, in file order: the shader it is written for
    /// and the diffuse texture it names (empty when it names none).
    struct ShaderMaterial
    {
        std::string shader;
        std::string diffuseTexture;
    };
    std::vector<ShaderMaterial> shaderMaterials;

    /// Frames of the animation the meshes hold (0 without an animation); fewer than the
    /// animation's own when a long animation of a large model was sampled.
    size_t animationFrames = 0;

    size_t meshCount = 0;        ///< top-level meshes in the file
    size_t skippedMeshCount = 0; ///< of those, meshes whose required parts were missing or inconsistent
};

/// The entries a skeleton named `hierarchyName` may be stored as, in the order they are tried: in
/// the folder named by the name's first two letters below "art\w3d\", then in "art\w3d\" itself.
std::vector<std::string> SkeletonEntryNames(const std::string& hierarchyName);

/// Assembles a ".w3d" entry into `target`: finds the skeleton (the model's own hierarchy, else
/// the HLOD's, under one of its SkeletonEntryNames), places every mesh at its bone, skins
/// influenced vertices, and adds materials, ranges and geometry. Never throws for bad input: a
/// damaged file gives a summary with loaded false and an empty target.
W3DModelSummary AssembleW3DModel(std::span<const std::uint8_t> bytes, const W3DAssemblyOptions& options,
                                 IModelBuilderTarget& target);

} // namespace kestrel
