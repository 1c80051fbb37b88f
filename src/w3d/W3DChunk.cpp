#include "w3d/W3DChunk.h"

#include "base/ByteReader.h"
#include "w3d/W3DRecords.h"

namespace kestrel {

constexpr size_t HeaderSize = 8;

W3DChunk::~W3DChunk() = default;

std::unique_ptr<W3DChunk> W3DChunk::ParseFile(std::span<const std::uint8_t> bytes)
{
    auto root = std::make_unique<W3DChunk>();
    root->m_id = RootId;
    root->m_size = static_cast<std::uint32_t>(bytes.size() & ~size_t{ContainerBit});
    root->m_container = true;
    root->ParseChildren(bytes, 0);
    return root;
}

std::unique_ptr<W3DChunk> W3DChunk::Read(W3DChunk* parent, std::span<const std::uint8_t> available)
{
    return ReadAt(parent, available, 1);
}

std::unique_ptr<W3DChunk> W3DChunk::ReadAt(W3DChunk* parent, std::span<const std::uint8_t> available,
                                           int depth)
{
    if (depth > MaxDepth)
        throw W3DChunkError("W3D chunks nested too deeply");
    ByteReader header(available);
    const auto id = header.ReadU32LE();
    const auto storedSize = header.ReadU32LE();
    if (!id || !storedSize)
        throw W3DChunkError("truncated W3D chunk header");
    const std::uint32_t size = *storedSize & ~ContainerBit;
    // The size must fit what encloses the chunk: reading on would leave the buffer.
    if (size > available.size() - HeaderSize)
        throw W3DChunkError("W3D chunk larger than its enclosing payload");

    auto node = CreateW3DChunkNode(*id);
    node->m_parent = parent;
    node->m_id = *id;
    if (*id == SkippedId)
        return node;
    const auto payload = available.subspan(HeaderSize, size);
    if (static_cast<std::int32_t>(*storedSize) >= 1) {
        node->m_size = *storedSize;
        // Some exporters leave the container bit clear on chunks that can only hold sub-chunks
        // (a real skeleton's hierarchy among them); their sub-chunks are read all the same. When
        // the payload is no chunk sequence after all, the chunk stays the leaf its bit says.
        if (IsContainerId(*id) && node->TryParseChildren(payload, depth))
            node->m_container = true;
        else
            node->ReadRecord(payload);
    } else {
        node->m_container = true;
        node->m_size = size;
        node->ParseChildren(payload, depth);
    }
    return node;
}

void W3DChunk::ParseChildren(std::span<const std::uint8_t> payload, int depth)
{
    size_t offset = 0;
    while (offset < payload.size()) {
        const auto rest = payload.subspan(offset);
        if (rest.size() < HeaderSize)
            throw W3DChunkError("truncated W3D chunk header");
        m_children.push_back(ReadAt(this, rest, depth + 1));
        offset += HeaderSize + (LoadU32LE(rest.data() + 4) & ~ContainerBit);
    }
}

bool W3DChunk::TryParseChildren(std::span<const std::uint8_t> payload, int depth)
{
    try {
        ParseChildren(payload, depth);
        return true;
    } catch (const W3DChunkError&) {
        m_children.clear();
        return false;
    }
}

bool W3DChunk::IsContainerId(std::uint32_t id)
{
    switch (id) {
    case W3D_CHUNK_MESH:
    case W3D_CHUNK_VERTEX_MATERIALS:
    case W3D_CHUNK_VERTEX_MATERIAL:
    case W3D_CHUNK_TEXTURES:
    case W3D_CHUNK_TEXTURE:
    case W3D_CHUNK_MATERIAL_PASS:
    case W3D_CHUNK_TEXTURE_STAGE:
    case W3D_CHUNK_SHADER_MATERIALS:
    case W3D_CHUNK_SHADER_MATERIAL:
    case W3D_CHUNK_HIERARCHY:
    case W3D_CHUNK_ANIMATION:
    case W3D_CHUNK_COMPRESSED_ANIMATION:
    case W3D_CHUNK_HLOD:
    case W3D_CHUNK_HLOD_LOD_ARRAY:
    case W3D_CHUNK_HLOD_AGGREGATE_ARRAY:
    case W3D_CHUNK_HLOD_PROXY_ARRAY: return true;
    default: return false;
    }
}

void W3DChunk::ReadRecord(std::span<const std::uint8_t>)
{
}

const W3DChunk* W3DChunk::FindChild(std::uint32_t id, size_t n) const
{
    for (const auto& child : m_children) {
        if (child->m_id == id && n-- == 0)
            return child.get();
    }
    return nullptr;
}

size_t W3DChunk::CountChildren(std::uint32_t id) const
{
    size_t count = 0;
    for (const auto& child : m_children)
        count += child->m_id == id ? 1u : 0u;
    return count;
}

} // namespace kestrel
