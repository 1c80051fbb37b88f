#pragma once

#include <array>
#include <cstddef>

namespace kestrel {

/// A 4 x 4 transform for row vectors (v' = v * M, translation in elements 12 to 14), the layout
/// the device interface takes.
struct Matrix4
{
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    static Matrix4 Identity() { return {}; }
    /// Rotation by the quaternion (x, y, z, w), then translation by (tx, ty, tz).
    static Matrix4 FromRotationTranslation(const std::array<float, 4>& quaternion, float tx, float ty,
                                           float tz);

    /// The transform that applies this one first and then `then`.
    Matrix4 Then(const Matrix4& then) const;
    /// The inverse transform; identity for a singular matrix.
    Matrix4 Inverse() const;
    std::array<float, 3> TransformPoint(const std::array<float, 3>& point) const;
    /// Rotation part only: directions ignore the translation.
    std::array<float, 3> TransformDirection(const std::array<float, 3>& direction) const;
};

} // namespace kestrel
