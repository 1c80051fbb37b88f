#include "app/PreviewCamera.h"

#include <algorithm>
#include <cmath>

namespace kestrel {
namespace {

Vec3 Subtract(const Vec3& a, const Vec3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float Dot(const Vec3& a, const Vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 Normalized(const Vec3& v)
{
    const float length = std::sqrt(Dot(v, v));
    return length > 0 ? Vec3{v[0] / length, v[1] / length, v[2] / length} : v;
}

} // namespace

Matrix16 LookAtRH(const Vec3& eye, const Vec3& target, const Vec3& up)
{
    const Vec3 forward = Normalized(Subtract(target, eye));
    const Vec3 right = Normalized(Cross(forward, up));
    const Vec3 upright = Cross(right, forward);
    return {right[0], upright[0], -forward[0], 0, right[1], upright[1], -forward[1], 0,
            right[2], upright[2], -forward[2], 0, -Dot(right, eye), -Dot(upright, eye), Dot(forward, eye), 1};
}

Matrix16 PerspectiveFovRH(float fieldOfViewY, float aspect, float nearPlane, float farPlane)
{
    const float yScale = 1.0f / std::tan(fieldOfViewY / 2);
    const float depth = nearPlane - farPlane;
    Matrix16 m{};
    m[0] = aspect > 0 ? yScale / aspect : yScale;
    m[5] = yScale;
    m[10] = (farPlane + nearPlane) / depth;
    m[11] = -1;
    m[14] = 2 * farPlane * nearPlane / depth;
    return m;
}

Vec3 TiltAndTurn(const Vec3& point, float tilt, float turn)
{
    const Vec3 tilted{point[0] * std::cos(tilt) + point[2] * std::sin(tilt), point[1],
                      -point[0] * std::sin(tilt) + point[2] * std::cos(tilt)};
    return {tilted[0] * std::cos(turn) - tilted[1] * std::sin(turn),
            tilted[0] * std::sin(turn) + tilted[1] * std::cos(turn), tilted[2]};
}

ModelFrame FrameBounds(const Vec3& min, const Vec3& max)
{
    ModelFrame frame;
    frame.center = {(min[0] + max[0]) / 2, (min[1] + max[1]) / 2, (min[2] + max[2]) / 2};
    const Vec3 half = Subtract(max, frame.center);
    frame.radius = std::sqrt(Dot(half, half));
    // A single point (or a damaged file's infinities) still needs a camera that can see it.
    if (!(frame.radius > 0) || !std::isfinite(frame.radius))
        frame.radius = 1.0f;
    return frame;
}

ModelCamera FrameModel(const ModelFrame& frame, const Vec3& direction, const Vec3& up, float zoom,
                       float fieldOfViewY, float aspect)
{
    // The narrower of the two fields of view decides; a little margin keeps the edges clear.
    const float halfY = fieldOfViewY / 2;
    const float halfX = std::atan(std::tan(halfY) * (aspect > 0 ? aspect : 1.0f));
    const float fitting = frame.radius * 1.05f / std::sin(std::min(halfX, halfY));
    const float distance = fitting * zoom;
    const Vec3 toEye = Normalized(direction);
    const Vec3 eye{frame.center[0] + toEye[0] * distance, frame.center[1] + toEye[1] * distance,
                   frame.center[2] + toEye[2] * distance};
    const float depth = frame.radius * 1.1f;
    const float nearPlane = std::max(distance - depth, distance * 0.01f);
    return {LookAtRH(eye, frame.center, up), PerspectiveFovRH(fieldOfViewY, aspect, nearPlane, distance + depth)};
}

std::array<float, 4> FitImageInUnitSquare(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {0, 0, 1, 1};
    const float w = width >= height ? 1.0f : static_cast<float>(width) / static_cast<float>(height);
    const float h = width >= height ? static_cast<float>(height) / static_cast<float>(width) : 1.0f;
    return {0.5f - w / 2, 0.5f - h / 2, 0.5f + w / 2, 0.5f + h / 2};
}

} // namespace kestrel
