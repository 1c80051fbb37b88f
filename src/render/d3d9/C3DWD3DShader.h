#pragma once

#include "render/C3DWPixelShader.h"
#include "render/C3DWVertexShader.h"
#include "render/ResourceRules.h"

#include <d3d9.h>

#include <string>

namespace kestrel {

/// A Direct3D vertex or pixel shader and the assembly text it was made from.
template <typename Interface, typename Shader>
class C3DWD3DShader : public Interface
{
public:
    C3DWD3DShader(Shader* shader, std::string text) : m_shader(shader), m_text(std::move(text)) {}
    ~C3DWD3DShader() override { m_shader->Release(); }

    bool GetSource(char* buffer, int bufferSize) const override { return CopyShaderSource(&m_text, buffer, bufferSize); }
    Shader* Direct3DShader() const { return m_shader; }

private:
    Shader* m_shader;
    std::string m_text;
};

using C3DWD3DVertexShader = C3DWD3DShader<C3DWVertexShader, IDirect3DVertexShader9>;
using C3DWD3DPixelShader = C3DWD3DShader<C3DWPixelShader, IDirect3DPixelShader9>;

} // namespace kestrel
