#pragma once

// Readers shared by the W3D record layouts. Each reads one field or fails the load.

#include "base/ByteReader.h"
#include "w3d/W3DChunk.h"
#include "w3d/W3DRecords.h"

#include <algorithm>
#include <string>

namespace kestrel {
namespace w3dread {

// Records are only read after their payload was checked to be long enough, so a failing read
// means a layout mistake; it still ends the load cleanly rather than reading garbage.
[[noreturn]] inline void Truncated()
{
    throw W3DChunkError("W3D record shorter than its layout");
}

inline std::uint8_t U8(ByteReader& reader)
{
    const auto value = reader.ReadU8();
    if (!value)
        Truncated();
    return *value;
}

inline std::uint16_t U16(ByteReader& reader)
{
    const auto value = reader.ReadU16LE();
    if (!value)
        Truncated();
    return *value;
}

inline std::uint32_t U32(ByteReader& reader)
{
    const auto value = reader.ReadU32LE();
    if (!value)
        Truncated();
    return *value;
}

inline float F32(ByteReader& reader)
{
    const auto value = reader.ReadF32LE();
    if (!value)
        Truncated();
    return *value;
}

inline std::string FixedString(ByteReader& reader, size_t length)
{
    const auto bytes = reader.ReadBytes(length);
    if (!bytes)
        Truncated();
    const auto end = std::find(bytes->begin(), bytes->end(), std::uint8_t{0});
    return std::string(bytes->begin(), end);
}

inline W3DColor Color(ByteReader& reader)
{
    const auto bytes = reader.ReadBytes(4);
    if (!bytes)
        Truncated();
    return W3DColor{(*bytes)[0], (*bytes)[1], (*bytes)[2]};
}

} // namespace w3dread

} // namespace kestrel
