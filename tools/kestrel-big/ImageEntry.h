#pragma once

#include "ToolArchive.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::cli {

/// Whether "extract --png" turns the entry into a PNG: its name asks for an image decoder (the
/// editor's preview rule) other than PNG's own.
bool ExtractsAsPng(std::string_view entryName);

/// Reads an image entry, decodes it with the decoder its name selects and encodes the picture as
/// PNG. ExitOk; ExitProblems when the bytes lie outside the archive or do not decode; ExitFailure
/// when the name selects no decoder or the archive cannot be read. `error` says why.
int EntryAsPng(ToolArchive& archive, int index, std::vector<std::uint8_t>& png, std::string& error);

} // namespace kestrel::cli
