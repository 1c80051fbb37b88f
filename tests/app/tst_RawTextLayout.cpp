#include "app/PreviewDispatch.h"
#include "app/RawTextLayout.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(RawTextLayout, BreaksLinesAtEveryKindOfLineEnd)
{
    RawTextLayout layout;
    layout.SetBytes("one\r\ntwo\nthree\rfour");
    ASSERT_EQ(layout.LineCount(), 4u);
    EXPECT_EQ(layout.Line(0), "one");
    EXPECT_EQ(layout.Line(2), "three");
    EXPECT_EQ(layout.Line(3), "four");
    EXPECT_EQ(layout.Line(4), "");

    // Binary bytes without a line end stay one line, NUL included.
    layout.SetBytes(std::string("\x00\x01\xFF\x7F", 4));
    EXPECT_EQ(layout.LineCount(), 1u);
    EXPECT_EQ(layout.Line(0).size(), 4u);
}

TEST(RawTextLayout, MeasuresTheWidestLineWithTabsExpandedToEightColumns)
{
    RawTextLayout layout;
    layout.SetBytes("ab\tc\n\t\tx\nshort");
    EXPECT_EQ(layout.MaxColumns(), 17u); // two tabs reach column 16, then one character
}

TEST(RawTextLayout, ShowsOnlyTheRequestedColumnsOfALine)
{
    EXPECT_EQ(RawTextLayout::VisibleColumns("ab\tcd", 0, 10), "ab      cd");
    EXPECT_EQ(RawTextLayout::VisibleColumns("ab\tcd", 4, 5), "    c");
    EXPECT_EQ(RawTextLayout::VisibleColumns("abc", 5, 5), "");
}

TEST(PreviewDispatch, ClassifiesByTheFirstMatchingExtensionAnywhereInTheLowerCasedName)
{
    EXPECT_EQ(ClassifyEntryName("Art\\Foo.TGA.bak").mode, PreviewMode::Image);
    EXPECT_EQ(ClassifyEntryName("Art\\Foo.TGA.bak").imageFileType, ImageFileType::TGA);
    EXPECT_EQ(ClassifyEntryName("a.bmp.tga").imageFileType, ImageFileType::TGA); // as kestrel-big converts it
    EXPECT_EQ(ClassifyEntryName("a.w3d").imageFileType, std::nullopt);
    EXPECT_EQ(ClassifyEntryName("Art\\W3D\\tree.W3D").mode, PreviewMode::Model);
    EXPECT_EQ(ClassifyEntryName("Data\\INI\\foo.inizh").mode, PreviewMode::IniText);
    EXPECT_EQ(ClassifyEntryName("readme.ini.txt").mode, PreviewMode::PlainText);
    EXPECT_EQ(ClassifyEntryName("scripts\\a.lua").mode, PreviewMode::PlainText);
    EXPECT_EQ(ClassifyEntryName("Data\\Audio\\Boom.WAV").mode, PreviewMode::Sound);
    EXPECT_EQ(ClassifyEntryName("Music\\track.mp3").mode, PreviewMode::Sound);
    EXPECT_EQ(ClassifyEntryName("data\\foo.bin").mode, PreviewMode::RawText);
    EXPECT_EQ(ClassifyEntryName("noextension").mode, PreviewMode::RawText);
}

} // namespace
} // namespace kestrel
