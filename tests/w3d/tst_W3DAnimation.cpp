#include "w3d/W3DAnimation.h"
#include "w3d/W3DModelAssembly.h"
#include "w3d/W3DModelCollector.h"

#include "samples/W3DWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

using namespace kestrel;
using namespace kestrel::samples;

namespace {

const float Half = std::sqrt(0.5f);
constexpr std::uint32_t Jump = 0x80000000u;

/// A root at (10, 0, 0) turned a quarter about z, and an arm one unit along the root's x, turned
/// a quarter about its own x; the model's mesh rides the arm. Unanimated, the point (1, 0, 0) of
/// the mesh stands at (10, 2, 0); moved by d along the arm's own x it stands at (10, 2 + d, 0).
Bytes8 ArmModel()
{
    W3DMeshDesc arm = UnitQuad("ARMMESH");
    arm.containerName = "ROBOT";
    const std::vector<W3DPivotDesc> pivots{{"ROOT", 0xFFFFFFFFu, {10, 0, 0}, {0, 0, Half, Half}},
                                           {"ARM", 0, {1, 0, 0}, {Half, 0, 0, Half}}};
    return Cat({HierarchyChunk("ROBOTSKL", pivots), HLodChunk("ROBOT", "ROBOTSKL", {{1, "ROBOT.ARMMESH"}}),
                   MeshChunk(arm)});
}

W3DAnimation Read(const Bytes8& bytes)
{
    const auto load = LoadW3DAnimation(bytes);
    EXPECT_EQ(load.error, "");
    return load.animation.value_or(W3DAnimation{});
}

/// Where the mesh point (1, 0, 0) stands in each frame of the model posed by `animation`.
std::vector<std::array<float, 3>> ArmPointPerFrame(const W3DAnimation& animation)
{
    W3DModelCollector model;
    W3DAssemblyOptions options;
    options.animation = &animation;
    const auto summary = AssembleW3DModel(ArmModel(), options, model);
    EXPECT_TRUE(summary.loaded) << summary.error;
    std::vector<std::array<float, 3>> points;
    if (model.Groups().empty())
        return points;
    const auto& group = model.Groups()[0];
    for (int frame = 0; frame < group.frameCount; ++frame)
        points.push_back(group.vertices[static_cast<size_t>(frame) * group.VertexCount() + 1].position);
    return points;
}

void ExpectPoint(const std::array<float, 3>& actual, float x, float y, float z, const char* where)
{
    EXPECT_NEAR(actual[0], x, 1e-4f) << where;
    EXPECT_NEAR(actual[1], y, 1e-4f) << where;
    EXPECT_NEAR(actual[2], z, 1e-4f) << where;
}

} // namespace

TEST(W3DAnimation, UncompressedChannelsMoveAndTurnBonesFrameByFrame)
{
    // The arm slides 0, 1, 3 along its x; in the last frame the root turns a further quarter
    // about z, which carries the arm's point from (0, 5, 0) around to (-5, 0, 0) before the root's
    // own translation.
    const auto animation = Read(AnimationChunk("ROBOT.WAVE", "ROBOTSKL", 3, 15,
                                               {{1, 0, {0}, {0, 1, 3}},
                                                {0, 6, {0}, {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, Half, Half}}}));
    EXPECT_EQ(std::tuple(animation.name, animation.hierarchyName, animation.frameCount, animation.frameRate,
                         animation.compressed, animation.channels.size()),
              std::tuple(std::string("ROBOT.WAVE"), std::string("ROBOTSKL"), 3u, 15.0f, false, size_t(2)));
    const auto points = ArmPointPerFrame(animation);
    ASSERT_EQ(points.size(), 3u);
    ExpectPoint(points[0], 10, 2, 0, "frame 0");
    ExpectPoint(points[1], 10, 3, 0, "frame 1");
    ExpectPoint(points[2], 5, 0, 0, "frame 2");
}

TEST(W3DAnimation, TimeCodedKeysGlideBetweenKeysAndJumpWhereMarked)
{
    for (const bool motion : {false, true}) {
        SCOPED_TRACE(motion ? "motion channels" : "time-coded channels");
        // Keys at 0 (0), 2 (10, reached by a jump in the time-coded file), 4 (4); the root turns
        // from none to a quarter about z over the five frames.
        const auto animation = Read(CompressedAnimationChunk(
            "ROBOT.WALK", "ROBOTSKL", 5, 30,
            {{1, 0, {0, motion ? 2 : 2 | Jump, 4}, {0, 10, 4}}, {0, 6, {0, 4}, {0, 0, 0, 1, 0, 0, Half, Half}}}, motion));
        EXPECT_EQ(std::pair(animation.compressed, animation.frameRate), std::pair(true, 30.0f));
        const auto points = ArmPointPerFrame(animation);
        ASSERT_EQ(points.size(), 5u);
        ExpectPoint(points[0], 10, 2, 0, "frame 0");
        // Frame 1: the jump holds 0 (a glide reaches 5); the root has turned 22.5 degrees more.
        const float slide = motion ? 5.0f : 0.0f;
        const float a = std::numbers::pi_v<float> / 8;
        ExpectPoint(points[1], 10 - (2 + slide) * std::sin(a), (2 + slide) * std::cos(a), 0, "frame 1");
        // Frame 2: 10 along the arm, the root an eighth turn further: (12 cos 45, 12 sin 45) turned a quarter.
        ExpectPoint(points[2], 10 - 12 * Half, 12 * Half, 0, "frame 2");
        // Frame 4: 4 along the arm and the root a whole quarter further: (0, 6, 0) becomes (-6, 0, 0).
        ExpectPoint(points[4], 4, 0, 0, "frame 4");
    }
}

TEST(W3DAnimation, DamagedAnimationsAreRefusedAndUnknownEncodingsSkipped)
{
    std::vector<std::pair<const char*, Bytes8>> damaged{
        {"no header", Container(0x200, {Chunk(0x202, ByteWriter().U16(0).U16(0).U16(1).U16(0).U16(0).U16(0).F32(1))})},
        {"values cut short", Container(0x200, {Chunk(0x201, ByteWriter().U32(0).Fixed("A", 16).Fixed("S", 16).U32(3).U32(15)),
                                               Chunk(0x202, ByteWriter().U16(0).U16(2).U16(1).U16(0).U16(1).U16(0).F32(0).F32(1))})},
        {"frame rate 0", AnimationChunk("A", "S", 3, 0, {})},
        {"a quaternion cut short", AnimationChunk("A", "S", 3, 15, {{1, 6, {0}, {1}}})},
        {"keys out of order", CompressedAnimationChunk("A", "S", 3, 15, {{1, 0, {2, 1}, {0, 1}}}, false)},
        {"more keys than the chunk holds", CompressedAnimationChunk("A", "S", 3, 15, {{1, 0, {0, 1}, {0}}}, true)},
        {"header cut short", Container(0x280, {Chunk(0x281, ByteWriter().U32(1).Fixed("A", 16))})}};
    for (const auto& [why, bytes] : damaged) {
        const auto load = LoadW3DAnimation(bytes);
        EXPECT_FALSE(load.animation.has_value()) << why;
        EXPECT_NE(load.error, "") << why;
    }
    EXPECT_FALSE(LoadW3DAnimation(ArmModel()).animation.has_value());
    EXPECT_EQ(LoadW3DAnimation(ArmModel()).error, "");

    // Visibility channels and adaptive-delta motion channels are counted, not played.
    Bytes8 visibility = AnimationChunk("A", "S", 3, 15, {{1, 15, {0}, {1, 1, 1}}, {1, 1, {0}, {0, 1, 2}}});
    const auto played = Read(visibility);
    EXPECT_EQ(played.channels.size(), 1u);
    EXPECT_EQ(played.unplayedChannels, 1u);
    Bytes8 delta = CompressedAnimationChunk("A", "S", 3, 15, {{1, 0, {0}, {5}}}, true);
    delta[8 + 8 + 44 + 8 + 1] = 1; // the channel's encoding: adaptive delta
    EXPECT_EQ(Read(delta).unplayedChannels, 1u);
}
