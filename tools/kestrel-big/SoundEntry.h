#pragma once

#include "ToolArchive.h"

#include "sound/DecodedSound.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::cli {

/// Reads a WAV entry, decodes it and draws its waveform (the default waveform size and colours)
/// as a PNG. `sound` receives what was decoded, notes included, for the caller to describe.
/// ExitOk; ExitProblems when the bytes lie outside the archive or do not decode; ExitFailure when
/// the archive cannot be read. `error` says why.
int WavEntryAsWaveformPng(ToolArchive& archive, int index, std::vector<std::uint8_t>& png, DecodedSound& sound,
                          std::string& error);

} // namespace kestrel::cli
