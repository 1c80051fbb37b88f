#pragma once

#include <string>
#include <string_view>

namespace kestrel::cli {

/// Appends `latin1` as a quoted JSON string. Archive names are 8-bit Latin-1 bytes; JSON text is
/// UTF-8, so bytes from 0x80 up become two-byte UTF-8 characters and control bytes \u escapes.
void AppendJsonString(std::string& out, std::string_view latin1);

} // namespace kestrel::cli
