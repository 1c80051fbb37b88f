#pragma once

#include "render/RenderTypes.h"

namespace kestrel {

/// A 2D texture of a device. It receives pixels in a source description (size, pitch, format)
/// that may differ from its own; the backend converts and resamples. Belongs to whoever asked
/// the device for it and must be deleted before the device.
class C3DWTexture
{
public:
    C3DWTexture() = default;
    virtual ~C3DWTexture();
    C3DWTexture(const C3DWTexture&) = delete;
    C3DWTexture& operator=(const C3DWTexture&) = delete;

    /// Writes the rectangle at (x, y) of the given size; `pixels` points at its first pixel, its
    /// rows `pitch` bytes apart, in the source format. Each of the last five may be -1, meaning
    /// 0, 0, the source width, the source height and the source pitch. False for null pixels or
    /// a rectangle outside the source.
    virtual bool SetData(const void* pixels, int x, int y, int width, int height, int pitch) = 0;
    /// Describes the data later given to `SetData`.
    virtual bool SetSourceFormat(int width, int height, int pitch, TextureFormat format) = 0;
    /// The texture's own description; any out pointer may be null.
    virtual bool GetDesc(int* width, int* height, int* pitch, TextureFormat* format) const = 0;
    virtual bool GetSourceDesc(int* width, int* height, int* pitch, TextureFormat* format) const = 0;
};

} // namespace kestrel
