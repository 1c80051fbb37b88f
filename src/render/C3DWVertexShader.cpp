#include "render/C3DWVertexShader.h"

#include "base/DebugSink.h"

namespace kestrel {

C3DWVertexShader::~C3DWVertexShader()
{
    DebugLine("C3DWVertexShader::~C3DWVertexShader()");
}

} // namespace kestrel
