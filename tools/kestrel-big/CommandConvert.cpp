#include "Commands.h"
#include "ImageEntry.h"
#include "SoundEntry.h"

#include "base/AtomicFile.h"
#include "image/ImageFileType.h"
#include "sound/WavDecoder.h"

#include <algorithm>

namespace kestrel::cli {
namespace {

// Images win over sounds when a name says both, as in the editor's preview.
bool ConvertsAsWaveform(const std::string& entryName)
{
    return !ImageFileTypeFromEntryName(entryName) && IsWavEntryName(entryName);
}

// The waveform of a WAV entry, and its description on standard output. A sound that decodes only
// in part (a cut-short file) still gets its picture; `damage` turns ExitProblems then.
int WaveformPng(ToolContext& context, ToolArchive& archive, int index, std::vector<std::uint8_t>& png, int& damage,
                std::string& error)
{
    DecodedSound sound;
    const int status = WavEntryAsWaveformPng(archive, index, png, sound, error);
    if (status != ExitOk)
        return status;
    const std::string& name = archive.Archive().GetEntryName(index);
    context.out << name << ": " << DescribeSound(sound) << '\n';
    for (const auto& note : sound.notes)
        context.Report(archive.ShownName() + ": " + name, note);
    damage = sound.notes.empty() ? ExitOk : ExitProblems;
    return ExitOk;
}

} // namespace

const CommandDetails ConvertDetails = {
    "ARCHIVE ENTRY OUT.png",
    {},
    3,
    3,
    R"(DESCRIPTION
    Decodes the image entry named ENTRY as the editor's preview does and writes the picture
    to OUT.png (8-bit RGBA, transparency kept). The entry's name chooses the decoder: it is
    searched, ignoring case, for .tga, .bmp, .dds, .jpg, .jpeg and .png in that order. DDS
    files give their top level. The name is compared ignoring the case of A-Z; '/' may be
    typed for '\'. OUT.png is written under a temporary name and renamed when complete.

    A name that holds none of those but .wav is decoded as a WAV sound (PCM of 8, 16, 24 or
    32 bits, or IMA ADPCM) and OUT.png receives its waveform, 512 x 128 pixels: per column
    the lowest and highest sample, channels mixed, around a centre line. The sound's format,
    sample rate, channels and length are printed as one line. A sound whose data is cut
    short still gives the waveform of what is there, with a warning.

EXIT STATUS
    0 written; 1 the entry does not decode, a sound decodes only in part (OUT.png is still
    written), its bytes lie outside the file, or the archive is damaged; 2 no such entry, a
    name that selects no decoder, or the archive or OUT.png failed.

EXAMPLES
    kestrel-big convert Textures.big art/textures/cbbarracks.dds barracks.png
    kestrel-big convert Audio.big data/audio/sounds/vgenlo2a.wav vgenlo2a.png
)",
};

int RunConvert(ToolContext& context, const Arguments& args)
{
    ToolArchive archive(context);
    int opened = ExitOk;
    const int index = archive.OpenForEntry(args.positional[0], args.positional[1], opened);
    if (index < 0)
        return ExitFailure;
    std::vector<std::uint8_t> png;
    std::string error;
    int damage = ExitOk;
    const int status = ConvertsAsWaveform(archive.Archive().GetEntryName(index))
        ? WaveformPng(context, archive, index, png, damage, error)
        : EntryAsPng(archive, index, png, error);
    if (status != ExitOk) {
        context.Report(archive.ShownName(), "entry \"" + args.positional[1] + "\" not converted: " + error);
        return std::max(opened, status);
    }
    if (!WriteWholeFileAtomically(context.Resolve(args.positional[2]), png.data(), png.size(), true, error)) {
        context.Report(args.positional[2], error);
        return ExitFailure;
    }
    return std::max(opened, damage);
}

} // namespace kestrel::cli
