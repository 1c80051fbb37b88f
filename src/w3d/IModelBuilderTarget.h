#pragma once

#include "w3d/MeshTypes.h"

#include <cstdint>
#include <span>
#include <string>

namespace kestrel {

/// What the W3D model assembly builds into. C3DWMesh puts the model on a graphics device; the
/// W3DModelCollector keeps it in memory for tools and tests.
class IModelBuilderTarget
{
public:
    virtual ~IModelBuilderTarget() = default;

    /// Adds a material and returns its index, or -1 when it cannot be added.
    virtual int AddMaterial(const MeshMaterialDesc& material) = 0;

    /// Appends one geometry group: `vertices` holds frameCount frames of equally many vertices
    /// each, `indices` three per triangle relative to the group's first vertex, `ranges` the
    /// material of every triangle span (each range's material is resolved by name here).
    /// Returns the group's index, or -1 when it cannot be added.
    virtual int AddGeometry(const std::string& name, std::span<const MeshVertex> vertices, int frameCount,
                            std::span<const std::uint16_t> indices, std::span<const TriangleRange> ranges) = 0;

    /// Bounds of a group's positions over all its frames; false for an unknown group.
    virtual bool GetBounds(int group, MeshBounds& bounds) = 0;

    /// Drops everything added so far.
    virtual void Clear() = 0;
};

} // namespace kestrel
