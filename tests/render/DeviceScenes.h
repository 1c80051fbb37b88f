#pragma once

#include "render/C3DWDevice.h"

#include <cstdint>
#include <functional>

namespace kestrel::test {

/// The colour (0xFFRRGGBB) of the selected window's back buffer at (x, y) from the top left.
using PixelReader = std::function<std::uint32_t(int x, int y)>;

// Scenes every device must draw to the same picture, checked with the same expectations. Each
// draws in clip coordinates into a selected square window of `size` pixels.

/// An 8 × 8 texture of four coloured quadrants, given in `format`, drawn over the left half of
/// the window cleared green: orientation, placement, format handling and the clear colour.
void CheckTexturedQuadScene(C3DWDevice& device, int size, TextureFormat format, const PixelReader& pixelAt);

/// A red quad as two indexed triangles from buffers of `usage`, with unused vertices and
/// indices before it: base vertex and start index must be honoured.
void CheckIndexedGeometryScene(C3DWDevice& device, int size, std::uint32_t usage, const PixelReader& pixelAt);

} // namespace kestrel::test
