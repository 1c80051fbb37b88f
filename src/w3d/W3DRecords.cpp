#include "w3d/W3DRecords.h"

#include "base/ByteReader.h"
#include "w3d/W3DReadHelpers.h"

namespace kestrel {
using namespace w3dread;

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

W3DShaderMaterialHeader W3DShaderMaterialHeader::Read(ByteReader& reader)
{
    W3DShaderMaterialHeader h;
    h.number = U8(reader);
    h.typeName = FixedString(reader, 32);
    U32(reader); // reserved
    return h;
}

W3DShaderMaterialProperty W3DShaderMaterialProperty::Read(ByteReader& reader)
{
    W3DShaderMaterialProperty p;
    p.type = U32(reader);
    // Names and texture names carry their own length (their NUL included).
    p.name = FixedString(reader, U32(reader));
    switch (p.type) {
    case Texture: p.texture = FixedString(reader, U32(reader)); break;
    case Float:
    case Vector2:
    case Vector3:
    case Vector4:
        for (std::uint32_t i = 0; i <= p.type - Float; ++i)
            p.values[i] = F32(reader);
        break;
    case Int: p.integer = U32(reader); break;
    case Bool: p.integer = U8(reader); break;
    default: break; // a kind Kestrel does not know: its name is all it keeps
    }
    return p;
}

} // namespace kestrel
