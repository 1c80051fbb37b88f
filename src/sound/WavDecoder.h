#pragma once

#include "sound/DecodedSound.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kestrel {

/// Decodes a RIFF WAVE file held in memory: PCM 8/16/24-bit and IMA ADPCM (format 0x11), mono or
/// stereo. False with a message naming the fault (and the byte offset where it applies) for damaged
/// or unsupported files; never reads outside `bytes`. A data chunk that ends early decodes what is
/// there and says so in `sound.notes`.
bool DecodeWav(std::span<const std::uint8_t> bytes, DecodedSound& sound, std::string& error);

/// Whether an entry's name says it holds a WAV file: ".wav" anywhere in it, ignoring case, as
/// entry names are matched everywhere else.
bool IsWavEntryName(std::string_view name);

/// Whether an entry's name says it holds a sound the editor can play: a WAV file or ".mp3".
bool IsSoundEntryName(std::string_view name);

/// One line for listings: "IMA ADPCM, 22050 Hz, mono, 1.25 s".
std::string DescribeSound(const DecodedSound& sound);

} // namespace kestrel
