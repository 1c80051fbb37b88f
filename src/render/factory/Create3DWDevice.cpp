#include "render/factory/Create3DWDevice.h"

#include "render/opengl/COGLDevice.h"

namespace kestrel {

std::unique_ptr<C3DWDevice> Create3DWDevice(int /*deviceType*/)
{
    // The Direct3D 9 device joins here on Windows; everywhere else OpenGL is the only backend.
    return std::make_unique<COGLDevice>();
}

} // namespace kestrel
