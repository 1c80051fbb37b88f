#pragma once

#include "render/C3DWDevice.h"

#include <memory>

namespace kestrel {

/// A new device that is not yet created. 1 asks for Direct3D 9; every other value, and 1 where
/// Direct3D 9 does not exist, gives the OpenGL device.
std::unique_ptr<C3DWDevice> Create3DWDevice(int deviceType);

} // namespace kestrel
