#pragma once

#include "support/W3DWriter.h"

namespace kestrel::test {

/// A 1 x 1 true-colour TGA of one pixel (alpha 255).
inline ByteList TinyTga(std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    return PayloadWriter().Raw({0, 0, 2, 0, 0, 0, 0, 0}).U16(0).U16(0).U16(1).U16(1).Raw({32, 0x28}).Raw({blue, green, red, 255});
}

/// A 4 x 4 DXT1 DDS whose every pixel has the 5-6-5 colour `colour` (0xF800 is red).
inline ByteList TinyDxt1Dds(std::uint16_t colour)
{
    PayloadWriter dds;
    dds.Raw({'D', 'D', 'S', ' '}).U32(124).U32(0x1007).U32(4).U32(4).U32(8).Zeros(56);
    dds.U32(0x4).Raw({'D', 'X', 'T', '1'}).Zeros(40);
    return dds.U16(colour).U16(0).U32(0);
}

} // namespace kestrel::test
