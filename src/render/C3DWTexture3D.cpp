#include "render/C3DWTexture3D.h"

#include "base/DebugSink.h"

namespace kestrel {

C3DWTexture3D::~C3DWTexture3D()
{
    DebugLine("C3DWTexture3D::~C3DWTexture3D()");
}

} // namespace kestrel
