#include "render/C3DWTexture.h"

#include "base/DebugSink.h"

namespace kestrel {

C3DWTexture::~C3DWTexture()
{
    DebugLine("C3DWTexture::~C3DWTexture()");
}

} // namespace kestrel
