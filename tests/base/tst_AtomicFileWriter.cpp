#include "base/AtomicFile.h"
#include "base/ScopedFileSizeLimit.h"
#include "samples/BigArchiveBuilder.h"

#include <gtest/gtest.h>

using namespace kestrel;
using kestrel::samples::ReadFileBytes;
using kestrel::samples::TempFolder;
using kestrel::samples::WriteFileBytes;

namespace {

size_t FilesIn(const std::filesystem::path& folder)
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

} // namespace

TEST(AtomicFileWriter, CommitReplacesTheTargetWithExactlyTheBytesWritten)
{
    TempFolder folder;
    const auto target = folder / "mod.big";
    WriteFileBytes(target, {9, 9, 9, 9, 9, 9});
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.Begin());
    std::vector<std::uint8_t> big(3 << 20, 0x5A);
    ASSERT_TRUE(writer.Write("AB", 2));
    ASSERT_TRUE(writer.WriteZeros(3));
    ASSERT_TRUE(writer.Write(big.data(), big.size()));
    ASSERT_TRUE(writer.Commit()) << writer.Error();

    big.insert(big.begin(), {'A', 'B', 0, 0, 0});
    EXPECT_EQ(ReadFileBytes(target), big);
    EXPECT_EQ(FilesIn(folder.Path()), 1u) << "no temporary file left behind";
}

TEST(AtomicFileWriter, AbandonedOrFailedWritesLeaveTheTargetUntouched)
{
    TempFolder folder;
    const auto target = folder / "mod.big";
    WriteFileBytes(target, {1, 2, 3});
    {
        AtomicFileWriter writer(target);
        ASSERT_TRUE(writer.Begin());
        ASSERT_TRUE(writer.Write("xyz", 3));
    }
    EXPECT_EQ(ReadFileBytes(target), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(FilesIn(folder.Path()), 1u);

#ifndef _WIN32 // only POSIX limits the size of a process's files
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.Begin());
    std::vector<std::uint8_t> tooMuch(256 * 1024, 7);
    {
        test::ScopedFileSizeLimit diskFull(64 * 1024);
        EXPECT_FALSE(writer.Write(tooMuch.data(), tooMuch.size()) && writer.Commit());
    }
    EXPECT_NE(writer.Error().find("cannot write"), std::string::npos) << writer.Error();
    writer.Abandon();
    EXPECT_EQ(ReadFileBytes(target), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
#endif

    AtomicFileWriter nowhere(folder / "missing" / "mod.big");
    EXPECT_FALSE(nowhere.Begin());
    EXPECT_NE(nowhere.Error().find("missing"), std::string::npos) << nowhere.Error();
}

#ifndef _WIN32 // symbolic links need privileges on Windows
TEST(AtomicFileWriter, WritesThroughSymbolicLinksKeepingPermissionsAndNeedsNoRoomInTheName)
{
    TempFolder folder;
    std::filesystem::create_directories(folder / "real");
    const auto real = folder / "real" / "mod.big";
    WriteFileBytes(real, {1});
    std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    std::filesystem::create_symlink("real/mod.big", folder / "link.big");
    std::string error;
    ASSERT_TRUE(WriteWholeFileAtomically(folder / "link.big", "new", 3, false, error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.big")) << "the link stays a link";
    EXPECT_EQ(ReadFileBytes(real), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read);
    EXPECT_EQ(FilesIn(folder / "real"), 1u);

    // A name as long as the file system allows still gets a temporary name beside it.
    const auto longest = folder / std::string(255, 'L');
    EXPECT_TRUE(WriteWholeFileAtomically(longest, "x", 1, false, error)) << error;
    EXPECT_EQ(ReadFileBytes(longest).size(), 1u);
}
#endif
