#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::demo {

/// A W3D file with one mesh: the unit cube from (0, 0, 0) to (1, 1, 1), each face mapped with the
/// whole texture `textureName` (looked up below art\textures\ of the archive).
std::vector<std::uint8_t> TexturedBoxW3D(const std::string& textureName);

} // namespace kestrel::demo
