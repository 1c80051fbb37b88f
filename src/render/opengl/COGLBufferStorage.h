#pragma once

#include "render/opengl/COGLExtensions.h"

#include <cstdint>
#include <vector>

namespace kestrel {

/// The bytes of a vertex or index buffer: always a system-memory copy (reads come from it), and a
/// buffer object beside it when the buffer lives in graphics memory.
class COGLBufferStorage
{
public:
    /// `target` is the array or element-array target the buffer object is bound to.
    COGLBufferStorage(const COGLExtensions& gl, GLenum target, int size, bool useBufferObject, bool dynamic);

    /// Byte ranges as buffers take them: a count of -1 runs to the end; false outside the buffer.
    bool Write(const COGLExtensions& gl, const void* data, int byteOffset, int byteCount);
    bool Read(void* destination, int byteOffset, int byteCount) const;
    void Release(const COGLExtensions& gl);

    /// Binds the buffer object (or nothing) and gives the address its bytes have for OpenGL
    /// calls: 0 inside a buffer object. An integer, so offsets can be added to it without doing
    /// arithmetic on a null pointer.
    std::uintptr_t Bind(const COGLExtensions& gl) const;
    void Unbind(const COGLExtensions& gl) const;

    int Size() const { return static_cast<int>(m_memory.size()); }
    const unsigned char* Memory() const { return m_memory.data(); }

private:
    GLenum m_target;
    GLuint m_name = 0;
    std::vector<unsigned char> m_memory;
};

} // namespace kestrel
