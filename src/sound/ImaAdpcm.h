#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

/// The block layout of an IMA ADPCM stream as its format header describes it.
struct ImaAdpcmLayout
{
    int channels = 0;
    size_t blockAlign = 0;       ///< bytes per block
    size_t samplesPerBlock = 0;  ///< frames per full block, the header's sample included
};

/// How many frames a block of `blockAlign` bytes can hold: the header's sample plus two per
/// byte of each channel's nibble data. Zero when the size cannot hold a valid block: too small for
/// the headers, or (with several channels) nibble data not made of whole 4-byte groups per channel.
size_t ImaAdpcmFramesPerBlock(size_t blockAlign, int channels);

/// Appends the 16-bit samples of `data`, interleaved. Each block starts, per channel, with the
/// first sample and a step index; the nibbles follow in 4-byte groups taking turns between
/// channels, low nibble first. A last block shorter than `blockAlign` decodes the whole groups it
/// holds. Step indices out of range are clamped; returns whether any were.
bool AppendImaAdpcmSamples(std::span<const std::uint8_t> data, const ImaAdpcmLayout& layout,
                           std::vector<std::int16_t>& samples);

} // namespace kestrel
