#pragma once

#include <memory>

class QWindow;

namespace kestrel {

class C3DWDevice;

/// The one 3D device all preview panes share: the first pane that sets itself up creates it,
/// later panes attach their windows, and it is deleted when the last pane goes. A creation that
/// fails leaves no device, and the next pane tries again.
class SharedPreviewDevice
{
public:
    SharedPreviewDevice();
    ~SharedPreviewDevice();
    SharedPreviewDevice(const SharedPreviewDevice&) = delete;
    SharedPreviewDevice& operator=(const SharedPreviewDevice&) = delete;

    /// Counts a new pane and sets up its window: creates the device (OpenGL when `useOpenGL`,
    /// else Direct3D 9 where it exists) or attaches the window to the existing one. Returns the
    /// window's index for SelectWindow, or -1 when no device exists afterwards.
    int AttachView(QWindow* window, bool useOpenGL);
    /// A pane went away; the last one deletes the device. Every pane's resources must be gone.
    void DetachView();

    C3DWDevice* Device() const { return m_device.get(); }
    int ViewCount() const { return m_viewCount; }

private:
    std::unique_ptr<C3DWDevice> m_device;
    int m_viewCount = 0;
    bool m_direct3D = false; ///< the device in use is Direct3D 9, which takes native windows
};

} // namespace kestrel
