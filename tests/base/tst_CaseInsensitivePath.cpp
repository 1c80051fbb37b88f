#include "base/CaseInsensitivePath.h"

#include "samples/BigArchiveBuilder.h"

#include <gtest/gtest.h>

using namespace kestrel;
using kestrel::samples::TempFolder;

#ifndef _WIN32

TEST(CaseInsensitivePath, ComponentsAreFoundRegardlessOfCaseExactNamesWinAndAMissingOneEndsTheLookup)
{
    TempFolder temp;
    std::filesystem::create_directories(temp / "Data/Art/Textures");
    std::filesystem::create_directories(temp / "art");
    std::filesystem::create_directories(temp / "ART");
    kestrel::samples::WriteFileBytes(temp / "Data/Art/Textures/Rock.TGA", {1});
    const std::string written = temp.Path().string() + "\\data\\ART\\textures\\\\rock.tga";
    EXPECT_EQ(ResolvePathIgnoringCase(written), temp / "Data/Art/Textures/Rock.TGA");
    EXPECT_EQ(ResolvePathIgnoringCase(temp.Path().string() + "/ART/x"), temp / "ART/x");
    EXPECT_EQ(ResolvePathIgnoringCase(temp.Path().string() + "/Art/Missing/Deeper"), temp / "ART/Missing/Deeper");

    // Relative paths resolve from the current folder.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(temp.Path());
    const auto resolved = ResolvePathIgnoringCase("DATA\\art\\textures\\a.dds");
    std::filesystem::current_path(previous);
    EXPECT_EQ(resolved, std::filesystem::path("Data/Art/Textures/a.dds"));
}

#endif
