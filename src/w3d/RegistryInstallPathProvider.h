#pragma once

#include "w3d/IInstallPathProvider.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kestrel {

#ifdef _WIN32
/// The games' own records on Windows: the "InstallPath" value of their machine-wide registry keys,
/// read from the 32-bit view where the games' installers write.
class RegistryInstallPathProvider : public IInstallPathProvider
{
public:
    /// `root` stands in for HKEY_LOCAL_MACHINE (tests give a key of their own); not owned.
    explicit RegistryInstallPathProvider(HKEY root = HKEY_LOCAL_MACHINE) : m_root(root) {}
    std::optional<std::string> FindInstallPath(GameKind game) override;

private:
    HKEY m_root;
};
#endif

} // namespace kestrel
