#include "support/W3DWriter.h"

#include <cstring>

namespace kestrel::test {

PayloadWriter& PayloadWriter::U16(std::uint16_t value)
{
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

PayloadWriter& PayloadWriter::U32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    return *this;
}

PayloadWriter& PayloadWriter::F32(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    return U32(bits);
}

PayloadWriter& PayloadWriter::Vec3(float x, float y, float z)
{
    return F32(x).F32(y).F32(z);
}

PayloadWriter& PayloadWriter::Fixed(const std::string& text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        m_bytes.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    return *this;
}

PayloadWriter& PayloadWriter::Raw(const ByteList& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

PayloadWriter& PayloadWriter::Zeros(size_t count)
{
    m_bytes.insert(m_bytes.end(), count, 0);
    return *this;
}

ByteList ChunkWithSize(std::uint32_t id, std::uint32_t sizeField, const ByteList& payload)
{
    return PayloadWriter().U32(id).U32(sizeField).Raw(payload);
}

ByteList Chunk(std::uint32_t id, const ByteList& payload)
{
    return ChunkWithSize(id, static_cast<std::uint32_t>(payload.size()), payload);
}

ByteList Concat(const std::vector<ByteList>& parts)
{
    PayloadWriter writer;
    for (const auto& part : parts)
        writer.Raw(part);
    return writer;
}

ByteList Container(std::uint32_t id, const std::vector<ByteList>& children)
{
    const ByteList payload = Concat(children);
    return ChunkWithSize(id, static_cast<std::uint32_t>(payload.size()) | 0x80000000u, payload);
}

ByteList Text(const std::string& text)
{
    return PayloadWriter().Fixed(text, text.size() + 1);
}

namespace {

ByteList Vectors(const std::vector<W3DVec>& list)
{
    PayloadWriter writer;
    for (const auto& v : list)
        writer.Vec3(v.x, v.y, v.z);
    return writer;
}

ByteList Ids(const std::vector<std::uint32_t>& ids)
{
    PayloadWriter writer;
    for (auto id : ids)
        writer.U32(id);
    return writer;
}

ByteList MeshHeader(const W3DMeshDesc& mesh)
{
    PayloadWriter header;
    header.U32(0x40002).U32(0).Fixed(mesh.meshName, 16).Fixed(mesh.containerName, 16);
    header.U32(mesh.headerTriangleCount.value_or(static_cast<std::uint32_t>(mesh.triangles.size())));
    header.U32(mesh.headerVertexCount.value_or(static_cast<std::uint32_t>(mesh.positions.size())));
    header.U32(1).U32(0).U32(0).U32(0).U32(0).U32(3).U32(1);
    header.Vec3(0, 0, 0).Vec3(0, 0, 0).Vec3(0, 0, 0).F32(0);
    return header;
}

ByteList Triangles(const W3DMeshDesc& mesh)
{
    PayloadWriter writer;
    for (const auto& t : mesh.triangles)
        writer.U32(t[0]).U32(t[1]).U32(t[2]).U32(13).Vec3(0, 0, 1).F32(0);
    return writer;
}

ByteList VertexMaterials(const W3DMeshDesc& mesh)
{
    std::vector<ByteList> materials;
    for (const auto& m : mesh.vertexMaterials) {
        PayloadWriter info;
        info.U32(0);
        for (const auto& colour : {m.ambient, m.diffuse, std::array<std::uint8_t, 3>{9, 9, 9}, m.emissive})
            info.Raw({colour[0], colour[1], colour[2], 0});
        info.F32(10).F32(m.opacity).F32(0);
        materials.push_back(Container(0x2B, {Chunk(0x2C, Text(m.name)), Chunk(0x2D, info)}));
    }
    return Container(0x2A, materials);
}

ByteList ShaderMaterialProperty(std::uint32_t type, const std::string& name, const ByteList& value)
{
    return Chunk(0x53, PayloadWriter().U32(type).U32(static_cast<std::uint32_t>(name.size() + 1)).Raw(Text(name)).Raw(value));
}

ByteList ShaderMaterials(const W3DMeshDesc& mesh)
{
    std::vector<ByteList> materials;
    for (const auto& texture : mesh.shaderDiffuseTextures) {
        const ByteList header = PayloadWriter().Raw({1}).Fixed("NormalMapped.fx", 32).U32(0);
        const ByteList textureValue = PayloadWriter().U32(static_cast<std::uint32_t>(texture.size() + 1)).Raw(Text(texture));
        materials.push_back(Container(0x51, {Chunk(0x52, header),
                                             ShaderMaterialProperty(1, "NormalMap", PayloadWriter().U32(7).Raw(Text("nrm.dds"))),
                                             ShaderMaterialProperty(2, "BumpScale", PayloadWriter().F32(1)),
                                             ShaderMaterialProperty(1, "DiffuseTexture", textureValue),
                                             ShaderMaterialProperty(7, "AlphaTestEnable", {1})}));
    }
    return Container(0x50, materials);
}

ByteList MaterialPass(const W3DMeshDesc& mesh)
{
    std::vector<ByteList> pass;
    if (!mesh.vertexMaterialIds.empty())
        pass.push_back(Chunk(0x39, Ids(mesh.vertexMaterialIds)));
    PayloadWriter coords;
    for (const auto& uv : mesh.texCoords)
        coords.F32(uv[0]).F32(uv[1]);
    if (!mesh.shaderDiffuseTextures.empty()) {
        pass.push_back(Chunk(0x3F, Ids(mesh.shaderMaterialIds)));
        pass.push_back(Chunk(0x4A, coords));
        return Container(0x38, pass);
    }
    std::vector<ByteList> stage;
    if (!mesh.textureIds.empty())
        stage.push_back(Chunk(0x49, Ids(mesh.textureIds)));
    if (!mesh.texCoords.empty())
        stage.push_back(Chunk(0x4A, coords));
    if (!stage.empty())
        pass.push_back(Container(0x48, stage));
    return Container(0x38, pass);
}

} // namespace

ByteList MeshChunk(const W3DMeshDesc& mesh)
{
    std::vector<ByteList> children{Chunk(0x1F, MeshHeader(mesh)), Chunk(0x02, Vectors(mesh.positions)),
                                Chunk(0x03, Vectors(mesh.normals)), Chunk(0x20, Triangles(mesh))};
    if (!mesh.influences.empty()) {
        PayloadWriter influences;
        for (auto bone : mesh.influences)
            influences.U16(bone).Zeros(6);
        children.push_back(Chunk(0x0E, influences));
    }
    if (!mesh.vertexMaterials.empty())
        children.push_back(VertexMaterials(mesh));
    if (!mesh.textureNames.empty()) {
        std::vector<ByteList> textures;
        for (const auto& name : mesh.textureNames)
            textures.push_back(Container(0x31, {Chunk(0x32, Text(name))}));
        children.push_back(Container(0x30, textures));
    }
    if (!mesh.shaderDiffuseTextures.empty())
        children.push_back(ShaderMaterials(mesh));
    if (mesh.materialPass)
        children.push_back(MaterialPass(mesh));
    return Container(0x00, children);
}

ByteList HierarchyChunk(const std::string& name, const std::vector<W3DPivotDesc>& pivots)
{
    PayloadWriter header;
    header.U32(0x40001).Fixed(name, 16).U32(static_cast<std::uint32_t>(pivots.size())).Vec3(0, 0, 0);
    PayloadWriter list;
    for (const auto& p : pivots) {
        list.Fixed(p.name, 16).U32(p.parent).Vec3(p.translation.x, p.translation.y, p.translation.z);
        list.Vec3(0, 0, 0).F32(p.rotation[0]).F32(p.rotation[1]).F32(p.rotation[2]).F32(p.rotation[3]);
    }
    return Container(0x100, {Chunk(0x101, header), Chunk(0x102, list)});
}

ByteList HLodChunk(const std::string& name, const std::string& hierarchyName,
                const std::vector<W3DSubObjectDesc>& subObjects)
{
    PayloadWriter header;
    header.U32(0x10000).U32(1).Fixed(name, 16).Fixed(hierarchyName, 16);
    PayloadWriter arrayHeader;
    arrayHeader.U32(static_cast<std::uint32_t>(subObjects.size())).F32(0);
    std::vector<ByteList> lodArray{Chunk(0x703, arrayHeader)};
    for (const auto& s : subObjects)
        lodArray.push_back(Chunk(0x704, PayloadWriter().U32(s.bone).Fixed(s.name, 32)));
    return Container(0x700, {Chunk(0x701, header), Container(0x702, lodArray)});
}

namespace {

ByteList AnimationHeader(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount)
{
    return PayloadWriter().U32(0x40000).Fixed(name, 16).Fixed(hierarchyName, 16).U32(frameCount);
}

std::uint8_t VectorLength(const W3DChannelDesc& channel)
{
    return channel.kind == 6 ? 4 : 1;
}

PayloadWriter& Values(PayloadWriter& writer, const W3DChannelDesc& channel)
{
    for (float value : channel.values)
        writer.F32(value);
    return writer;
}

} // namespace

ByteList AnimationChunk(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount,
                        std::uint32_t frameRate, const std::vector<W3DChannelDesc>& channels)
{
    std::vector<ByteList> children{Chunk(0x201, PayloadWriter().Raw(AnimationHeader(name, hierarchyName, frameCount)).U32(frameRate))};
    for (const auto& channel : channels) {
        const auto keys = static_cast<std::uint16_t>(channel.values.size() / VectorLength(channel));
        const auto first = static_cast<std::uint16_t>(channel.frames.at(0));
        PayloadWriter payload;
        payload.U16(first).U16(static_cast<std::uint16_t>(first + keys - 1)).U16(VectorLength(channel)).U16(channel.kind);
        payload.U16(channel.pivot).U16(0);
        children.push_back(Chunk(0x202, Values(payload, channel)));
    }
    return Container(0x200, children);
}

ByteList CompressedAnimationChunk(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount,
                                  std::uint16_t frameRate, const std::vector<W3DChannelDesc>& channels, bool motion)
{
    std::vector<ByteList> children{
        Chunk(0x281, PayloadWriter().Raw(AnimationHeader(name, hierarchyName, frameCount)).U16(frameRate).U16(0))};
    for (const auto& channel : channels) {
        PayloadWriter payload;
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

ByteList WithoutContainerBit(ByteList chunk)
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

} // namespace kestrel::test
