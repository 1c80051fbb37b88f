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

/// The sphere round a model's bounds: what the model camera keeps in view.
struct ModelFrame
{
    Vec3 center{0.5f, 0.5f, 0.5f};
    float radius = 1.0f;
};
ModelFrame FrameBounds(const Vec3& min, const Vec3& max);

struct ModelCamera
{
    Matrix16 view;
    Matrix16 projection;
};

/// The camera on a framed model: it looks at the frame's centre from `direction` (any length),
/// `zoom` times as far as the whole sphere needs to fit the view at this field of view and
/// aspect, with clip planes that hold the sphere.
ModelCamera FrameModel(const ModelFrame& frame, const Vec3& direction, const Vec3& up, float zoom,
                       float fieldOfViewY, float aspect);

/// The image quad: the unit square's part that shows a `width` x `height` image centred with
/// its proportions kept, as x0, y0, x1, y1.
std::array<float, 4> FitImageInUnitSquare(int width, int height);

} // namespace kestrel
