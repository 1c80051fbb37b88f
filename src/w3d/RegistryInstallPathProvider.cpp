#include "w3d/RegistryInstallPathProvider.h"

#ifdef _WIN32
#include <windows.h>

namespace kestrel {

std::optional<std::string> RegistryInstallPathProvider::FindInstallPath(GameKind game)
{
    HKEY key = nullptr;
    const std::string keyName(InstallRegistryKey(game));
    if (RegOpenKeyExA(m_root, keyName.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char value[261] = {};
    DWORD size = 260;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, "InstallPath", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    return std::string(value, strnlen(value, size));
}

} // namespace kestrel
#endif
