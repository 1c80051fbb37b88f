#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kestrel {

/// Reads numbers and strings out of untrusted bytes without ever leaving them. Every read either
/// delivers the whole value and advances, or fails (nullopt / false) and leaves the position as
/// it was, so parsers can stop cleanly at the first thing that does not fit.
class ByteReader
{
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    size_t Position() const { return m_position; }
    size_t Size() const { return m_bytes.size(); }
    size_t Remaining() const { return m_bytes.size() - m_position; }
    bool AtEnd() const { return m_position == m_bytes.size(); }

    bool Seek(size_t position);
    bool Skip(size_t count);

    std::optional<std::uint8_t> ReadU8();
    std::optional<std::uint16_t> ReadU16LE();
    std::optional<std::uint32_t> ReadU32LE();
    std::optional<std::uint32_t> ReadU32BE();
    std::optional<float> ReadF32LE();

    /// The next `count` bytes as a view into the input.
    std::optional<std::span<const std::uint8_t>> ReadBytes(size_t count);

    /// Bytes up to a zero byte, which is consumed but not returned. Fails when no zero byte
    /// follows within `maxLength` bytes or before the end.
    std::optional<std::string> ReadCString(size_t maxLength);

private:
    std::span<const std::uint8_t> m_bytes;
    size_t m_position = 0;
};

/// Stores numbers into a caller's buffer in the archive's byte orders.
void StoreU32LE(std::uint8_t* out, std::uint32_t value);
void StoreU32BE(std::uint8_t* out, std::uint32_t value);
std::uint32_t LoadU32BE(const std::uint8_t* in);
std::uint32_t LoadU32LE(const std::uint8_t* in);

} // namespace kestrel
