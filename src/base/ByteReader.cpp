#include "base/ByteReader.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

bool ByteReader::Seek(size_t position)
{
    if (position > m_bytes.size())
        return false;
    m_position = position;
    return true;
}

bool ByteReader::Skip(size_t count)
{
    if (count > Remaining())
        return false;
    m_position += count;
    return true;
}

std::optional<std::uint8_t> ByteReader::ReadU8()
{
    if (Remaining() < 1)
        return std::nullopt;
    return m_bytes[m_position++];
}

std::optional<std::uint16_t> ByteReader::ReadU16LE()
{
    if (Remaining() < 2)
        return std::nullopt;
    const auto value = static_cast<std::uint16_t>(m_bytes[m_position] | (m_bytes[m_position + 1] << 8));
    m_position += 2;
    return value;
}

std::optional<std::uint32_t> ByteReader::ReadU32LE()
{
    if (Remaining() < 4)
        return std::nullopt;
    const std::uint32_t value = LoadU32LE(m_bytes.data() + m_position);
    m_position += 4;
    return value;
}

std::optional<std::uint32_t> ByteReader::ReadU32BE()
{
    if (Remaining() < 4)
        return std::nullopt;
    const std::uint32_t value = LoadU32BE(m_bytes.data() + m_position);
    m_position += 4;
    return value;
}

std::optional<float> ByteReader::ReadF32LE()
{
    const auto bits = ReadU32LE();
    if (!bits)
        return std::nullopt;
    float value = 0;
    std::memcpy(&value, &*bits, sizeof value);
    return value;
}

std::optional<std::span<const std::uint8_t>> ByteReader::ReadBytes(size_t count)
{
    if (count > Remaining())
        return std::nullopt;
    auto bytes = m_bytes.subspan(m_position, count);
    m_position += count;
    return bytes;
}

std::optional<std::string> ByteReader::ReadCString(size_t maxLength)
{
    const size_t limit = std::min(Remaining(), maxLength + 1);
    if (limit == 0)
        return std::nullopt; // an empty input has no data pointer to search
    const auto* start = m_bytes.data() + m_position;
    const void* terminator = std::memchr(start, 0, limit);
    if (terminator == nullptr)
        return std::nullopt;
    const auto length = static_cast<size_t>(static_cast<const std::uint8_t*>(terminator) - start);
    m_position += length + 1;
    return std::string(reinterpret_cast<const char*>(start), length);
}

void StoreU32LE(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void StoreU32BE(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[3 - i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t LoadU32BE(const std::uint8_t* in)
{
    return (std::uint32_t{in[0]} << 24) | (std::uint32_t{in[1]} << 16) | (std::uint32_t{in[2]} << 8) | in[3];
}

std::uint32_t LoadU32LE(const std::uint8_t* in)
{
    return (std::uint32_t{in[3]} << 24) | (std::uint32_t{in[2]} << 16) | (std::uint32_t{in[1]} << 8) | in[0];
}

} // namespace kestrel
