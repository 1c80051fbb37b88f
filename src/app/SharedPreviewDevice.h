#pragma once

namespace kestrel {

/// The one 3D device all preview panes share: created by the first pane that sets itself up,
/// joined by later panes, deleted when the last pane goes.
class SharedPreviewDevice
{
public:
    SharedPreviewDevice() = default;
    SharedPreviewDevice(const SharedPreviewDevice&) = delete;
    SharedPreviewDevice& operator=(const SharedPreviewDevice&) = delete;
    // TODO(render): holds the C3DWDevice once the OpenGL device is merged.
};

} // namespace kestrel
