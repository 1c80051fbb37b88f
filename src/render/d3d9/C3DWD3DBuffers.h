#pragma once

#include "render/C3DWIndexBuffer.h"
#include "render/C3DWVertexBuffer.h"

#include <d3d9.h>

#include <cstdint>

namespace kestrel {

class C3DWD3DDevice;

/// Buffer placement from `BufferUsage`: system memory when only that is asked for, else managed.
/// Dynamic buffers go to the default pool, since Direct3D refuses dynamic managed buffers.
D3DPOOL BufferPool(std::uint32_t usage);

class C3DWD3DVertexBuffer : public C3DWVertexBuffer
{
public:
    C3DWD3DVertexBuffer(C3DWD3DDevice& device, IDirect3DVertexBuffer9* buffer, int stride, int count, DWORD fvf,
                        bool dynamic);
    ~C3DWD3DVertexBuffer() override;

    bool SetData(const void* data, int reserved, int byteOffset, int byteCount) override;
    int GetSize() const override { return m_stride * m_count; }
    int GetStride() const override { return m_stride; }
    int GetCount() const override { return m_count; }
    bool GetData(void* destination, int byteOffset, int byteCount) const override;
    /// The first vertex is not used: the draw calls pass their base vertex to Direct3D.
    bool Apply(int firstVertex) override;
    bool Unapply() override { return true; }

private:
    C3DWD3DDevice& m_device;
    IDirect3DVertexBuffer9* m_buffer;
    int m_stride;
    int m_count;
    DWORD m_fvf;
    bool m_dynamic;
};

class C3DWD3DIndexBuffer : public C3DWIndexBuffer
{
public:
    C3DWD3DIndexBuffer(C3DWD3DDevice& device, IDirect3DIndexBuffer9* buffer, int count, bool dynamic);
    ~C3DWD3DIndexBuffer() override;

    bool SetData(const void* data, int reserved, int byteOffset, int byteCount) override;
    int GetSize() const override { return 2 * m_count; }
    int GetCount() const override { return m_count; }
    int GetIndexSize() const override { return 2; }
    bool GetData(void* destination, int byteOffset, int byteCount) const override;
    bool Apply() override;
    bool Unapply() override;

private:
    C3DWD3DDevice& m_device;
    IDirect3DIndexBuffer9* m_buffer;
    int m_count;
    bool m_dynamic;
};

} // namespace kestrel
