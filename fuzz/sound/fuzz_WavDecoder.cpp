// Decodes arbitrary bytes as a WAV file and draws what decodes. A decoded sound must be whole
// frames of a usable format, and its waveform the size asked for.
#include "sound/WavDecoder.h"
#include "sound/Waveform.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kestrel::DecodedSound sound;
    std::string error;
    if (!kestrel::DecodeWav({data, size}, sound, error)) {
        if (error.empty() || !sound.samples.empty())
            __builtin_trap();
        return 0;
    }
    if (sound.channels <= 0 || sound.sampleRate <= 0 || sound.samples.size() % static_cast<size_t>(sound.channels) != 0)
        __builtin_trap();
    kestrel::WaveformStyle style;
    style.width = 37;
    style.height = 11;
    if (kestrel::RenderWaveform(sound, style).size() != size_t{37 * 11 * 4})
        __builtin_trap();
    return 0;
}
