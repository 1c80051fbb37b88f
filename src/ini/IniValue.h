#pragma once

#include <cstdint>
#include <string>

namespace kestrel {

/// One value line of an INI block: the text after the separator and the 0-based line it stands on.
struct IniValue
{
    std::string text;
    std::int32_t line = 0;
};

} // namespace kestrel
