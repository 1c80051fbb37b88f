#pragma once

#include <array>

namespace kestrel {

using Vec3 = std::array<float, 3>;
using Matrix16 = std::array<float, 16>;

/// The preview's camera transforms, for row vectors (translation in elements 12 to 14). They are
/// right-handed like the models' own coordinates and the OpenGL device's default projection: the
/// camera looks along -z of view space, depth runs -1..1, and front faces wind counter-clockwise.
Matrix16 LookAtRH(const Vec3& eye, const Vec3& target, const Vec3& up);
Matrix16 PerspectiveFovRH(float fieldOfViewY, float aspect, float nearPlane, float farPlane);

/// The manual model camera: `point` turned about the Y axis by `tilt`, then about the vertical Z
/// axis by `turn` (radians).
Vec3 TiltAndTurn(const Vec3& point, float tilt, float turn);

/// The image quad: the unit square's part that shows a `width` x `height` image centred with
/// its proportions kept, as x0, y0, x1, y1.
std::array<float, 4> FitImageInUnitSquare(int width, int height);

} // namespace kestrel
