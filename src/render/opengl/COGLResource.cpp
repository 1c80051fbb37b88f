#include "render/opengl/COGLResource.h"

#include "render/opengl/COGLDevice.h"

namespace kestrel {

COGLResource::COGLResource(COGLDevice& device) : m_device(&device)
{
    device.Register(this);
}

void COGLResource::ReleaseFromDevice()
{
    if (m_device != nullptr)
        m_device->Release(this);
    m_device = nullptr;
}

} // namespace kestrel
