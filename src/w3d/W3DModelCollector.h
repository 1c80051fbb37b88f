#pragma once

#include "w3d/IModelBuilderTarget.h"

#include <vector>

namespace kestrel {

/// A model assembled into plain memory: what a graphics mesh would hold, without a device. The
/// command-line tool summarises it; tests check vertices and ranges in it.
class W3DModelCollector : public IModelBuilderTarget
{
public:
    struct Group
    {
        std::string name;
        int frameCount = 1;
        std::vector<MeshVertex> vertices; ///< frameCount frames, one after the other
        std::vector<std::uint16_t> indices;
        std::vector<TriangleRange> ranges; ///< with their resolved material indices

        size_t VertexCount() const { return vertices.size() / static_cast<size_t>(frameCount); }
        size_t TriangleCount() const { return indices.size() / 3; }
    };

    int AddMaterial(const MeshMaterialDesc& material) override;
    int AddGeometry(const std::string& name, std::span<const MeshVertex> vertices, int frameCount,
                    std::span<const std::uint16_t> indices, std::span<const TriangleRange> ranges) override;
    bool GetBounds(int group, MeshBounds& bounds) override;
    void Clear() override;

    const std::vector<MeshMaterial>& Materials() const { return m_materials; }
    const std::vector<Group>& Groups() const { return m_groups; }

private:
    std::vector<MeshMaterial> m_materials;
    std::vector<Group> m_groups;
};

} // namespace kestrel
