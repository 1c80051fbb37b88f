#include "render/d3d9/C3DWD3DBuffers.h"

#include "render/ResourceRules.h"
#include "render/d3d9/C3DWD3DDevice.h"

#include <cstring>

namespace kestrel {
namespace {

/// Both buffer kinds lock, copy and unlock alike; only the lock call differs.
template <typename Buffer>
bool CopyIn(Buffer* buffer, const void* data, int byteOffset, int byteCount, int size, bool dynamic)
{
    const int count = ResolveByteRange(byteOffset, byteCount, size);
    if (buffer == nullptr || data == nullptr || count < 0)
        return false;
    void* locked = nullptr;
    // Rewriting a dynamic buffer whole lets the driver hand out fresh memory instead of waiting.
    const DWORD flags = dynamic && byteOffset == 0 && count == size ? D3DLOCK_DISCARD : 0;
    if (FAILED(buffer->Lock(static_cast<UINT>(byteOffset), static_cast<UINT>(count), &locked, flags)))
        return false;
    std::memcpy(locked, data, static_cast<size_t>(count));
    return SUCCEEDED(buffer->Unlock());
}

template <typename Buffer>
bool CopyOut(Buffer* buffer, void* destination, int byteOffset, int byteCount, int size)
{
    const int count = ResolveByteRange(byteOffset, byteCount, size);
    if (buffer == nullptr || destination == nullptr || count < 0)
        return false;
    void* locked = nullptr;
    if (FAILED(buffer->Lock(static_cast<UINT>(byteOffset), static_cast<UINT>(count), &locked, D3DLOCK_READONLY)))
        return false;
    std::memcpy(destination, locked, static_cast<size_t>(count));
    return SUCCEEDED(buffer->Unlock());
}

} // namespace

D3DPOOL BufferPool(std::uint32_t usage)
{
    if ((usage & BufferDynamic) != 0)
        return D3DPOOL_DEFAULT;
    return (usage & BufferGraphicsMemory) == 0 && (usage & BufferSystemMemory) != 0 ? D3DPOOL_SYSTEMMEM
                                                                                   : D3DPOOL_MANAGED;
}

C3DWD3DVertexBuffer::C3DWD3DVertexBuffer(C3DWD3DDevice& device, IDirect3DVertexBuffer9* buffer, int stride,
                                         int count, DWORD fvf, bool dynamic)
    : m_device(device), m_buffer(buffer), m_stride(stride), m_count(count), m_fvf(fvf), m_dynamic(dynamic)
{
}

C3DWD3DVertexBuffer::~C3DWD3DVertexBuffer()
{
    m_device.NoteApplied(static_cast<C3DWD3DVertexBuffer*>(nullptr));
    if (IDirect3DDevice9* device = m_device.Direct3DDevice())
        device->SetStreamSource(0, nullptr, 0, 0);
    m_buffer->Release();
}

bool C3DWD3DVertexBuffer::SetData(const void* data, int /*reserved*/, int byteOffset, int byteCount)
{
    return CopyIn(m_buffer, data, byteOffset, byteCount, GetSize(), m_dynamic);
}

bool C3DWD3DVertexBuffer::GetData(void* destination, int byteOffset, int byteCount) const
{
    return CopyOut(m_buffer, destination, byteOffset, byteCount, GetSize());
}

bool C3DWD3DVertexBuffer::Apply(int /*firstVertex*/)
{
    IDirect3DDevice9* device = m_device.Direct3DDevice();
    if (device == nullptr || FAILED(device->SetStreamSource(0, m_buffer, 0, static_cast<UINT>(m_stride))))
        return false;
    m_device.UseVertexFormat(m_fvf);
    m_device.NoteApplied(this);
    return true;
}

C3DWD3DIndexBuffer::C3DWD3DIndexBuffer(C3DWD3DDevice& device, IDirect3DIndexBuffer9* buffer, int count, bool dynamic)
    : m_device(device), m_buffer(buffer), m_count(count), m_dynamic(dynamic)
{
}

C3DWD3DIndexBuffer::~C3DWD3DIndexBuffer()
{
    Unapply();
    m_buffer->Release();
}

bool C3DWD3DIndexBuffer::SetData(const void* data, int /*reserved*/, int byteOffset, int byteCount)
{
    return CopyIn(m_buffer, data, byteOffset, byteCount, GetSize(), m_dynamic);
}

bool C3DWD3DIndexBuffer::GetData(void* destination, int byteOffset, int byteCount) const
{
    return CopyOut(m_buffer, destination, byteOffset, byteCount, GetSize());
}

bool C3DWD3DIndexBuffer::Apply()
{
    IDirect3DDevice9* device = m_device.Direct3DDevice();
    if (device == nullptr || FAILED(device->SetIndices(m_buffer)))
        return false;
    m_device.NoteApplied(this);
    return true;
}

bool C3DWD3DIndexBuffer::Unapply()
{
    m_device.NoteApplied(static_cast<C3DWD3DIndexBuffer*>(nullptr));
    IDirect3DDevice9* device = m_device.Direct3DDevice();
    return device != nullptr && SUCCEEDED(device->SetIndices(nullptr));
}

} // namespace kestrel
