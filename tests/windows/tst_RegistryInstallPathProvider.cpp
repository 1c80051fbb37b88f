#include "w3d/RegistryInstallPathProvider.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace kestrel;

// The games' keys are made under a private key of the current user, which stands in for
// HKEY_LOCAL_MACHINE, so no installed game's record is touched.
TEST(RegistryInstallPathProvider, ReadsInstallPathOfEachGameAndTellsAMissingKeyFromAMissingValue)
{
    const std::string base = "Software\\Kestrel\\Tests\\" + std::to_string(GetCurrentProcessId());
    HKEY root = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, base.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr),
              ERROR_SUCCESS);
    auto makeKey = [&](GameKind game, const char* installPath) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, std::string(InstallRegistryKey(game)).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (installPath != nullptr)
            RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(installPath),
                           static_cast<DWORD>(std::strlen(installPath) + 1));
        RegCloseKey(key);
    };
    makeKey(GameKind::ZeroHour, "C:\\Games\\Zero Hour\\");
    makeKey(GameKind::Generals, nullptr);

    RegistryInstallPathProvider provider(root);
    EXPECT_EQ(provider.FindInstallPath(GameKind::ZeroHour), std::optional<std::string>("C:\\Games\\Zero Hour\\"));
    EXPECT_EQ(provider.FindInstallPath(GameKind::Generals), std::optional<std::string>(""));
    EXPECT_EQ(provider.FindInstallPath(GameKind::BFME), std::nullopt);

    RegCloseKey(root);
    RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
}
