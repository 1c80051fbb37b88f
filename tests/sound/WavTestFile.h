#pragma once

// Writes the WAV files the sound tests decode, field by field, so each test can damage one.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kestrel::test {

using WavBytes = std::vector<std::uint8_t>;

inline void PutLE(WavBytes& out, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

/// A chunk: id, size (`declared` when given, else the body's), body and the pad byte odd sizes get.
inline WavBytes RiffChunk(const std::string& id, WavBytes body, std::int64_t declared = -1)
{
    WavBytes out(id.begin(), id.end());
    PutLE(out, static_cast<std::uint32_t>(declared < 0 ? static_cast<std::int64_t>(body.size()) : declared), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2)
        out.push_back(0);
    return out;
}

/// A "fmt " chunk; a non-empty `extension` is stored after its size.
inline WavBytes FormatChunk(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t blockAlign,
                            std::uint16_t bits, const WavBytes& extension = {})
{
    WavBytes body;
    for (const std::uint32_t value : {std::uint32_t{tag} | std::uint32_t{channels} << 16, rate, rate * blockAlign,
                                      std::uint32_t{blockAlign} | std::uint32_t{bits} << 16})
        PutLE(body, value, 4);
    if (!extension.empty())
        PutLE(body, static_cast<std::uint32_t>(extension.size()), 2);
    body.insert(body.end(), extension.begin(), extension.end());
    return RiffChunk("fmt ", body);
}

inline WavBytes WavFile(std::initializer_list<WavBytes> chunks, const std::string& form = "WAVE")
{
    WavBytes body(form.begin(), form.end());
    for (const WavBytes& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    return RiffChunk("RIFF", body);
}

inline WavBytes PcmWav(std::uint16_t channels, std::uint16_t bits, const WavBytes& data, std::uint32_t rate = 22050)
{
    return WavFile({FormatChunk(1, channels, rate, static_cast<std::uint16_t>(channels * bits / 8), bits),
                    RiffChunk("data", data)});
}

} // namespace kestrel::test
