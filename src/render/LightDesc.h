#pragma once

#include <cstdint>

namespace kestrel {

enum class LightType : std::int32_t { Point = 0, Spot = 1, Directional = 2 };

/// One fixed-function light; colours are red, green, blue, alpha floats.
struct LightDesc
{
    LightType type = LightType::Point;
    float ambient[4] = {};
    float diffuse[4] = {};
    float specular[4] = {};
    float position[4] = {};
    float direction[3] = {};
    float spotExponent = 0.0f;
    float spotCutoff = 0.0f; ///< degrees
    float constantAttenuation = 1.0f;
    float linearAttenuation = 0.0f;
    float quadraticAttenuation = 0.0f;
};

static_assert(sizeof(LightDesc) == 25 * 4, "LightDesc is 25 four-byte fields");

} // namespace kestrel
