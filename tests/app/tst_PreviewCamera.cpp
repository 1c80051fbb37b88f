#include "app/PreviewCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kestrel {
namespace {

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
