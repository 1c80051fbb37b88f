#include "render/C3DWPixelShader.h"

#include "base/DebugSink.h"

namespace kestrel {

C3DWPixelShader::~C3DWPixelShader()
{
    DebugLine("C3DWPixelShader::~C3DWPixelShader()");
}

} // namespace kestrel
