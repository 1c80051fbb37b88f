#include "render/factory/Create3DWDevice.h"

#ifdef KESTREL_HAVE_OPENGL_DEVICE
#include "render/opengl/COGLDevice.h"
#endif
#ifdef KESTREL_HAVE_D3D9_DEVICE
#include "render/d3d9/C3DWD3DDevice.h"
#endif

namespace kestrel {

std::unique_ptr<C3DWDevice> Create3DWDevice(int deviceType)
{
#ifdef KESTREL_HAVE_D3D9_DEVICE
    if (deviceType == 1)
        return std::make_unique<C3DWD3DDevice>();
#endif
#ifdef KESTREL_HAVE_OPENGL_DEVICE
    (void)deviceType;
    return std::make_unique<COGLDevice>();
#else
    // A build without Qt has only Direct3D 9.
    (void)deviceType;
    return nullptr;
#endif
}

} // namespace kestrel
