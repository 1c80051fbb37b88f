#pragma once

namespace kestrel {

/// Nearest-neighbour resampling of a block of `bytesPerPixel`-byte pixels into the caller's
/// destination (nothing is allocated). Equal sizes copy row by row between the two pitches.
/// Otherwise destination pixel (x, y) takes source pixel (trunc(x * fx + 0.5), trunc(y * fy + 0.5))
/// with fx = source width / destination width (fy likewise) held in single precision, each
/// coordinate clamped to the last source column or row.
///
/// A null source writes a debug line and clears destinationHeight * destinationPitch bytes; an
/// empty source (a size of 0 or less) clears them silently. Only the width * bytesPerPixel bytes of
/// each row are touched otherwise, so the blocks may be rectangles inside larger images.
void C3DW_internal_ScaleCopy(const void* source, void* destination, int sourceWidth, int sourceHeight,
                             int sourcePitch, int destinationWidth, int destinationHeight, int destinationPitch,
                             int bytesPerPixel);

/// C3DW_internal_ScaleCopy over three axes: slices are the slice pitches apart, the depth is sampled
/// like the other two axes. A null source clears destinationDepth * destinationSlicePitch bytes.
void C3DW_internal_ScaleCopy3D(const void* source, void* destination, int sourceWidth, int sourceHeight,
                               int sourceDepth, int sourceRowPitch, int sourceSlicePitch, int destinationWidth,
                               int destinationHeight, int destinationDepth, int destinationRowPitch,
                               int destinationSlicePitch, int bytesPerPixel);

} // namespace kestrel
