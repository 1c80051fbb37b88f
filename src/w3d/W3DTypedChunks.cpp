#include "w3d/W3DTypedChunks.h"

#include "base/ByteReader.h"

namespace kestrel {

template <std::uint32_t ChunkIdValue, class Record>
void W3DRecordChunk<ChunkIdValue, Record>::ReadRecord(std::span<const std::uint8_t> payload)
{
    if constexpr (requires { Record::MinimumSize; }) {
        if (payload.size() < Record::MinimumSize)
            throw W3DChunkError("W3D chunk shorter than its record");
    } else {
        if (payload.size() < Record::Size)
            throw W3DChunkError("W3D chunk shorter than its record");
        payload = payload.first(Record::Size);
    }
    ByteReader reader(payload);
    m_record = Record::Read(reader);
}

template <std::uint32_t ChunkIdValue, class Element>
void W3DListChunk<ChunkIdValue, Element>::ReadRecord(std::span<const std::uint8_t> payload)
{
    const size_t count = payload.size() / Element::Size;
    ByteReader reader(payload.first(count * Element::Size));
    m_elements.reserve(count);
    for (size_t i = 0; i < count; ++i)
        m_elements.push_back(Element::Read(reader));
}

template <std::uint32_t ChunkIdValue>
void W3DStringChunk<ChunkIdValue>::ReadRecord(std::span<const std::uint8_t> payload)
{
    const auto text = payload.first(payload.size() - 1);
    size_t length = 0;
    while (length < text.size() && text[length] != 0)
        ++length;
    m_text.assign(reinterpret_cast<const char*>(text.data()), length);
}

namespace {

template <class Node>
std::unique_ptr<W3DChunk> Make()
{
    return std::make_unique<Node>();
}

} // namespace

std::unique_ptr<W3DChunk> CreateW3DChunkNode(std::uint32_t id)
{
    switch (id) {
    case W3D_CHUNK_VERTICES: return Make<W3DVerticesChunk>();
    case W3D_CHUNK_VERTEX_NORMALS: return Make<W3DVertexNormalsChunk>();
    case W3D_CHUNK_VERTEX_INFLUENCES: return Make<W3DVertexInfluencesChunk>();
    case W3D_CHUNK_MESH_HEADER3: return Make<W3DMeshHeader3Chunk>();
    case W3D_CHUNK_TRIANGLES: return Make<W3DTrianglesChunk>();
    case W3D_CHUNK_VERTEX_MATERIAL_NAME: return Make<W3DVertexMaterialNameChunk>();
    case W3D_CHUNK_VERTEX_MATERIAL_INFO: return Make<W3DVertexMaterialInfoChunk>();
    case W3D_CHUNK_TEXTURE_NAME: return Make<W3DTextureNameChunk>();
    case W3D_CHUNK_VERTEX_MATERIAL_IDS: return Make<W3DVertexMaterialIdsChunk>();
    case W3D_CHUNK_TEXTURE_IDS: return Make<W3DTextureIdsChunk>();
    case W3D_CHUNK_STAGE_TEXCOORDS: return Make<W3DStageTexCoordsChunk>();
    case W3D_CHUNK_SHADER_MATERIAL_ID: return Make<W3DShaderMaterialIdsChunk>();
    case W3D_CHUNK_SHADER_MATERIAL_HEADER: return Make<W3DShaderMaterialHeaderChunk>();
    case W3D_CHUNK_SHADER_MATERIAL_PROPERTY: return Make<W3DShaderMaterialPropertyChunk>();
    case W3D_CHUNK_HIERARCHY_HEADER: return Make<W3DHierarchyHeaderChunk>();
    case W3D_CHUNK_PIVOTS: return Make<W3DPivotsChunk>();
    case W3D_CHUNK_ANIMATION_HEADER: return Make<W3DAnimationHeaderChunk>();
    case W3D_CHUNK_ANIMATION_CHANNEL: return Make<W3DAnimationChannelChunk>();
    case W3D_CHUNK_COMPRESSED_ANIMATION_HEADER: return Make<W3DCompressedAnimationHeaderChunk>();
    case W3D_CHUNK_COMPRESSED_ANIMATION_CHANNEL: return Make<W3DCompressedAnimationChannelChunk>();
    case W3D_CHUNK_COMPRESSED_ANIMATION_MOTION_CHANNEL: return Make<W3DMotionChannelChunk>();
    case W3D_CHUNK_HLOD_HEADER: return Make<W3DHLodHeaderChunk>();
    case W3D_CHUNK_HLOD_SUB_OBJECT_ARRAY_HEADER: return Make<W3DHLodSubObjectArrayHeaderChunk>();
    case W3D_CHUNK_HLOD_SUB_OBJECT: return Make<W3DHLodSubObjectChunk>();
    default: return std::make_unique<W3DChunk>();
    }
}

} // namespace kestrel
