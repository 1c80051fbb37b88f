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

Matrix4 Matrix4::Inverse() const
{
    // Cofactor expansion by 2 x 2 minors of the upper and lower row pairs.
    const auto& a = m;
    const float s0 = a[0] * a[5] - a[4] * a[1], s1 = a[0] * a[6] - a[4] * a[2], s2 = a[0] * a[7] - a[4] * a[3];
    const float s3 = a[1] * a[6] - a[5] * a[2], s4 = a[1] * a[7] - a[5] * a[3], s5 = a[2] * a[7] - a[6] * a[3];
    const float c5 = a[10] * a[15] - a[14] * a[11], c4 = a[9] * a[15] - a[13] * a[11];
    const float c3 = a[9] * a[14] - a[13] * a[10], c2 = a[8] * a[15] - a[12] * a[11];
    const float c1 = a[8] * a[14] - a[12] * a[10], c0 = a[8] * a[13] - a[12] * a[9];
    const float determinant = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (determinant == 0.0f)
        return Identity();
    const float d = 1.0f / determinant;
    return Matrix4{{(a[5] * c5 - a[6] * c4 + a[7] * c3) * d, (-a[1] * c5 + a[2] * c4 - a[3] * c3) * d,
                    (a[13] * s5 - a[14] * s4 + a[15] * s3) * d, (-a[9] * s5 + a[10] * s4 - a[11] * s3) * d,
                    (-a[4] * c5 + a[6] * c2 - a[7] * c1) * d, (a[0] * c5 - a[2] * c2 + a[3] * c1) * d,
                    (-a[12] * s5 + a[14] * s2 - a[15] * s1) * d, (a[8] * s5 - a[10] * s2 + a[11] * s1) * d,
                    (a[4] * c4 - a[5] * c2 + a[7] * c0) * d, (-a[0] * c4 + a[1] * c2 - a[3] * c0) * d,
                    (a[12] * s4 - a[13] * s2 + a[15] * s0) * d, (-a[8] * s4 + a[9] * s2 - a[11] * s0) * d,
                    (-a[4] * c3 + a[5] * c1 - a[6] * c0) * d, (a[0] * c3 - a[1] * c1 + a[2] * c0) * d,
                    (-a[12] * s3 + a[13] * s1 - a[14] * s0) * d, (a[8] * s3 - a[9] * s1 + a[10] * s0) * d}};
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
