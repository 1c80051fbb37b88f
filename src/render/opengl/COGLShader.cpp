#include "render/opengl/COGLShader.h"

#include "render/ResourceRules.h"
#include "render/opengl/COGLDevice.h"

namespace kestrel {

template <typename Interface, GLenum Target>
COGLShader<Interface, Target>::COGLShader(COGLDevice& device, GLuint program, std::string text)
    : COGLResource(device), m_program(program), m_text(std::move(text))
{
}

template <typename Interface, GLenum Target>
COGLShader<Interface, Target>::~COGLShader()
{
    ReleaseFromDevice();
}

template <typename Interface, GLenum Target>
void COGLShader<Interface, Target>::ReleaseGL()
{
    if (m_program != 0 && m_device->Extensions().deletePrograms != nullptr)
        m_device->Extensions().deletePrograms(1, &m_program);
    m_program = 0;
}

template <typename Interface, GLenum Target>
bool COGLShader<Interface, Target>::GetSource(char* buffer, int bufferSize) const
{
    return CopyShaderSource(&m_text, buffer, bufferSize);
}

template class COGLShader<C3DWVertexShader, GL_VERTEX_PROGRAM_ARB>;
template class COGLShader<C3DWPixelShader, GL_FRAGMENT_PROGRAM_ARB>;

} // namespace kestrel
