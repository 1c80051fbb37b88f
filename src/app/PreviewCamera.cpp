#include "app/PreviewCamera.h"

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

std::array<float, 4> FitImageInUnitSquare(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {0, 0, 1, 1};
    const float w = width >= height ? 1.0f : static_cast<float>(width) / static_cast<float>(height);
    const float h = width >= height ? static_cast<float>(height) / static_cast<float>(width) : 1.0f;
    return {0.5f - w / 2, 0.5f - h / 2, 0.5f + w / 2, 0.5f + h / 2};
}

} // namespace kestrel
