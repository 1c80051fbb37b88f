#include "base/AsciiCase.h"

#include <algorithm>

namespace kestrel {

std::string AsciiLowered(std::string_view text)
{
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), AsciiToLower);
    return lowered;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareIgnoringAsciiCase(a, b) == 0;
}

int CompareIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiToLower(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiToLower(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace kestrel
