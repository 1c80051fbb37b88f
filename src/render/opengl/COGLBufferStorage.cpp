#include "render/opengl/COGLBufferStorage.h"

#include "render/ResourceRules.h"

#include <cstring>

namespace kestrel {

COGLBufferStorage::COGLBufferStorage(const COGLExtensions& gl, GLenum target, int size, bool useBufferObject,
                                     bool dynamic)
    : m_target(target), m_memory(static_cast<size_t>(size))
{
    if (!useBufferObject)
        return;
    gl.genBuffers(1, &m_name);
    gl.bindBuffer(m_target, m_name);
    gl.bufferData(m_target, size, nullptr, dynamic ? GL_DYNAMIC_DRAW_ARB : GL_STATIC_DRAW_ARB);
    gl.bindBuffer(m_target, 0);
}

bool COGLBufferStorage::Write(const COGLExtensions& gl, const void* data, int byteOffset, int byteCount)
{
    const int count = ResolveByteRange(byteOffset, byteCount, Size());
    if (data == nullptr || count < 0)
        return false;
    if (count == 0)
        return true;
    std::memcpy(m_memory.data() + byteOffset, data, static_cast<size_t>(count));
    if (m_name != 0) {
        gl.bindBuffer(m_target, m_name);
        gl.bufferSubData(m_target, byteOffset, count, data);
        gl.bindBuffer(m_target, 0);
    }
    return true;
}

bool COGLBufferStorage::Read(void* destination, int byteOffset, int byteCount) const
{
    const int count = ResolveByteRange(byteOffset, byteCount, Size());
    if (destination == nullptr || count < 0)
        return false;
    if (count > 0)
        std::memcpy(destination, m_memory.data() + byteOffset, static_cast<size_t>(count));
    return true;
}

void COGLBufferStorage::Release(const COGLExtensions& gl)
{
    if (m_name != 0 && gl.deleteBuffers != nullptr)
        gl.deleteBuffers(1, &m_name);
    m_name = 0;
}

std::uintptr_t COGLBufferStorage::Bind(const COGLExtensions& gl) const
{
    if (gl.bindBuffer != nullptr)
        gl.bindBuffer(m_target, m_name);
    return m_name != 0 ? 0 : reinterpret_cast<std::uintptr_t>(m_memory.data());
}

void COGLBufferStorage::Unbind(const COGLExtensions& gl) const
{
    if (gl.bindBuffer != nullptr)
        gl.bindBuffer(m_target, 0);
}

} // namespace kestrel
