#pragma once

#include <cstdint>

namespace kestrel {

/// Bits of `DeviceParams::flags`.
enum DeviceFlags : std::int32_t {
    DeviceFixedSize = 0x1, ///< full screen / fixed size: the viewport is not taken from the window
    DeviceNoVSync = 0x2,   ///< do not wait for the vertical retrace
};

/// What a device is created with, and what `AddWindow` attaches. The defaults are the device's
/// own until `Create` copies the caller's.
struct DeviceParams
{
    std::int32_t width = 800;
    std::int32_t height = 600;
    std::int32_t colourBits = 32;
    std::int32_t depthBits = 24; ///< 24 and 32 are recognised, anything else means 16
    std::int32_t flags = DeviceNoVSync;
    std::int32_t requiredVSMajor = 1;
    std::int32_t requiredVSMinor = 7;
    /// The native window to render into; what it points at is the backend's business (the
    /// OpenGL device takes a QWindow).
    void* window = nullptr;
};

} // namespace kestrel
