// The 3D modes of the preview: images and models drawn through the shared device.
#include "app/CQuartoView.h"

namespace kestrel {

// TODO(render, w3d): the device, image and model drawing arrive with the OpenGL device and the
// model assembly. Until then no device exists, and images and models show as raw text.
void CQuartoView::SetUpDevice() {}

bool CQuartoView::ShowImage(std::string_view, int)
{
    return false;
}

bool CQuartoView::ShowModel(std::string_view)
{
    return false;
}

void CQuartoView::ReleasePreviewObjects() {}

void CQuartoView::DrawFrame() {}

} // namespace kestrel
