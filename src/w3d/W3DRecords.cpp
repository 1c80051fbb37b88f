#include "w3d/W3DRecords.h"

#include "base/ByteReader.h"
#include "w3d/W3DChunk.h"

#include <algorithm>

namespace kestrel {
namespace {

// Records are only read after their payload was checked to be long enough, so a failing read
// means a layout mistake; it still ends the load cleanly rather than reading garbage.
[[noreturn]] void Truncated()
{
    throw W3DChunkError("W3D record shorter than its layout");
}

std::uint32_t U32(ByteReader& reader)
{
    const auto value = reader.ReadU32LE();
    if (!value)
        Truncated();
    return *value;
}

float F32(ByteReader& reader)
{
    const auto value = reader.ReadF32LE();
    if (!value)
        Truncated();
    return *value;
}

std::string FixedString(ByteReader& reader, size_t length)
{
    const auto bytes = reader.ReadBytes(length);
    if (!bytes)
        Truncated();
    const auto end = std::find(bytes->begin(), bytes->end(), std::uint8_t{0});
    return std::string(bytes->begin(), end);
}

W3DColor Color(ByteReader& reader)
{
    const auto bytes = reader.ReadBytes(4);
    if (!bytes)
        Truncated();
    return W3DColor{(*bytes)[0], (*bytes)[1], (*bytes)[2]};
}

} // namespace

W3DVector3 W3DVector3::Read(ByteReader& reader)
{
    W3DVector3 v;
    v.x = F32(reader);
    v.y = F32(reader);
    v.z = F32(reader);
    return v;
}

W3DTexCoord W3DTexCoord::Read(ByteReader& reader)
{
    W3DTexCoord t;
    t.u = F32(reader);
    t.v = F32(reader);
    return t;
}

W3DVertexInfluence W3DVertexInfluence::Read(ByteReader& reader)
{
    W3DVertexInfluence influence;
    const auto bone = reader.ReadU16LE();
    if (!bone || !reader.Skip(6))
        Truncated();
    influence.boneIndex = *bone;
    return influence;
}

W3DTriangle W3DTriangle::Read(ByteReader& reader)
{
    W3DTriangle t;
    for (auto& index : t.vertexIndex)
        index = U32(reader);
    t.attributes = U32(reader);
    t.normal = W3DVector3::Read(reader);
    t.distance = F32(reader);
    return t;
}

W3DId W3DId::Read(ByteReader& reader)
{
    return W3DId{U32(reader)};
}

W3DMeshHeader3 W3DMeshHeader3::Read(ByteReader& reader)
{
    W3DMeshHeader3 h;
    h.version = U32(reader);
    h.attributes = U32(reader);
    h.meshName = FixedString(reader, 16);
    h.containerName = FixedString(reader, 16);
    for (auto* field : {&h.triangleCount, &h.vertexCount, &h.materialCount, &h.damageStageCount,
                        &h.sortLevel, &h.prelitVersion, &h.futureCount, &h.vertexChannels,
                        &h.faceChannels})
        *field = U32(reader);
    h.boxMin = W3DVector3::Read(reader);
    h.boxMax = W3DVector3::Read(reader);
    h.sphereCenter = W3DVector3::Read(reader);
    h.sphereRadius = F32(reader);
    return h;
}

W3DVertexMaterialInfo W3DVertexMaterialInfo::Read(ByteReader& reader)
{
    W3DVertexMaterialInfo m;
    m.attributes = U32(reader);
    m.ambient = Color(reader);
    m.diffuse = Color(reader);
    m.specular = Color(reader);
    m.emissive = Color(reader);
    m.shininess = F32(reader);
    m.opacity = F32(reader);
    m.translucency = F32(reader);
    return m;
}

W3DHierarchyHeader W3DHierarchyHeader::Read(ByteReader& reader)
{
    W3DHierarchyHeader h;
    h.version = U32(reader);
    h.name = FixedString(reader, 16);
    h.pivotCount = U32(reader);
    h.center = W3DVector3::Read(reader);
    return h;
}

W3DPivot W3DPivot::Read(ByteReader& reader)
{
    W3DPivot p;
    p.name = FixedString(reader, 16);
    p.parentIndex = U32(reader);
    p.translation = W3DVector3::Read(reader);
    p.eulerAngles = W3DVector3::Read(reader);
    for (auto& component : p.rotation)
        component = F32(reader);
    return p;
}

W3DHLodHeader W3DHLodHeader::Read(ByteReader& reader)
{
    W3DHLodHeader h;
    h.version = U32(reader);
    h.lodCount = U32(reader);
    h.name = FixedString(reader, 16);
    h.hierarchyName = FixedString(reader, 16);
    return h;
}

W3DHLodSubObjectArrayHeader W3DHLodSubObjectArrayHeader::Read(ByteReader& reader)
{
    W3DHLodSubObjectArrayHeader h;
    h.modelCount = U32(reader);
    h.maxScreenSize = F32(reader);
    return h;
}

W3DHLodSubObject W3DHLodSubObject::Read(ByteReader& reader)
{
    W3DHLodSubObject s;
    s.boneIndex = U32(reader);
    s.name = FixedString(reader, 32);
    return s;
}

} // namespace kestrel
