#pragma once

namespace kestrel {

/// A vertex program of a device; keeps the text it was made from.
class C3DWVertexShader
{
public:
    C3DWVertexShader() = default;
    virtual ~C3DWVertexShader();
    C3DWVertexShader(const C3DWVertexShader&) = delete;
    C3DWVertexShader& operator=(const C3DWVertexShader&) = delete;

    /// Copies the program text with its terminating zero; false when there is none or it does
    /// not fit in `bufferSize` bytes.
    virtual bool GetSource(char* buffer, int bufferSize) const = 0;
};

} // namespace kestrel
