#pragma once

#include <string>
#include <string_view>

namespace kestrel {

/// The release version of this build ("0.1.0").
std::string_view BuildVersion();

/// The commit the build came from (abbreviated hash, "-dirty" when the checkout had changes),
/// or "unknown" outside a git checkout.
std::string_view BuildCommit();

/// What `--version` prints: "PROGRAM VERSION (commit COMMIT)".
inline std::string VersionLine(std::string_view program)
{
    std::string line(program);
    line.append(" ").append(BuildVersion()).append(" (commit ").append(BuildCommit()).append(")");
    return line;
}

} // namespace kestrel
