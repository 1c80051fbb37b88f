#pragma once

// Writes the WAV files the sound tests decode, field by field, so each test can damage one.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::test {

using WavBytes = std::vector<std::uint8_t>;

inline void PutLE(WavBytes& out, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

/// A chunk: id, size (`declared` when given, else the body's), body and the pad byte odd sizes get.
inline WavBytes RiffChunk(const std::string& id, const WavBytes& body, std::int64_t declared = -1)
{
    WavBytes out(id.begin(), id.end());
    PutLE(out, static_cast<std::uint32_t>(declared < 0 ? static_cast<std::int64_t>(body.size()) : declared), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2)
        out.push_back(0);
    return out;
}

inline WavBytes FormatChunk(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t blockAlign,
                         std::uint16_t bits, const WavBytes& extension = {})
{
    WavBytes body;
    for (auto [value, size] : {std::pair<std::uint32_t, int>{tag, 2}, {channels, 2}, {rate, 4},
                               {rate * blockAlign, 4}, {blockAlign, 2}, {bits, 2}})
        PutLE(body, value, size);
    if (!extension.empty()) {
        PutLE(body, static_cast<std::uint32_t>(extension.size()), 2);
        body.insert(body.end(), extension.begin(), extension.end());
    }
    return RiffChunk("fmt ", body);
}

inline WavBytes WavFile(std::initializer_list<WavBytes> chunks, const std::string& form = "WAVE")
{
    WavBytes body(form.begin(), form.end());
    for (const WavBytes& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    WavBytes out{'R', 'I', 'F', 'F'};
    PutLE(out, static_cast<std::uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

inline WavBytes PcmWav(std::uint16_t channels, std::uint16_t bits, const WavBytes& data, std::uint32_t rate = 22050)
{
    return WavFile({FormatChunk(1, channels, rate, static_cast<std::uint16_t>(channels * bits / 8), bits),
                    RiffChunk("data", data)});
}

/// 16-bit mono PCM of these samples.
inline WavBytes Pcm16Wav(const std::vector<std::int16_t>& samples, std::uint32_t rate = 22050)
{
    WavBytes data;
    for (const std::int16_t sample : samples)
        PutLE(data, static_cast<std::uint16_t>(sample), 2);
    return PcmWav(1, 16, data, rate);
}

} // namespace kestrel::test
