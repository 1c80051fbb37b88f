#pragma once

namespace kestrel {

/// A fragment program of a device; keeps the text it was made from.
class C3DWPixelShader
{
public:
    C3DWPixelShader() = default;
    virtual ~C3DWPixelShader();
    C3DWPixelShader(const C3DWPixelShader&) = delete;
    C3DWPixelShader& operator=(const C3DWPixelShader&) = delete;

    /// As `C3DWVertexShader::GetSource`.
    virtual bool GetSource(char* buffer, int bufferSize) const = 0;
};

} // namespace kestrel
