#include "image/ImageScaling.h"

#include "base/DebugSink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kestrel {
namespace {

struct BlockShape
{
    int width;
    int height;
    int depth;
    std::ptrdiff_t rowPitch;
    std::ptrdiff_t slicePitch;

    bool IsEmpty() const { return width <= 0 || height <= 0 || depth <= 0; }
    bool SameSize(const BlockShape& other) const
    {
        return width == other.width && height == other.height && depth == other.depth;
    }
};

void Clear(std::uint8_t* destination, const BlockShape& shape)
{
    if (shape.depth > 0 && shape.slicePitch > 0)
        std::memset(destination, 0, static_cast<size_t>(shape.depth) * static_cast<size_t>(shape.slicePitch));
}

// The factor is rounded to single precision and the product taken in single precision before the
// half is added in double: the texture uploads have always sampled this way, and mip levels made
// elsewhere must pick the same source pixels.
float ScaleFactor(int sourceSize, int destinationSize)
{
    return static_cast<float>(static_cast<double>(sourceSize) / static_cast<double>(destinationSize));
}

int SourceIndex(int destinationIndex, float factor, int sourceSize)
{
    const int sampled = static_cast<int>(static_cast<float>(destinationIndex) * factor + 0.5);
    return std::min(sampled, sourceSize - 1);
}

// Rows are copied one by one unless both blocks are packed alike, so that a rectangle inside a
// larger image never reads or writes the padding behind its last row.
void CopyRows(const std::uint8_t* source, std::uint8_t* destination, int rows, size_t rowBytes,
              std::ptrdiff_t sourcePitch, std::ptrdiff_t destinationPitch)
{
    const auto packed = static_cast<std::ptrdiff_t>(rowBytes);
    if (sourcePitch == packed && destinationPitch == packed) {
        std::memcpy(destination, source, rowBytes * static_cast<size_t>(rows));
        return;
    }
    for (int y = 0; y < rows; ++y)
        std::memcpy(destination + y * destinationPitch, source + y * sourcePitch, rowBytes);
}

template <int PixelBytes>
void SampleRow(const std::uint8_t* sourceRow, std::uint8_t* destinationRow, int destinationWidth, float factor,
               int sourceWidth, int runtimePixelBytes)
{
    const int pixelBytes = PixelBytes != 0 ? PixelBytes : runtimePixelBytes;
    for (int x = 0; x < destinationWidth; ++x) {
        const int sourceX = SourceIndex(x, factor, sourceWidth);
        std::memcpy(destinationRow + x * pixelBytes, sourceRow + sourceX * pixelBytes,
                    static_cast<size_t>(pixelBytes));
    }
}

void SampleRowAnySize(const std::uint8_t* sourceRow, std::uint8_t* destinationRow, int destinationWidth,
                      float factor, int sourceWidth, int pixelBytes)
{
    switch (pixelBytes) {
    case 1: SampleRow<1>(sourceRow, destinationRow, destinationWidth, factor, sourceWidth, 1); break;
    case 2: SampleRow<2>(sourceRow, destinationRow, destinationWidth, factor, sourceWidth, 2); break;
    case 3: SampleRow<3>(sourceRow, destinationRow, destinationWidth, factor, sourceWidth, 3); break;
    case 4: SampleRow<4>(sourceRow, destinationRow, destinationWidth, factor, sourceWidth, 4); break;
    default: SampleRow<0>(sourceRow, destinationRow, destinationWidth, factor, sourceWidth, pixelBytes); break;
    }
}

void Resample(const std::uint8_t* source, const BlockShape& from, std::uint8_t* destination, const BlockShape& to,
              int pixelBytes)
{
    const float fx = ScaleFactor(from.width, to.width);
    const float fy = ScaleFactor(from.height, to.height);
    const float fz = ScaleFactor(from.depth, to.depth);
    for (int z = 0; z < to.depth; ++z) {
        const std::uint8_t* sourceSlice = source + SourceIndex(z, fz, from.depth) * from.slicePitch;
        std::uint8_t* destinationSlice = destination + z * to.slicePitch;
        for (int y = 0; y < to.height; ++y) {
            SampleRowAnySize(sourceSlice + SourceIndex(y, fy, from.height) * from.rowPitch,
                             destinationSlice + y * to.rowPitch, to.width, fx, from.width, pixelBytes);
        }
    }
}

void ScaleCopyBlock(const void* sourceBytes, const BlockShape& from, void* destinationBytes, const BlockShape& to,
                    int pixelBytes, std::string_view nullSourceLine)
{
    auto* destination = static_cast<std::uint8_t*>(destinationBytes);
    const auto* source = static_cast<const std::uint8_t*>(sourceBytes);
    if (source == nullptr) {
        DebugLine(nullSourceLine);
        Clear(destination, to);
        return;
    }
    if (to.IsEmpty() || pixelBytes <= 0)
        return;
    if (from.IsEmpty()) {
        Clear(destination, to);
        return;
    }
    if (from.SameSize(to)) {
        const size_t rowBytes = static_cast<size_t>(to.width) * static_cast<size_t>(pixelBytes);
        for (int z = 0; z < to.depth; ++z) {
            CopyRows(source + z * from.slicePitch, destination + z * to.slicePitch, to.height, rowBytes,
                     from.rowPitch, to.rowPitch);
        }
        return;
    }
    Resample(source, from, destination, to, pixelBytes);
}

} // namespace

void C3DW_internal_ScaleCopy(const void* source, void* destination, int sourceWidth, int sourceHeight,
                             int sourcePitch, int destinationWidth, int destinationHeight, int destinationPitch,
                             int bytesPerPixel)
{
    const BlockShape from{sourceWidth, sourceHeight, 1, sourcePitch,
                          static_cast<std::ptrdiff_t>(sourceHeight) * sourcePitch};
    const BlockShape to{destinationWidth, destinationHeight, 1, destinationPitch,
                        static_cast<std::ptrdiff_t>(destinationHeight) * destinationPitch};
    ScaleCopyBlock(source, from, destination, to, bytesPerPixel,
                   "Ooops, NULL pointer as source for C3DW_internal_ScaleCopy");
}

void C3DW_internal_ScaleCopy3D(const void* source, void* destination, int sourceWidth, int sourceHeight,
                               int sourceDepth, int sourceRowPitch, int sourceSlicePitch, int destinationWidth,
                               int destinationHeight, int destinationDepth, int destinationRowPitch,
                               int destinationSlicePitch, int bytesPerPixel)
{
    const BlockShape from{sourceWidth, sourceHeight, sourceDepth, sourceRowPitch, sourceSlicePitch};
    const BlockShape to{destinationWidth, destinationHeight, destinationDepth, destinationRowPitch,
                        destinationSlicePitch};
    ScaleCopyBlock(source, from, destination, to, bytesPerPixel,
                   "Ooops, NULL pointer as source for C3DW_internal_ScaleCopy3D");
}

} // namespace kestrel
