#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

namespace kestrel {

/// The one error of the W3D code: the bytes do not form a chunk tree (a truncated header, a chunk
/// larger than what encloses it, a record shorter than its layout, nesting too deep) or the
/// skeleton is inconsistent. It ends a model load; the assembly catches it.
class W3DChunkError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// A node of a W3D chunk tree. Every chunk is an 8-byte header (id, payload size) followed by its
/// payload; bit 31 of the size, or a size of 0, marks a payload made of sub-chunks. Nodes own
/// their children. Typed nodes (W3DTypedChunks.h) copy the records of the chunk kinds Kestrel
/// understands; any other id becomes a plain W3DChunk.
class W3DChunk
{
public:
    static constexpr std::uint32_t RootId = 0xFFFFFFFFu;
    /// Chunks with this id are kept as empty leaves; their payload is never looked at.
    static constexpr std::uint32_t SkippedId = 0xF3F;
    static constexpr std::uint32_t ContainerBit = 0x80000000u;
    /// Real models nest a handful of levels; the limit keeps hostile files off the stack.
    static constexpr int MaxDepth = 64;

    /// Parses a whole file into a root node (id RootId, container) whose children are the file's
    /// top-level chunks. Throws W3DChunkError.
    static std::unique_ptr<W3DChunk> ParseFile(std::span<const std::uint8_t> bytes);

    /// Builds the node for the chunk whose header starts `available` (which runs to the end of
    /// the enclosing payload), with its record or sub-chunks. Throws W3DChunkError.
    static std::unique_ptr<W3DChunk> Read(W3DChunk* parent, std::span<const std::uint8_t> available);

    W3DChunk() = default;
    virtual ~W3DChunk();
    W3DChunk(const W3DChunk&) = delete;
    W3DChunk& operator=(const W3DChunk&) = delete;

    const W3DChunk* Parent() const { return m_parent; }
    std::uint32_t Id() const { return m_id; }
    /// Payload size with bit 31 cleared.
    std::uint32_t Size() const { return m_size; }
    bool IsContainer() const { return m_container; }
    const std::vector<std::unique_ptr<W3DChunk>>& Children() const { return m_children; }

    /// Ids whose chunks only ever hold sub-chunks, whatever their container bit says.
    static bool IsContainerId(std::uint32_t id);

    /// The n-th (from 0) direct child with this id, or null.
    const W3DChunk* FindChild(std::uint32_t id, size_t n = 0) const;
    size_t CountChildren(std::uint32_t id) const;

    /// The n-th direct child of a typed node's id, as that node type, or null.
    template <class Node>
    const Node* FindChild(size_t n = 0) const
    {
        return dynamic_cast<const Node*>(FindChild(Node::ChunkId, n));
    }

protected:
    /// Typed nodes copy their record from a leaf chunk's payload here.
    virtual void ReadRecord(std::span<const std::uint8_t> payload);

private:
    static std::unique_ptr<W3DChunk> ReadAt(W3DChunk* parent, std::span<const std::uint8_t> available,
                                            int depth);
    void ParseChildren(std::span<const std::uint8_t> payload, int depth);
    /// ParseChildren that leaves no children and returns false when the payload is no chunk sequence.
    bool TryParseChildren(std::span<const std::uint8_t> payload, int depth);

    W3DChunk* m_parent = nullptr;
    std::uint32_t m_id = RootId;
    std::uint32_t m_size = 0;
    bool m_container = false;
    std::vector<std::unique_ptr<W3DChunk>> m_children;
};

/// The node to build for a chunk id: a typed node for the kinds Kestrel reads, else a plain one.
std::unique_ptr<W3DChunk> CreateW3DChunkNode(std::uint32_t id);

} // namespace kestrel
