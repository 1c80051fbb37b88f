#pragma once

#include "render/C3DWDevice.h"

#include <memory>

namespace kestrel {

/// A new device that is not yet created. 1 asks for Direct3D 9 (built on Windows only); every
/// other value, and 1 where Direct3D 9 does not exist, gives the OpenGL device. A build without
/// Qt has no OpenGL device and gives null for those.
std::unique_ptr<C3DWDevice> Create3DWDevice(int deviceType);

} // namespace kestrel
