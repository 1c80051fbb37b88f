#pragma once

#include "w3d/IInstallPathProvider.h"

namespace kestrel {

#ifdef _WIN32
/// The games' own records on Windows: the "InstallPath" value of their machine-wide registry keys,
/// read from the 32-bit view where the games' installers write.
class RegistryInstallPathProvider : public IInstallPathProvider
{
public:
    std::optional<std::string> FindInstallPath(GameKind game) override;
};
#endif

} // namespace kestrel
