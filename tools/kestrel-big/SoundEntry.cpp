#include "SoundEntry.h"

#include "image/EncodePNG.h"
#include "sound/WavDecoder.h"
#include "sound/Waveform.h"

#include <utility>

namespace kestrel::cli {

int WavEntryAsWaveformPng(ToolArchive& archive, int index, std::vector<std::uint8_t>& png, DecodedSound& sound,
                          std::string& error)
{
    std::vector<std::uint8_t> bytes;
    const int status = archive.ReadEntryBytes(index, bytes, error);
    if (status != ExitOk)
        return status;
    if (!DecodeWav(bytes, sound, error))
        return ExitProblems;
    const WaveformStyle style;
    DecodedImage picture;
    picture.pixels = RenderWaveform(sound, style);
    picture.width = static_cast<std::uint32_t>(style.width);
    picture.height = static_cast<std::uint32_t>(style.height);
    // The waveform comes as RGBA; the encoder takes the decoders' blue-first order.
    for (size_t i = 0; i + 3 < picture.pixels.size(); i += 4)
        std::swap(picture.pixels[i], picture.pixels[i + 2]);
    if (!EncodePNG(picture, png)) {
        error = "the waveform picture could not be encoded";
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace kestrel::cli
