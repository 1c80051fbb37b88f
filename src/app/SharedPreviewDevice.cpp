#include "app/SharedPreviewDevice.h"

#include "app/AppSettings.h"

#include "render/C3DWDevice.h"
#include "render/DeviceParams.h"
#include "render/factory/Create3DWDevice.h"

#include <QWindow>

namespace kestrel {
namespace {

constexpr int Direct3D9Device = 1;
constexpr int OpenGLDevice = 0;

DeviceParams PreviewParams(QWindow* window, bool direct3D)
{
    DeviceParams params;
    params.width = 1024;
    params.height = 1024;
    params.colourBits = 32;
    params.depthBits = 32;
    params.flags = DeviceNoVSync;
    params.requiredVSMajor = 0;
    params.requiredVSMinor = 7;
    // The OpenGL device draws through Qt's window; Direct3D needs the native one (an HWND).
    params.window = direct3D ? reinterpret_cast<void*>(window->winId()) : static_cast<void*>(window);
    return params;
}

} // namespace

SharedPreviewDevice::SharedPreviewDevice() = default;

SharedPreviewDevice::~SharedPreviewDevice() = default;

int SharedPreviewDevice::AttachView(QWindow* window, bool useOpenGL)
{
    ++m_viewCount;
    if (!m_device)
        m_direct3D = !useOpenGL && AppSettings::HasDirect3D9();
    const DeviceParams params = PreviewParams(window, m_direct3D);
    if (m_device) {
        int index = -1;
        return m_device->AddWindow(params, &index) ? index : -1;
    }
    m_device = Create3DWDevice(m_direct3D ? Direct3D9Device : OpenGLDevice);
    if (!m_device || !m_device->Create(params)) {
        m_device.reset();
        return -1;
    }
    return 0;
}

void SharedPreviewDevice::DetachView()
{
    if (--m_viewCount < 1) {
        m_viewCount = 0;
        if (m_device)
            m_device->Destroy();
        m_device.reset();
    }
}

} // namespace kestrel
