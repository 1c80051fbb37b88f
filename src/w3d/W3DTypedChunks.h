#pragma once

#include "w3d/W3DChunk.h"
#include "w3d/W3DRecords.h"

#include <string>
#include <vector>

namespace kestrel {

/// A chunk holding one record. A fixed-layout record (with a Size) reads that many bytes: a leaf
/// shorter than the record fails the load, a longer one is accepted and its tail ignored. A record
/// whose length depends on its contents (with a MinimumSize) reads what it needs from the whole
/// payload and fails the load when the payload ends first. A container of this id keeps the
/// default record.
template <std::uint32_t ChunkIdValue, class Record>
class W3DRecordChunk : public W3DChunk
{
public:
    static constexpr std::uint32_t ChunkId = ChunkIdValue;
    const Record& Get() const { return m_record; }

protected:
    void ReadRecord(std::span<const std::uint8_t> payload) override;

private:
    Record m_record;
};

/// A chunk holding a packed list of records: floor(size / record size) elements, any remainder
/// ignored.
template <std::uint32_t ChunkIdValue, class Element>
class W3DListChunk : public W3DChunk
{
public:
    static constexpr std::uint32_t ChunkId = ChunkIdValue;
    const std::vector<Element>& Get() const { return m_elements; }

protected:
    void ReadRecord(std::span<const std::uint8_t> payload) override;

private:
    std::vector<Element> m_elements;
};

/// A chunk whose payload is kept as it is, for records whose layout depends on other chunks (an
/// animation channel's on the animation's header).
template <std::uint32_t ChunkIdValue>
class W3DPayloadChunk : public W3DChunk
{
public:
    static constexpr std::uint32_t ChunkId = ChunkIdValue;
    const std::vector<std::uint8_t>& Get() const { return m_payload; }

protected:
    void ReadRecord(std::span<const std::uint8_t> payload) override { m_payload.assign(payload.begin(), payload.end()); }

private:
    std::vector<std::uint8_t> m_payload;
};

/// A chunk holding text: the payload with its last byte taken as the terminator, so the text
/// ends at the first NUL or one byte before the end of the payload.
template <std::uint32_t ChunkIdValue>
class W3DStringChunk : public W3DChunk
{
public:
    static constexpr std::uint32_t ChunkId = ChunkIdValue;
    const std::string& Get() const { return m_text; }

protected:
    void ReadRecord(std::span<const std::uint8_t> payload) override;

private:
    std::string m_text;
};

using W3DVerticesChunk = W3DListChunk<W3D_CHUNK_VERTICES, W3DVector3>;
using W3DVertexNormalsChunk = W3DListChunk<W3D_CHUNK_VERTEX_NORMALS, W3DVector3>;
using W3DVertexInfluencesChunk = W3DListChunk<W3D_CHUNK_VERTEX_INFLUENCES, W3DVertexInfluence>;
using W3DMeshHeader3Chunk = W3DRecordChunk<W3D_CHUNK_MESH_HEADER3, W3DMeshHeader3>;
using W3DTrianglesChunk = W3DListChunk<W3D_CHUNK_TRIANGLES, W3DTriangle>;
using W3DVertexMaterialNameChunk = W3DStringChunk<W3D_CHUNK_VERTEX_MATERIAL_NAME>;
using W3DVertexMaterialInfoChunk = W3DRecordChunk<W3D_CHUNK_VERTEX_MATERIAL_INFO, W3DVertexMaterialInfo>;
using W3DTextureNameChunk = W3DStringChunk<W3D_CHUNK_TEXTURE_NAME>;
using W3DVertexMaterialIdsChunk = W3DListChunk<W3D_CHUNK_VERTEX_MATERIAL_IDS, W3DId>;
using W3DTextureIdsChunk = W3DListChunk<W3D_CHUNK_TEXTURE_IDS, W3DId>;
using W3DStageTexCoordsChunk = W3DListChunk<W3D_CHUNK_STAGE_TEXCOORDS, W3DTexCoord>;
using W3DShaderMaterialIdsChunk = W3DListChunk<W3D_CHUNK_SHADER_MATERIAL_ID, W3DId>;
using W3DShaderMaterialHeaderChunk = W3DRecordChunk<W3D_CHUNK_SHADER_MATERIAL_HEADER, W3DShaderMaterialHeader>;
using W3DShaderMaterialPropertyChunk = W3DRecordChunk<W3D_CHUNK_SHADER_MATERIAL_PROPERTY, W3DShaderMaterialProperty>;
using W3DHierarchyHeaderChunk = W3DRecordChunk<W3D_CHUNK_HIERARCHY_HEADER, W3DHierarchyHeader>;
using W3DPivotsChunk = W3DListChunk<W3D_CHUNK_PIVOTS, W3DPivot>;
using W3DAnimationHeaderChunk = W3DPayloadChunk<W3D_CHUNK_ANIMATION_HEADER>;
using W3DAnimationChannelChunk = W3DPayloadChunk<W3D_CHUNK_ANIMATION_CHANNEL>;
using W3DCompressedAnimationHeaderChunk = W3DPayloadChunk<W3D_CHUNK_COMPRESSED_ANIMATION_HEADER>;
using W3DCompressedAnimationChannelChunk = W3DPayloadChunk<W3D_CHUNK_COMPRESSED_ANIMATION_CHANNEL>;
using W3DMotionChannelChunk = W3DPayloadChunk<W3D_CHUNK_COMPRESSED_ANIMATION_MOTION_CHANNEL>;
using W3DHLodHeaderChunk = W3DRecordChunk<W3D_CHUNK_HLOD_HEADER, W3DHLodHeader>;
using W3DHLodSubObjectArrayHeaderChunk =
    W3DRecordChunk<W3D_CHUNK_HLOD_SUB_OBJECT_ARRAY_HEADER, W3DHLodSubObjectArrayHeader>;
using W3DHLodSubObjectChunk = W3DRecordChunk<W3D_CHUNK_HLOD_SUB_OBJECT, W3DHLodSubObject>;

} // namespace kestrel
