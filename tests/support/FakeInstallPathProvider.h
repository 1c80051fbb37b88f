#pragma once

#include "w3d/IInstallPathProvider.h"

#include <map>
#include <vector>

namespace kestrel::test {

/// Install paths from a table; records which games were asked for.
class FakeInstallPathProvider : public IInstallPathProvider
{
public:
    std::map<GameKind, std::string> paths;
    std::vector<GameKind> asked;

    std::optional<std::string> FindInstallPath(GameKind game) override
    {
        asked.push_back(game);
        const auto found = paths.find(game);
        return found == paths.end() ? std::nullopt : std::optional(found->second);
    }
};

} // namespace kestrel::test
