#include "app/PreviewDispatch.h"
#include "app/RawTextLayout.h"
#include "app/TextLineEnds.h"
#include "app/PreviewCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kestrel {
namespace {

TEST(RawTextLayout, BreaksLinesAtEveryKindOfLineEnd)
{
    RawTextLayout layout;
    layout.SetBytes("one\r\ntwo\nthree\rfour");
    ASSERT_EQ(layout.LineCount(), 4u);
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
    EXPECT_EQ(ClassifyEntryName("Art\\Foo.TGA.bak").imageFileType, ImageFileType::TGA);
    EXPECT_EQ(ClassifyEntryName("a.bmp.tga").imageFileType, ImageFileType::TGA); // as kestrel-big converts it
    EXPECT_EQ(ClassifyEntryName("a.w3d").imageFileType, std::nullopt);
    EXPECT_EQ(ClassifyEntryName("Art\\W3D\\tree.W3D").mode, PreviewMode::Model);
    EXPECT_EQ(ClassifyEntryName("Data\\INI\\foo.inizh").mode, PreviewMode::IniText);
    EXPECT_EQ(ClassifyEntryName("readme.ini.txt").mode, PreviewMode::PlainText);
    EXPECT_EQ(ClassifyEntryName("Data\\Audio\\Boom.WAV").mode, PreviewMode::Sound);
    EXPECT_EQ(ClassifyEntryName("noextension").mode, PreviewMode::RawText);
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


/// `point` through view and projection (row vectors), divided by w: normalised device coordinates.
std::array<float, 4> Project(const ModelCamera& camera, const Vec3& point)
{
    std::array<float, 4> eye{}, clip{};
    const std::array<float, 4> p{point[0], point[1], point[2], 1};
    for (size_t c = 0; c < 4; ++c)
        for (size_t r = 0; r < 4; ++r)
            eye[c] += p[r] * camera.view[r * 4 + c];
    for (size_t c = 0; c < 4; ++c)
        for (size_t r = 0; r < 4; ++r)
            clip[c] += eye[r] * camera.projection[r * 4 + c];
    return {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3], clip[3]};
}

TEST(PreviewCamera, AFramedModelStaysInsideTheViewFromEverySideAtEveryAspect)
{
    // A tower far from the origin: twenty units tall on a two by two base.
    const Vec3 min{99, -1, 0}, max{101, 1, 20};
    const ModelFrame frame = FrameBounds(min, max);
    EXPECT_FLOAT_EQ(frame.center[2], 10.0f);
    const float fov = std::numbers::pi_v<float> / 4;
    for (const float aspect : {4.0f / 3.0f, 0.5f, 2.5f}) {
        for (const float turn : {0.0f, 1.0f, 2.5f, 4.0f}) {
            for (const Vec3& direction : {TiltAndTurn({1, 0, 1}, 0, turn), TiltAndTurn({1, 0, 1}, 1.2f, turn)}) {
                const ModelCamera camera = FrameModel(frame, direction, TiltAndTurn({0, 0, 1}, 0.3f, turn), 1.0f, fov, aspect);
                for (int corner = 0; corner < 8; ++corner) {
                    const Vec3 point{corner & 1 ? max[0] : min[0], corner & 2 ? max[1] : min[1], corner & 4 ? max[2] : min[2]};
                    const auto ndc = Project(camera, point);
                    EXPECT_GT(ndc[3], 0) << "behind the camera";
                    for (size_t axis = 0; axis < 3; ++axis)
                        EXPECT_LE(std::fabs(ndc[axis]), 1.0f)
                            << "axis " << axis << ", aspect " << aspect << ", turn " << turn << ", corner " << corner;
                }
            }
        }
    }
    // Keypad zooming still brings the camera closer: at half the distance the tower's top leaves.
    const ModelCamera close = FrameModel(frame, {1, 0, 0}, {0, 0, 1}, 0.4f, fov, 1.0f);
    EXPECT_GT(std::fabs(Project(close, {100, 0, 20})[1]), 1.0f);
}

} // namespace
} // namespace kestrel
