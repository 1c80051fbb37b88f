#pragma once

namespace kestrel {

/// Unsigned 16-bit indices.
class C3DWIndexBuffer
{
public:
    C3DWIndexBuffer() = default;
    virtual ~C3DWIndexBuffer();
    C3DWIndexBuffer(const C3DWIndexBuffer&) = delete;
    C3DWIndexBuffer& operator=(const C3DWIndexBuffer&) = delete;

    /// As `C3DWVertexBuffer::SetData`, in bytes.
    virtual bool SetData(const void* data, int reserved, int byteOffset, int byteCount) = 0;
    virtual int GetSize() const = 0; ///< 2 × count, in bytes
    virtual int GetCount() const = 0;
    virtual int GetIndexSize() const = 0;
    virtual bool GetData(void* destination, int byteOffset, int byteCount) const = 0;
    virtual bool Apply() = 0;
    virtual bool Unapply() = 0;
};

} // namespace kestrel
