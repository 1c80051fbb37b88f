#pragma once

#include "render/C3DWDevice.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace kestrel::test {

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                        kBlack = 0xFF000000;

/// The colour (0xFFRRGGBB) of the selected window's back buffer at (x, y) from the top left.
using PixelReader = std::function<std::uint32_t(int x, int y)>;

// Scenes every device must draw to the same picture, checked with the same expectations. Each
// draws in clip coordinates into a selected square window of `size` pixels.

struct ColouredVertex
{
    float x, y, z;
    std::uint32_t colour;
};
// Two unused vertices, then the left half of clip space in red; three unused indices, then the
// quad as two counter-clockwise triangles.
constexpr std::array<ColouredVertex, 6> kIndexedVertices = {
    {{9, 9, 0, kGreen}, {9, 9, 0, kGreen}, {-1, -1, 0, kRed}, {0, -1, 0, kRed}, {0, 1, 0, kRed}, {-1, 1, 0, kRed}}};
constexpr std::array<std::uint16_t, 9> kIndexedIndices = {7, 7, 7, 0, 1, 2, 0, 2, 3};

/// An identity projection (and world and view), so positions are clip coordinates.
void UseClipCoordinates(C3DWDevice& device);

/// Texture pixels of `format` for colours given as 0xAARRGGBB.
std::vector<std::uint8_t> PixelsIn(TextureFormat format, const std::vector<std::uint32_t>& colours);

/// An 8 × 8 texture of four coloured quadrants, given in `format`, drawn over the left half of
/// the window cleared green: orientation, placement, format handling and the clear colour.
void CheckTexturedQuadScene(C3DWDevice& device, int size, TextureFormat format, const PixelReader& pixelAt);

/// A red quad as two indexed triangles from buffers of `usage`, with unused vertices and
/// indices before it: base vertex and start index must be honoured.
void CheckIndexedGeometryScene(C3DWDevice& device, int size, std::uint32_t usage, const PixelReader& pixelAt);

} // namespace kestrel::test
