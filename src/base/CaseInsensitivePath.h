#pragma once

#include <filesystem>
#include <string_view>

namespace kestrel {

/// Turns a path as the games write it (backslashes, any letter case) into a path of this
/// platform. On file systems that tell case apart, every component that exists under another
/// A-Z case is replaced by the name on disk, as Windows would find it; the first component that
/// matches nothing ends the lookup and the rest is kept as written. Backslashes and slashes both
/// separate components; empty components are dropped. On Windows the path is returned as given.
std::filesystem::path ResolvePathIgnoringCase(std::string_view path);

} // namespace kestrel
