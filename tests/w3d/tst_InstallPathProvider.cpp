#include "w3d/SettingsAndWineInstallPathProvider.h"
#include "w3d/WineRegistry.h"

#include "samples/BigArchiveBuilder.h"

#include <gtest/gtest.h>

using namespace kestrel;
using kestrel::samples::TempFolder;
using kestrel::samples::WriteFileBytes;

namespace {

const char* const SystemReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Wow6432Node\\Electronic Arts\\EA Games\\Command and Conquer Generals Zero Hour] 1700000000
#time=1da0000000000000
"Language"="english"
"InstallPath"="C:\\Games\\Command and Conquer Generals Zero Hour\\"

[Software\\Electronic Arts\\EA Games\\Generals] 1700000001
"installpath"="C:\\Games\\Gen\xe9rals\\"
"Version"=dword:00010000

[Software\\Electronic Arts\\EA Games\\The Battle for Middle-earth] 1700000002
"InstallPath"="D:\\BFME\\"
)";

[[maybe_unused]] void WriteText(const std::filesystem::path& path, const std::string& text)
{
    WriteFileBytes(path, kestrel::samples::Bytes(text));
}

} // namespace

TEST(WineRegistry, StringValuesAreFoundByKeyAndNameRegardlessOfCase)
{
    EXPECT_EQ(ReadWineRegistryString(SystemReg, "SOFTWARE\\Wow6432Node\\Electronic Arts\\EA Games\\Command and Conquer Generals Zero Hour", "InstallPath"),
              "C:\\Games\\Command and Conquer Generals Zero Hour\\");
    EXPECT_EQ(ReadWineRegistryString(SystemReg, "Software\\Electronic Arts\\EA Games\\Generals", "InstallPath"),
              "C:\\Games\\Gen\xc3\xa9rals\\");
    EXPECT_EQ(ReadWineRegistryString(SystemReg, "Software\\Electronic Arts\\EA Games\\Generals", "Version"), std::nullopt);
    EXPECT_EQ(ReadWineRegistryString(SystemReg, "Software\\Electronic Arts\\EA Games\\Generals", "Language"), std::nullopt);
    EXPECT_EQ(ReadWineRegistryString(SystemReg, "Software\\Electronic Arts", "InstallPath"), std::nullopt);
}

#ifndef _WIN32 // Wine prefixes are where Linux finds the games; Windows asks its registry
TEST(InstallPathProvider, SettingsComeFirstThenWinePrefixesMappedToTheirDrives)
{
    TempFolder temp;
    const auto prefix = temp / "wine";
    WriteText(prefix / "system.reg", SystemReg);
    std::filesystem::create_directories(prefix / "drive_c/games/COMMAND AND CONQUER GENERALS ZERO HOUR");

    SettingsAndWineInstallPathProvider provider({{GameKind::Generals, "/opt/generals"}}, {temp / "empty", prefix});
    EXPECT_EQ(provider.FindInstallPath(GameKind::Generals), "/opt/generals/");
    EXPECT_EQ(provider.FindInstallPath(GameKind::ZeroHour),
              (prefix / "drive_c/games/COMMAND AND CONQUER GENERALS ZERO HOUR").string() + "/");
    // D: has no dosdevices link in this prefix.
    EXPECT_EQ(provider.FindInstallPath(GameKind::BFME), std::nullopt);

    std::filesystem::create_directories(temp / "bfme-drive/BFME");
    std::filesystem::create_directories(prefix / "dosdevices");
    std::filesystem::create_directory_symlink(temp / "bfme-drive", prefix / "dosdevices/d:");
    SettingsAndWineInstallPathProvider withDrive({{GameKind::BFME, ""}}, {prefix});
    EXPECT_EQ(withDrive.FindInstallPath(GameKind::BFME), (temp / "bfme-drive/BFME").string() + "/");
}

TEST(InstallPathProvider, PrefixesComeFromTheEnvironmentAndSteamLibraries)
{
    TempFolder temp;
    const auto home = temp / "home";
    WriteText(temp / "custom/system.reg", "");
    WriteText(home / ".wine/system.reg", "");
    WriteText(home / ".local/share/Steam/steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + (temp / "games").string() + "\"\n\t}\n}\n");
    WriteText(temp / "games/steamapps/compatdata/2229850/pfx/system.reg", "");
    std::filesystem::create_directories(temp / "games/steamapps/compatdata/17/pfx"); // no system.reg

    const auto prefixes = FindWinePrefixes((temp / "custom").c_str(), home.c_str());
    EXPECT_EQ(prefixes, (std::vector<std::filesystem::path>{temp / "custom", home / ".wine",
                                                             temp / "games/steamapps/compatdata/2229850/pfx"}));
    EXPECT_TRUE(FindWinePrefixes(nullptr, nullptr).empty());
}
#endif
