#pragma once

#include "render/C3DWPixelShader.h"
#include "render/C3DWVertexShader.h"
#include "render/opengl/COGLResource.h"

#include <QtGui/qopengl.h>

#include <string>

namespace kestrel {

/// An ARB program (vertex or fragment, by `Target`) and the text it was loaded from.
template <typename Interface, GLenum Target>
class COGLShader : public Interface, public COGLResource
{
public:
    COGLShader(COGLDevice& device, GLuint program, std::string text);
    ~COGLShader() override;

    bool GetSource(char* buffer, int bufferSize) const override;
    void ReleaseGL() override;

    GLuint Program() const { return m_program; }

private:
    GLuint m_program;
    std::string m_text;
};

using COGLVertexShader = COGLShader<C3DWVertexShader, GL_VERTEX_PROGRAM_ARB>;
using COGLPixelShader = COGLShader<C3DWPixelShader, GL_FRAGMENT_PROGRAM_ARB>;

extern template class COGLShader<C3DWVertexShader, GL_VERTEX_PROGRAM_ARB>;
extern template class COGLShader<C3DWPixelShader, GL_FRAGMENT_PROGRAM_ARB>;

} // namespace kestrel
