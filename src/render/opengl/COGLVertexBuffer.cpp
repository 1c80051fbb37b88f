#include "render/opengl/COGLVertexBuffer.h"

#include "render/opengl/COGLDevice.h"

#include <algorithm>

namespace kestrel {

COGLVertexBuffer::COGLVertexBuffer(COGLDevice& device, std::uint32_t usage, std::uint32_t formatFlags,
                                   int vertexCount, int stride, bool useBufferObject)
    : COGLResource(device), m_usage(usage), m_layout(DecodeVertexFormat(formatFlags)), m_stride(stride),
      m_count(vertexCount), m_storage(device.Extensions(), GL_ARRAY_BUFFER_ARB, stride * vertexCount,
                                      useBufferObject, (usage & BufferDynamic) != 0)
{
}

COGLVertexBuffer::~COGLVertexBuffer()
{
    ReleaseFromDevice();
}

void COGLVertexBuffer::ReleaseGL()
{
    m_storage.Release(m_device->Extensions());
}

bool COGLVertexBuffer::SetData(const void* data, int /*reserved*/, int byteOffset, int byteCount)
{
    return m_device != nullptr && m_storage.Write(m_device->Extensions(), data, byteOffset, byteCount);
}

int COGLVertexBuffer::GetSize() const
{
    return m_storage.Size();
}

int COGLVertexBuffer::GetStride() const
{
    return m_stride;
}

int COGLVertexBuffer::GetCount() const
{
    return m_count;
}

bool COGLVertexBuffer::GetData(void* destination, int byteOffset, int byteCount) const
{
    return m_storage.Read(destination, byteOffset, byteCount);
}

bool COGLVertexBuffer::Apply(int firstVertex)
{
    if (m_device == nullptr || firstVertex < 0 || firstVertex > m_count)
        return false;
    const std::uintptr_t base = m_storage.Bind(m_device->Extensions());
    m_device->SetVertexArrays(base + static_cast<std::uintptr_t>(firstVertex) * static_cast<std::uintptr_t>(m_stride),
                              m_stride, m_layout, COGLDevice::Texturing::EnableSets);
    return true;
}

bool COGLVertexBuffer::Unapply()
{
    if (m_device == nullptr)
        return false;
    m_storage.Unbind(m_device->Extensions());
    m_device->DisableVertexArrays(std::max(m_layout.texSetCount, m_device->Extensions().textureUnits));
    return true;
}

} // namespace kestrel
