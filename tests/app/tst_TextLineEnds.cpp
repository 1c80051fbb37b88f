#include "app/TextLineEnds.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

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

TEST(TextLineEnds, EditsKeepEveryUntouchedLineEndAndNewLinesTakeTheEntrysMostCommonOne)
{
    // An edit as the editor reports it: the control's whole text before and after.
    struct Edit
    {
        size_t position, removed;
        const char* inserted;
        const char* bytes;
    };
    const struct
    {
        const char* what;
        const char* bytes;
        std::vector<Edit> edits;
    } cases[] = {
        {"editing a line and back is byte-identical", "A = 1\r\nB = 2\r\nC = 3\r\n",
         {{6, 0, "x", "A = 1\r\nxB = 2\r\nC = 3\r\n"}, {6, 1, "", "A = 1\r\nB = 2\r\nC = 3\r\n"}}},
        {"a deleted line break typed again gets its line end back", "one\r\ntwo\r\nthree",
         {{3, 1, "", "onetwo\r\nthree"}, {3, 0, "\n", "one\r\ntwo\r\nthree"}}},
        {"the most common line end", "a\nb\nc\r\n", {{1, 0, "\nnew", "a\nnew\nb\nc\r\n"}}},
        {"CR LF without any line end", "single", {{6, 0, "\nnext", "single\r\nnext"}}},
        {"others keep their own ends", "a\nb\r\nc\rd", {{2, 2, "", "a\nc\rd"}, {2, 0, "x\ny\n", "a\nx\ny\nc\rd"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text;
        TextLineEnds ends = TextLineEnds::FromBytes(c.bytes, text);
        for (const Edit& edit : c.edits) {
            std::string after = text;
            after.replace(edit.position, edit.removed, edit.inserted);
            ends.Follow(text, after);
            text = after;
            EXPECT_EQ(ends.ToBytes(text), edit.bytes);
        }
    }
}

} // namespace
} // namespace kestrel
