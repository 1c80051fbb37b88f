#include "JsonText.h"
#include "ProgressBar.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

using namespace kestrel::cli;
using testing::HasSubstr;

TEST(ProgressBar, LineShowsEntriesAndBytesAndFitsTheWidth)
{
    const std::string half = FormatProgressLine("extract", 5, 10, 512 * 1024, 1024 * 1024, 79);
    EXPECT_THAT(half, HasSubstr("5/10 entries"));
    EXPECT_THAT(half, HasSubstr("512.0 KiB/1.0 MiB"));
    const auto filled = std::count(half.begin(), half.end(), '=');
    const auto open = half.find('['), close = half.find(']');
    ASSERT_NE(open, std::string::npos);
    EXPECT_EQ(filled, static_cast<long>(close - open - 1) / 2) << "bytes decide the bar: half done";
    EXPECT_LE(half.size(), 79u);

    const std::string bytesOnly = FormatProgressLine("save", 0, 0, 100, 300, 79);
    EXPECT_EQ(bytesOnly.find("entries"), std::string::npos);
    EXPECT_THAT(bytesOnly, HasSubstr("100 B/300 B"));

    const std::string narrow = FormatProgressLine("extract", 1, 2, 3, 4, 20);
    EXPECT_EQ(narrow.size(), 20u);
    EXPECT_EQ(narrow.find('['), std::string::npos) << "no room for a bar";
}

TEST(ProgressBar, WritesNothingWhenDisabledAndClearsItsLineWhenFinished)
{
    std::ostringstream silent;
    {
        ProgressBar bar(silent, false, "extract", 2, 10);
        bar.Update(1, 5);
        bar.Update(2, 10);
    }
    EXPECT_TRUE(silent.str().empty());

    std::ostringstream terminal;
    {
        ProgressBar bar(terminal, true, "extract", 2, 10);
        bar.Update(1, 5);
        bar.Update(2, 10); // within the redraw interval: not drawn
    }
    const std::string written = terminal.str();
    EXPECT_EQ(written.find("\rextract"), 0u);
    EXPECT_THAT(written, HasSubstr("1/2 entries"));
    EXPECT_EQ(written.find("2/2 entries"), std::string::npos);
    EXPECT_EQ(written.substr(written.size() - 4), "\r\x1b[K");
}

TEST(JsonText, EscapesQuotesBackslashesAndControlBytesAndTurnsLatin1IntoUtf8)
{
    std::string out;
    AppendJsonString(out, std::string("data\\\"x\"\n\x01\xE4\xFF", 12));
    EXPECT_EQ(out, "\"data\\\\\\\"x\\\"\\u000a\\u0001\xC3\xA4\xC3\xBF\"");
}

