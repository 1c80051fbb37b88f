#include "sound/WavDecoder.h"

#include "base/AsciiCase.h"
#include "base/ByteReader.h"
#include "sound/ImaAdpcm.h"
#include "sound/PcmSamples.h"
#include "sound/RiffChunks.h"

#include <cstdio>
#include <limits>

namespace kestrel {
namespace {

constexpr std::uint16_t FormatPcm = 0x0001;
constexpr std::uint16_t FormatImaAdpcm = 0x0011;
constexpr std::uint16_t FormatExtensible = 0xFFFE;
// Channel counts past this are no sound a game plays; refusing them keeps the arithmetic small.
constexpr std::uint16_t MaxChannels = 8;

// The fields of a "fmt " chunk a decoder needs.
struct WaveFormat
{
    std::uint16_t tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t samplesPerBlock = 0;  // IMA ADPCM's extension; zero when absent
};

std::string Hex4(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
    return text;
}

std::string At(size_t offset)
{
    return " at offset " + std::to_string(offset);
}

bool ReadFormat(const RiffChunk& chunk, WaveFormat& format, std::string& error)
{
    if (chunk.body.size() < 16) {
        error = "\"fmt \" chunk" + At(chunk.offset) + " holds " + std::to_string(chunk.body.size()) +
                " bytes, fewer than the 16 every format needs";
        return false;
    }
    ByteReader reader(chunk.body);
    const auto tag = reader.ReadU16LE();
    const auto channels = reader.ReadU16LE();
    const auto sampleRate = reader.ReadU32LE();
    const auto bytesPerSecond = reader.ReadU32LE();
    const auto blockAlign = reader.ReadU16LE();
    const auto bits = reader.ReadU16LE();
    (void)bytesPerSecond;  // derived from the rest; players ignore it and so do we
    format = {tag.value(), channels.value(), sampleRate.value(), blockAlign.value(), bits.value(), 0};
    const auto extensionSize = reader.ReadU16LE();
    if (!extensionSize)
        return true;
    ByteReader extension(reader.ReadBytes(std::min<size_t>(*extensionSize, reader.Remaining())).value());
    if (format.tag == FormatImaAdpcm) {
        format.samplesPerBlock = extension.ReadU16LE().value_or(0);
    } else if (format.tag == FormatExtensible) {
        // Valid bits, channel mask, then a GUID whose first two bytes are the real format tag.
        const auto subFormat = extension.Skip(6) ? extension.ReadU16LE() : std::nullopt;
        if (!subFormat) {
            error = "\"fmt \" chunk" + At(chunk.offset) + " is extensible but too short to name its format";
            return false;
        }
        format.tag = *subFormat;
    }
    return true;
}

bool CheckFormat(const WaveFormat& format, size_t formatOffset, std::string& error)
{
    // Offsets of the fields inside the chunk body, which starts eight bytes after the header.
    const size_t body = formatOffset + 8;
    if (format.channels == 0 || format.channels > MaxChannels) {
        error = "unsupported channel count " + std::to_string(format.channels) + At(body + 2);
        return false;
    }
    if (format.sampleRate == 0 || format.sampleRate > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) {
        error = "invalid sample rate " + std::to_string(format.sampleRate) + At(body + 4);
        return false;
    }
    if (format.tag == FormatPcm) {
        if (!IsSupportedPcmDepth(format.bitsPerSample)) {
            error = "unsupported PCM sample size of " + std::to_string(format.bitsPerSample) + " bits" + At(body + 14);
            return false;
        }
        return true;
    }
    if (format.tag == FormatImaAdpcm) {
        if (format.bitsPerSample != 4) {
            error = "IMA ADPCM with " + std::to_string(format.bitsPerSample) + " bits per sample" + At(body + 14) +
                    "; only 4 exist";
            return false;
        }
        const size_t fits = ImaAdpcmFramesPerBlock(format.blockAlign, format.channels);
        if (fits == 0 || format.samplesPerBlock > fits) {
            error = "IMA ADPCM block size " + std::to_string(format.blockAlign) + At(body + 12) + " cannot hold " +
                    (fits == 0 ? "whole blocks" : std::to_string(format.samplesPerBlock) + " samples per block") +
                    " for " + std::to_string(format.channels) + " channel(s)";
            return false;
        }
        return true;
    }
    error = "unsupported sound format " + Hex4(format.tag) + At(body);
    return false;
}

void DecodeSamples(const WaveFormat& format, std::span<const std::uint8_t> data, DecodedSound& sound)
{
    if (format.tag == FormatPcm) {
        sound.formatName = "PCM " + std::to_string(format.bitsPerSample) + "-bit";
        if (const size_t leftOver = AppendPcmSamples(data, format.bitsPerSample, format.channels, sound.samples))
            sound.notes.push_back("the data ends inside a frame; its last " + std::to_string(leftOver) +
                                  " byte(s) are left out");
        return;
    }
    sound.formatName = "IMA ADPCM";
    ImaAdpcmLayout layout{format.channels, format.blockAlign, format.samplesPerBlock};
    if (layout.samplesPerBlock == 0)
        layout.samplesPerBlock = ImaAdpcmFramesPerBlock(layout.blockAlign, layout.channels);
    if (AppendImaAdpcmSamples(data, layout, sound.samples))
        sound.notes.push_back("some blocks name a step index past the table's end; it was clamped");
}

// Compressed data is padded to whole blocks; the "fact" chunk says how many frames are real.
void TrimToFactLength(const std::vector<RiffChunk>& chunks, DecodedSound& sound)
{
    const RiffChunk* fact = FindRiffChunk(chunks, "fact");
    if (!fact || fact->body.size() < 4)
        return;
    const std::uint64_t frames = LoadU32LE(fact->body.data());
    if (frames < static_cast<std::uint64_t>(sound.Frames()))
        sound.samples.resize(static_cast<size_t>(frames) * static_cast<size_t>(sound.channels));
}

} // namespace

bool DecodeWav(std::span<const std::uint8_t> bytes, DecodedSound& sound, std::string& error)
{
    sound = {};
    std::vector<RiffChunk> chunks;
    if (!ReadRiffChunks(bytes, "WAVE", chunks, error))
        return false;
    const RiffChunk* formatChunk = FindRiffChunk(chunks, "fmt ");
    if (!formatChunk) {
        error = "no \"fmt \" chunk in the file";
        return false;
    }
    WaveFormat format;
    if (!ReadFormat(*formatChunk, format, error) || !CheckFormat(format, formatChunk->offset, error))
        return false;
    const RiffChunk* data = FindRiffChunk(chunks, "data");
    if (!data) {
        error = "no \"data\" chunk in the file";
        return false;
    }
    sound.sampleRate = static_cast<int>(format.sampleRate);
    sound.channels = format.channels;
    if (data->cutShort)
        sound.notes.push_back("the \"data\" chunk" + At(data->offset) + " is cut short: " +
                              std::to_string(data->body.size()) + " of its bytes are in the file");
    DecodeSamples(format, data->body, sound);
    if (format.tag == FormatImaAdpcm)
        TrimToFactLength(chunks, sound);
    return true;
}

bool IsWavEntryName(std::string_view name)
{
    return AsciiLowered(name).find(".wav") != std::string::npos;
}

bool IsSoundEntryName(std::string_view name)
{
    return IsWavEntryName(name) || AsciiLowered(name).find(".mp3") != std::string::npos;
}

std::string DescribeSound(const DecodedSound& sound)
{
    const std::string layout = sound.channels == 1 ? "mono"
        : sound.channels == 2                      ? "stereo"
                                                   : std::to_string(sound.channels) + " channels";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f s", sound.Seconds());
    return sound.formatName + ", " + std::to_string(sound.sampleRate) + " Hz, " + layout + ", " + seconds;
}

} // namespace kestrel
