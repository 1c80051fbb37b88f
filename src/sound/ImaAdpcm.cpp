#include "sound/ImaAdpcm.h"

#include <algorithm>
#include <array>

namespace kestrel {
namespace {

constexpr std::array<std::int32_t, 89> StepSizes{
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr std::array<int, 16> IndexSteps{-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

constexpr int MaxStepIndex = static_cast<int>(StepSizes.size()) - 1;
constexpr size_t HeaderBytesPerChannel = 4;
constexpr size_t GroupBytes = 4;  // one channel's turn: eight nibbles

struct ChannelState
{
    std::int32_t predictor = 0;
    int stepIndex = 0;

    std::int16_t Decode(std::uint8_t nibble)
    {
        const std::int32_t step = StepSizes[static_cast<size_t>(stepIndex)];
        std::int32_t difference = step >> 3;
        if (nibble & 4)
            difference += step;
        if (nibble & 2)
            difference += step >> 1;
        if (nibble & 1)
            difference += step >> 2;
        predictor = std::clamp(nibble & 8 ? predictor - difference : predictor + difference, -32768, 32767);
        stepIndex = std::clamp(stepIndex + IndexSteps[nibble], 0, MaxStepIndex);
        return static_cast<std::int16_t>(predictor);
    }
};

size_t NibblesIn(size_t nibbleBytes, size_t channels)
{
    // A single channel reads its nibbles straight through; several take turns in whole groups.
    return channels == 1 ? nibbleBytes * 2 : nibbleBytes / (GroupBytes * channels) * GroupBytes * 2;
}

// Decodes one block (possibly a short last one) and returns whether a step index was clamped.
bool DecodeBlock(std::span<const std::uint8_t> block, size_t channels, size_t maxFrames,
                 std::vector<std::int16_t>& samples)
{
    const size_t headerBytes = HeaderBytesPerChannel * channels;
    const size_t frames = std::min(maxFrames, 1 + NibblesIn(block.size() - headerBytes, channels));
    const size_t first = samples.size();
    samples.resize(first + frames * channels);
    bool clamped = false;
    for (size_t channel = 0; channel < channels; ++channel) {
        const std::uint8_t* header = block.data() + channel * HeaderBytesPerChannel;
        ChannelState state;
        state.predictor = static_cast<std::int16_t>(header[0] | (header[1] << 8));
        clamped |= header[2] > MaxStepIndex;
        state.stepIndex = std::min<int>(header[2], MaxStepIndex);
        samples[first + channel] = static_cast<std::int16_t>(state.predictor);
        for (size_t k = 0; k + 1 < frames; ++k) {
            const size_t group = k / 8;
            const size_t within = k % 8;
            const std::uint8_t byte = block[headerBytes + (group * channels + channel) * GroupBytes + within / 2];
            const auto nibble = static_cast<std::uint8_t>(within % 2 ? byte >> 4 : byte & 0x0F);
            samples[first + (k + 1) * channels + channel] = state.Decode(nibble);
        }
    }
    return clamped;
}

} // namespace

size_t ImaAdpcmFramesPerBlock(size_t blockAlign, int channels)
{
    if (channels <= 0)
        return 0;
    const auto count = static_cast<size_t>(channels);
    const size_t headerBytes = HeaderBytesPerChannel * count;
    if (blockAlign < headerBytes)
        return 0;
    const size_t nibbleBytes = blockAlign - headerBytes;
    if (count > 1 && nibbleBytes % (GroupBytes * count) != 0)
        return 0;
    return 1 + NibblesIn(nibbleBytes, count);
}

bool AppendImaAdpcmSamples(std::span<const std::uint8_t> data, const ImaAdpcmLayout& layout,
                           std::vector<std::int16_t>& samples)
{
    const auto channels = static_cast<size_t>(layout.channels);
    const size_t headerBytes = HeaderBytesPerChannel * channels;
    bool clamped = false;
    for (size_t offset = 0; offset < data.size() && data.size() - offset >= headerBytes; offset += layout.blockAlign) {
        const size_t length = std::min(layout.blockAlign, data.size() - offset);
        clamped |= DecodeBlock(data.subspan(offset, length), channels, layout.samplesPerBlock, samples);
    }
    return clamped;
}

} // namespace kestrel
