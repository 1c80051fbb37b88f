#include "render/C3DWIndexBuffer.h"

#include "base/DebugSink.h"

namespace kestrel {

C3DWIndexBuffer::~C3DWIndexBuffer()
{
    DebugLine("C3DWIndexBuffer::~C3DWIndexBuffer()");
}

} // namespace kestrel
