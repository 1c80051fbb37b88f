#include "samples/W3DWriter.h"

namespace kestrel::samples {

Bytes8 ChunkWithSize(std::uint32_t id, std::uint32_t sizeField, const Bytes8& payload)
{
    return ByteWriter().U32(id).U32(sizeField).Raw(payload);
}

Bytes8 Chunk(std::uint32_t id, const Bytes8& payload)
{
    return ChunkWithSize(id, static_cast<std::uint32_t>(payload.size()), payload);
}

Bytes8 Container(std::uint32_t id, const std::vector<Bytes8>& children)
{
    const Bytes8 payload = Cat(children);
    return ChunkWithSize(id, static_cast<std::uint32_t>(payload.size()) | 0x80000000u, payload);
}

namespace {

Bytes8 Vectors(const std::vector<W3DVec>& list)
{
    ByteWriter writer;
    for (const auto& v : list)
        writer.Vec3(v.x, v.y, v.z);
    return writer;
}

Bytes8 Ids(const std::vector<std::uint32_t>& ids)
{
    ByteWriter writer;
    for (auto id : ids)
        writer.U32(id);
    return writer;
}

Bytes8 MeshHeader(const W3DMeshDesc& mesh)
{
    ByteWriter header;
    header.U32(0x40002).U32(0).Fixed(mesh.meshName, 16).Fixed(mesh.containerName, 16);
    header.U32(mesh.headerTriangleCount.value_or(static_cast<std::uint32_t>(mesh.triangles.size())));
    header.U32(mesh.headerVertexCount.value_or(static_cast<std::uint32_t>(mesh.positions.size())));
    header.U32(1).U32(0).U32(0).U32(0).U32(0).U32(3).U32(1);
    header.Vec3(0, 0, 0).Vec3(0, 0, 0).Vec3(0, 0, 0).F32(0);
    return header;
}

Bytes8 Triangles(const W3DMeshDesc& mesh)
{
    ByteWriter writer;
    for (const auto& t : mesh.triangles)
        writer.U32(t[0]).U32(t[1]).U32(t[2]).U32(13).Vec3(0, 0, 1).F32(0);
    return writer;
}

Bytes8 VertexMaterials(const W3DMeshDesc& mesh)
{
    std::vector<Bytes8> materials;
    for (const auto& m : mesh.vertexMaterials) {
        ByteWriter info;
        info.U32(0);
        for (const auto& colour : {m.ambient, m.diffuse, std::array<std::uint8_t, 3>{9, 9, 9}, m.emissive})
            info.Raw({colour[0], colour[1], colour[2], 0});
        info.F32(10).F32(m.opacity).F32(0);
        materials.push_back(Container(0x2B, {Chunk(0x2C, CString(m.name)), Chunk(0x2D, info)}));
    }
    return Container(0x2A, materials);
}

Bytes8 ShaderMaterialProperty(std::uint32_t type, const std::string& name, const Bytes8& value)
{
    return Chunk(0x53, ByteWriter().U32(type).U32(static_cast<std::uint32_t>(name.size() + 1)).Raw(CString(name)).Raw(value));
}

Bytes8 ShaderMaterials(const W3DMeshDesc& mesh)
{
    std::vector<Bytes8> materials;
    for (const auto& texture : mesh.shaderDiffuseTextures) {
        const Bytes8 header = ByteWriter().Raw({1}).Fixed("NormalMapped.fx", 32).U32(0);
        const Bytes8 textureValue = ByteWriter().U32(static_cast<std::uint32_t>(texture.size() + 1)).Raw(CString(texture));
        materials.push_back(Container(0x51, {Chunk(0x52, header),
                                             ShaderMaterialProperty(1, "NormalMap", ByteWriter().U32(7).Raw(CString("nrm.dds"))),
                                             ShaderMaterialProperty(2, "BumpScale", ByteWriter().F32(1)),
                                             ShaderMaterialProperty(1, "DiffuseTexture", textureValue),
                                             ShaderMaterialProperty(7, "AlphaTestEnable", {1})}));
    }
    return Container(0x50, materials);
}

Bytes8 MaterialPass(const W3DMeshDesc& mesh)
{
    std::vector<Bytes8> pass;
    if (!mesh.vertexMaterialIds.empty())
        pass.push_back(Chunk(0x39, Ids(mesh.vertexMaterialIds)));
    ByteWriter coords;
    for (const auto& uv : mesh.texCoords)
        coords.F32(uv[0]).F32(uv[1]);
    if (!mesh.shaderDiffuseTextures.empty()) {
        pass.push_back(Chunk(0x3F, Ids(mesh.shaderMaterialIds)));
        pass.push_back(Chunk(0x4A, coords));
        return Container(0x38, pass);
    }
    std::vector<Bytes8> stage;
    if (!mesh.textureIds.empty())
        stage.push_back(Chunk(0x49, Ids(mesh.textureIds)));
    if (!mesh.texCoords.empty())
        stage.push_back(Chunk(0x4A, coords));
    if (!stage.empty())
        pass.push_back(Container(0x48, stage));
    return Container(0x38, pass);
}

} // namespace

Bytes8 MeshChunk(const W3DMeshDesc& mesh)
{
    std::vector<Bytes8> children{Chunk(0x1F, MeshHeader(mesh)), Chunk(0x02, Vectors(mesh.positions)),
                                Chunk(0x03, Vectors(mesh.normals)), Chunk(0x20, Triangles(mesh))};
    if (!mesh.influences.empty()) {
        ByteWriter influences;
        for (auto bone : mesh.influences)
            influences.U16(bone).Zeros(6);
        children.push_back(Chunk(0x0E, influences));
    }
    if (!mesh.vertexMaterials.empty())
        children.push_back(VertexMaterials(mesh));
    if (!mesh.textureNames.empty()) {
        std::vector<Bytes8> textures;
        for (const auto& name : mesh.textureNames)
            textures.push_back(Container(0x31, {Chunk(0x32, CString(name))}));
        children.push_back(Container(0x30, textures));
    }
    if (!mesh.shaderDiffuseTextures.empty())
        children.push_back(ShaderMaterials(mesh));
    if (mesh.materialPass)
        children.push_back(MaterialPass(mesh));
    return Container(0x00, children);
}

Bytes8 HierarchyChunk(const std::string& name, const std::vector<W3DPivotDesc>& pivots)
{
    ByteWriter header;
    header.U32(0x40001).Fixed(name, 16).U32(static_cast<std::uint32_t>(pivots.size())).Vec3(0, 0, 0);
    ByteWriter list;
    for (const auto& p : pivots) {
        list.Fixed(p.name, 16).U32(p.parent).Vec3(p.translation.x, p.translation.y, p.translation.z);
        list.Vec3(0, 0, 0).F32(p.rotation[0]).F32(p.rotation[1]).F32(p.rotation[2]).F32(p.rotation[3]);
    }
    return Container(0x100, {Chunk(0x101, header), Chunk(0x102, list)});
}

Bytes8 HLodChunk(const std::string& name, const std::string& hierarchyName,
                const std::vector<W3DSubObjectDesc>& subObjects)
{
    ByteWriter header;
    header.U32(0x10000).U32(1).Fixed(name, 16).Fixed(hierarchyName, 16);
    ByteWriter arrayHeader;
    arrayHeader.U32(static_cast<std::uint32_t>(subObjects.size())).F32(0);
    std::vector<Bytes8> lodArray{Chunk(0x703, arrayHeader)};
    for (const auto& s : subObjects)
        lodArray.push_back(Chunk(0x704, ByteWriter().U32(s.bone).Fixed(s.name, 32)));
    return Container(0x700, {Chunk(0x701, header), Container(0x702, lodArray)});
}

namespace {

Bytes8 AnimationHeader(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount)
{
    return ByteWriter().U32(0x40000).Fixed(name, 16).Fixed(hierarchyName, 16).U32(frameCount);
}

std::uint8_t VectorLength(const W3DChannelDesc& channel)
{
    return channel.kind == 6 ? 4 : 1;
}

ByteWriter& Values(ByteWriter& writer, const W3DChannelDesc& channel)
{
    for (float value : channel.values)
        writer.F32(value);
    return writer;
}

} // namespace

Bytes8 AnimationChunk(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount,
                        std::uint32_t frameRate, const std::vector<W3DChannelDesc>& channels)
{
    std::vector<Bytes8> children{Chunk(0x201, ByteWriter().Raw(AnimationHeader(name, hierarchyName, frameCount)).U32(frameRate))};
    for (const auto& channel : channels) {
        const auto keys = static_cast<std::uint16_t>(channel.values.size() / VectorLength(channel));
        const auto first = static_cast<std::uint16_t>(channel.frames.at(0));
        ByteWriter payload;
        payload.U16(first).U16(static_cast<std::uint16_t>(first + keys - 1)).U16(VectorLength(channel)).U16(channel.kind);
        payload.U16(channel.pivot).U16(0);
        children.push_back(Chunk(0x202, Values(payload, channel)));
    }
    return Container(0x200, children);
}

Bytes8 CompressedAnimationChunk(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount,
                                  std::uint16_t frameRate, const std::vector<W3DChannelDesc>& channels, bool motion)
{
    std::vector<Bytes8> children{
        Chunk(0x281, ByteWriter().Raw(AnimationHeader(name, hierarchyName, frameCount)).U16(frameRate).U16(0))};
    for (const auto& channel : channels) {
        ByteWriter payload;
        const auto keys = static_cast<std::uint16_t>(channel.frames.size());
        if (motion) {
            payload.Raw({0, 0, VectorLength(channel), channel.kind}).U16(keys).U16(channel.pivot);
            for (auto frame : channel.frames)
                payload.U16(static_cast<std::uint16_t>(frame));
            if (keys % 2 != 0)
                payload.U16(0);
        } else {
            payload.U32(keys).U16(channel.pivot).Raw({VectorLength(channel), channel.kind});
            for (auto frame : channel.frames)
                payload.U32(frame);
        }
        children.push_back(Chunk(motion ? 0x284 : 0x282, Values(payload, channel)));
    }
    return Container(0x280, children);
}

Bytes8 WithoutContainerBit(Bytes8 chunk)
{
    chunk.at(7) &= 0x7F;
    return chunk;
}

W3DMeshDesc UnitQuad(const std::string& meshName)
{
    W3DMeshDesc mesh;
    mesh.meshName = meshName;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh.normals.assign(4, W3DVec{0, 0, 1});
    mesh.triangles = {{0, 1, 2}, {0, 2, 3}};
    return mesh;
}

} // namespace kestrel::samples
