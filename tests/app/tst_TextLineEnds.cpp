#include "app/TextLineEnds.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// Applies an edit of the control's text the way the editor reports it: whole text before and after.
std::string Edit(TextLineEnds& ends, std::string& text, size_t position, size_t removed, const std::string& inserted)
{
    std::string after = text;
    after.replace(position, removed, inserted);
    ends.Follow(text, after);
    text = after;
    return ends.ToBytes(text);
}

TEST(TextLineEnds, GivesTheControlOneLineBreakPerLineEndOfAnyKind)
{
    std::string text;
    TextLineEnds::FromBytes("a\r\nb\nc\rd", text);
    EXPECT_EQ(text, "a\nb\nc\nd");
    TextLineEnds::FromBytes("\r\r\n\n\r", text);
    EXPECT_EQ(text, "\n\n\n\n");

    // Untouched text gives back the same bytes, high bytes and mixed ends included.
    const std::string bytes = "Object Foo\r\n  Name = \xE9t\xE9\xA0\xFF\r\n\tEnd\nline\rlast";
    const TextLineEnds ends = TextLineEnds::FromBytes(bytes, text);
    EXPECT_EQ(ends.ToBytes(text), bytes);
}

TEST(TextLineEnds, EditingALineAndBackIsByteIdentical)
{
    const std::string bytes = "A = 1\r\nB = 2\r\nC = 3\r\n";
    std::string text;
    TextLineEnds ends = TextLineEnds::FromBytes(bytes, text);
    EXPECT_EQ(Edit(ends, text, 6, 0, "x"), "A = 1\r\nxB = 2\r\nC = 3\r\n");
    EXPECT_EQ(Edit(ends, text, 6, 1, ""), bytes);
}

TEST(TextLineEnds, DeletingALineBreakAndTypingItAgainRestoresTheLineEnd)
{
    const std::string bytes = "one\r\ntwo\r\nthree";
    std::string text;
    TextLineEnds ends = TextLineEnds::FromBytes(bytes, text);
    EXPECT_EQ(Edit(ends, text, 3, 1, ""), "onetwo\r\nthree");
    EXPECT_EQ(Edit(ends, text, 3, 0, "\n"), bytes);
}

TEST(TextLineEnds, NewLinesTakeTheEntrysMostCommonLineEnd)
{
    std::string text;
    TextLineEnds unix = TextLineEnds::FromBytes("a\nb\nc\r\n", text);
    EXPECT_EQ(Edit(unix, text, 1, 0, "\nnew"), "a\nnew\nb\nc\r\n");

    TextLineEnds none = TextLineEnds::FromBytes("single", text);
    EXPECT_EQ(Edit(none, text, 6, 0, "\nnext"), "single\r\nnext");
}

TEST(TextLineEnds, LinesKeepTheirOwnEndsWhenOtherLinesAreRemoved)
{
    std::string text;
    TextLineEnds ends = TextLineEnds::FromBytes("a\nb\r\nc\rd", text);
    // Remove "b\n": the line "a" keeps LF, "c" keeps CR.
    EXPECT_EQ(Edit(ends, text, 2, 2, ""), "a\nc\rd");
    // A pasted block of two lines between them gets two new line ends.
    EXPECT_EQ(Edit(ends, text, 2, 0, "x\ny\n"), "a\nx\ny\nc\rd");
}

} // namespace
} // namespace kestrel
