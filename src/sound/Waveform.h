#pragma once

#include "sound/DecodedSound.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kestrel {

/// Size and colours of a waveform picture; colours are straight RGBA.
struct WaveformStyle
{
    int width = 512;
    int height = 128;
    std::array<std::uint8_t, 4> background{0x20, 0x22, 0x26, 0xFF};
    std::array<std::uint8_t, 4> wave{0x4F, 0xC3, 0xF7, 0xFF};
    std::array<std::uint8_t, 4> centreLine{0x70, 0x74, 0x7A, 0xFF};
};

/// The waveform picture: for each column the min/max of the samples that fall in it (channels
/// mixed), drawn as a vertical bar, on a background with a centre line; returns straight 8-bit
/// RGBA rows, top first (width * height * 4 bytes; empty when either side is not positive).
std::vector<std::uint8_t> RenderWaveform(const DecodedSound& sound, const WaveformStyle& style);

} // namespace kestrel
