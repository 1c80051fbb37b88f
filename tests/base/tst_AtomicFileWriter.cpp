#include "base/AtomicFile.h"
#include "support/BigArchiveBuilder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>

using namespace kestrel;
using kestrel::test::ReadFileBytes;
using kestrel::test::TempFolder;
using kestrel::test::WriteFileBytes;

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

    const auto written = ReadFileBytes(target);
    ASSERT_EQ(written.size(), 5 + big.size());
    EXPECT_EQ(written[0], 'A');
    EXPECT_EQ(written[4], 0);
    EXPECT_EQ(written.back(), 0x5A);
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

    // A disk that fills up: the process may not grow files beyond 64 KiB.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.Begin());
    std::vector<std::uint8_t> tooMuch(256 * 1024, 7);
    const bool wrote = writer.Write(tooMuch.data(), tooMuch.size()) && writer.Commit();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(wrote);
    EXPECT_NE(writer.Error().find("cannot write"), std::string::npos) << writer.Error();
    writer.Abandon();
    EXPECT_EQ(ReadFileBytes(target), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

TEST(AtomicFileWriter, BeginFailsWithAReasonInAFolderThatDoesNotExist)
{
    TempFolder folder;
    AtomicFileWriter writer(folder / "missing" / "mod.big");
    EXPECT_FALSE(writer.Begin());
    EXPECT_NE(writer.Error().find("missing"), std::string::npos) << writer.Error();
}
