#pragma once

#include <string>
#include <string_view>

namespace kestrel::cli {

/// Appends `latin1` as a quoted JSON string. Archive names are 8-bit Latin-1 bytes; JSON text is
/// UTF-8, so bytes from 0x80 up become two-byte UTF-8 characters and control bytes \u escapes.
void AppendJsonString(std::string& out, std::string_view latin1);

/// `value` with six significant digits ("%g"), as the text reports print numbers.
std::string FormattedNumber(double value);
/// FormattedNumber for JSON, which has no NaN or infinity: those become null.
std::string JsonNumber(double value);

} // namespace kestrel::cli
