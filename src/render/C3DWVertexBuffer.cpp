#include "render/C3DWVertexBuffer.h"

#include "base/DebugSink.h"

namespace kestrel {

C3DWVertexBuffer::~C3DWVertexBuffer()
{
    DebugLine("C3DWVertexBuffer::~C3DWVertexBuffer()");
}

} // namespace kestrel
