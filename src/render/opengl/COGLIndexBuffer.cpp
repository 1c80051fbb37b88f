#include "render/opengl/COGLIndexBuffer.h"

#include "render/RenderTypes.h"
#include "render/opengl/COGLDevice.h"

#include <cstring>

namespace kestrel {

COGLIndexBuffer::COGLIndexBuffer(COGLDevice& device, std::uint32_t usage, int indexCount, bool useBufferObject)
    : COGLResource(device), m_count(indexCount),
      m_storage(device.Extensions(), GL_ELEMENT_ARRAY_BUFFER_ARB, 2 * indexCount, useBufferObject,
                (usage & BufferDynamic) != 0)
{
}

COGLIndexBuffer::~COGLIndexBuffer()
{
    ReleaseFromDevice();
}

void COGLIndexBuffer::ReleaseGL()
{
    m_storage.Release(m_device->Extensions());
}

bool COGLIndexBuffer::SetData(const void* data, int /*reserved*/, int byteOffset, int byteCount)
{
    return m_device != nullptr && m_storage.Write(m_device->Extensions(), data, byteOffset, byteCount);
}

int COGLIndexBuffer::GetSize() const
{
    return m_storage.Size();
}

int COGLIndexBuffer::GetCount() const
{
    return m_count;
}

int COGLIndexBuffer::GetIndexSize() const
{
    return 2;
}

bool COGLIndexBuffer::GetData(void* destination, int byteOffset, int byteCount) const
{
    return m_storage.Read(destination, byteOffset, byteCount);
}

bool COGLIndexBuffer::Apply()
{
    if (m_device == nullptr)
        return false;
    m_base = m_storage.Bind(m_device->Extensions());
    return true;
}

bool COGLIndexBuffer::Unapply()
{
    if (m_device == nullptr)
        return false;
    m_storage.Unbind(m_device->Extensions());
    return true;
}

std::uint16_t COGLIndexBuffer::IndexAt(int position) const
{
    std::uint16_t index = 0;
    std::memcpy(&index, m_storage.Memory() + 2 * position, sizeof index);
    return index;
}

const void* COGLIndexBuffer::IndexPointer(int startIndex) const
{
    return reinterpret_cast<const void*>(m_base + 2 * static_cast<std::uintptr_t>(startIndex));
}

} // namespace kestrel
