#pragma once

#include "archive/EntryGlob.h"

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

/// What a typed filter selects among entry names, ignoring the case of A-Z and reading '/' as
/// '\'. Plain text selects the names that contain it; text holding '*', '?' or '[' is a glob
/// (EntryGlob rules) that may start at any folder part, so "*.ini" selects every INI entry and
/// "data/ini" everything below that folder. Empty text selects every name.
class EntryNameMatcher
{
public:
    explicit EntryNameMatcher(std::string_view text = {});

    bool Matches(std::string_view name) const;
    bool SelectsEverything() const { return !m_glob && m_needle.empty(); }

private:
    std::string m_needle; ///< folded
    std::optional<EntryGlob> m_glob;
};

} // namespace kestrel
