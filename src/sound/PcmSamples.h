#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

/// Whether integer PCM of this many bits per sample can be widened or narrowed to 16 bits.
bool IsSupportedPcmDepth(int bitsPerSample);

/// Appends the samples of whole frames in `data` (little-endian integer PCM; 8-bit is unsigned
/// around 128, wider depths signed) as 16-bit samples, keeping the most significant bits. Bytes
/// of a last, incomplete frame are left out; returns how many were.
size_t AppendPcmSamples(std::span<const std::uint8_t> data, int bitsPerSample, int channels,
                        std::vector<std::int16_t>& samples);

} // namespace kestrel
