#pragma once

#include "render/RenderTypes.h"

namespace kestrel {

/// A volume texture: `C3DWTexture` with a depth and a slice pitch. Not every device has them
/// (`C3DWDevice::SupportsTexture3D`).
class C3DWTexture3D
{
public:
    C3DWTexture3D() = default;
    virtual ~C3DWTexture3D();
    C3DWTexture3D(const C3DWTexture3D&) = delete;
    C3DWTexture3D& operator=(const C3DWTexture3D&) = delete;

    virtual bool SetData(const void* pixels, int x, int y, int z, int width, int height, int depth, int pitch,
                         int slicePitch) = 0;
    virtual bool SetSourceFormat(int width, int height, int depth, int pitch, int slicePitch,
                                 TextureFormat format) = 0;
    virtual bool GetDesc(int* width, int* height, int* depth, int* pitch, int* slicePitch,
                         TextureFormat* format) const = 0;
    virtual bool GetSourceDesc(int* width, int* height, int* depth, int* pitch, int* slicePitch,
                               TextureFormat* format) const = 0;
};

} // namespace kestrel
