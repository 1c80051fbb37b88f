#include "sound/PcmSamples.h"

namespace kestrel {

bool IsSupportedPcmDepth(int bitsPerSample)
{
    return bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32;
}

size_t AppendPcmSamples(std::span<const std::uint8_t> data, int bitsPerSample, int channels,
                        std::vector<std::int16_t>& samples)
{
    const size_t width = static_cast<size_t>(bitsPerSample / 8);
    const size_t frameSize = width * static_cast<size_t>(channels);
    const size_t count = data.size() / frameSize * static_cast<size_t>(channels);
    samples.reserve(samples.size() + count);
    for (size_t i = 0; i < count; ++i) {
        const std::uint8_t* sample = data.data() + i * width;
        if (width == 1) {
            samples.push_back(static_cast<std::int16_t>((sample[0] - 128) * 256));
        } else {
            // The top two bytes of a little-endian sample are its 16 most significant bits.
            const auto high = static_cast<std::uint16_t>(sample[width - 2] | (sample[width - 1] << 8));
            samples.push_back(static_cast<std::int16_t>(high));
        }
    }
    return data.size() - count * width;
}

} // namespace kestrel
