#include "w3d/Matrix4.h"

namespace kestrel {

Matrix4 Matrix4::FromRotationTranslation(const std::array<float, 4>& q, float tx, float ty, float tz)
{
    const float x = q[0], y = q[1], z = q[2], w = q[3];
    // Rows are the images of the unit axes (row-vector convention).
    return Matrix4{{1 - 2 * (y * y + z * z), 2 * (x * y + w * z), 2 * (x * z - w * y), 0,
                    2 * (x * y - w * z), 1 - 2 * (x * x + z * z), 2 * (y * z + w * x), 0,
                    2 * (x * z + w * y), 2 * (y * z - w * x), 1 - 2 * (x * x + y * y), 0,
                    tx, ty, tz, 1}};
}

Matrix4 Matrix4::Then(const Matrix4& then) const
{
    Matrix4 result;
    for (std::size_t row = 0; row < 4; ++row) {
        for (std::size_t col = 0; col < 4; ++col) {
            float sum = 0;
            for (std::size_t k = 0; k < 4; ++k)
                sum += m[row * 4 + k] * then.m[k * 4 + col];
            result.m[row * 4 + col] = sum;
        }
    }
    return result;
}

std::array<float, 3> Matrix4::TransformPoint(const std::array<float, 3>& p) const
{
    std::array<float, 3> result = TransformDirection(p);
    for (std::size_t col = 0; col < 3; ++col)
        result[col] += m[12 + col];
    return result;
}

std::array<float, 3> Matrix4::TransformDirection(const std::array<float, 3>& d) const
{
    std::array<float, 3> result{};
    for (std::size_t col = 0; col < 3; ++col)
        result[col] = d[0] * m[col] + d[1] * m[4 + col] + d[2] * m[8 + col];
    return result;
}

} // namespace kestrel
