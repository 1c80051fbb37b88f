#pragma once

#include <string>
#include <string_view>

namespace kestrel {

/// Case rules of the games' file systems: only the letters A to Z fold; every other byte,
/// including Latin-1 letters, compares by its value.
constexpr char AsciiToLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLowered(std::string_view text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
/// Negative, zero or positive like strcmp, bytes compared unsigned after folding A-Z.
int CompareIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace kestrel
