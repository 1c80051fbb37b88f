#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

/// Sound as every decoder delivers it and every consumer (playback, waveform, the command-line
/// tool) takes it: interleaved signed 16-bit samples, whatever the file stored.
struct DecodedSound
{
    int sampleRate = 0;                 ///< frames per second
    int channels = 0;                   ///< 1 or 2 in the games' files; more are kept, not mixed here
    std::vector<std::int16_t> samples;  ///< interleaved; samples.size() == Frames() * channels
    std::string formatName;             ///< how the file stored them: "PCM 16-bit", "IMA ADPCM", ...
    /// Oddities the decoder worked around (a cut-short data chunk, a partial last block); the
    /// sound is still usable. Empty for a clean file.
    std::vector<std::string> notes;

    std::int64_t Frames() const;
    double Seconds() const;
};

} // namespace kestrel
