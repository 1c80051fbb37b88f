#include "w3d/W3DModelCollector.h"

namespace kestrel {

int W3DModelCollector::AddMaterial(const MeshMaterialDesc& material)
{
    m_materials.push_back(MeshMaterial{material, {-1, -1, -1}});
    return static_cast<int>(m_materials.size() - 1);
}

int W3DModelCollector::AddGeometry(const std::string& name, std::span<const MeshVertex> vertices, int frameCount,
                                   std::span<const std::uint16_t> indices, std::span<const TriangleRange> ranges)
{
    if (frameCount < 1 || vertices.size() % static_cast<size_t>(frameCount) != 0)
        return -1;
    Group group;
    group.name = name;
    group.frameCount = frameCount;
    group.vertices.assign(vertices.begin(), vertices.end());
    group.indices.assign(indices.begin(), indices.end());
    group.ranges = ResolveRanges(ranges, m_materials);
    m_groups.push_back(std::move(group));
    return static_cast<int>(m_groups.size() - 1);
}

bool W3DModelCollector::GetBounds(int group, MeshBounds& bounds)
{
    if (group < 0 || static_cast<size_t>(group) >= m_groups.size())
        return false;
    bounds = ComputeBounds(m_groups[static_cast<size_t>(group)].vertices);
    return true;
}

void W3DModelCollector::Clear()
{
    m_materials.clear();
    m_groups.clear();
}

} // namespace kestrel
