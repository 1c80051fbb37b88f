#pragma once

namespace kestrel {

/// Vertices in the layout of their `VertexFormatFlags`, `GetStride` bytes apart.
class C3DWVertexBuffer
{
public:
    C3DWVertexBuffer() = default;
    virtual ~C3DWVertexBuffer();
    C3DWVertexBuffer(const C3DWVertexBuffer&) = delete;
    C3DWVertexBuffer& operator=(const C3DWVertexBuffer&) = delete;

    /// Copies `byteCount` bytes (-1: up to the end) to `byteOffset`. False for a range outside
    /// the buffer.
    virtual bool SetData(const void* data, int reserved, int byteOffset, int byteCount) = 0;
    virtual int GetSize() const = 0; ///< stride × count, in bytes
    virtual int GetStride() const = 0;
    virtual int GetCount() const = 0;
    virtual bool GetData(void* destination, int byteOffset, int byteCount) const = 0;
    /// Makes this buffer the vertex source of the next draw, starting at `firstVertex`.
    virtual bool Apply(int firstVertex) = 0;
    virtual bool Unapply() = 0;
};

} // namespace kestrel
