#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrel::samples {

using Bytes8 = std::vector<std::uint8_t>;

/// Writes game files byte by byte (file headers, archive tables, W3D chunks) for the demo archive,
/// the fuzz seeds, the benchmarks and the tests. It knows nothing of Kestrel's readers, so what it
/// writes is a second opinion on the formats, not an echo of the code that reads them. Numbers are
/// little-endian unless the name says otherwise.
class ByteWriter
{
public:
    ByteWriter& U8(std::uint8_t value);
    ByteWriter& U16(std::uint16_t value);
    ByteWriter& U32(std::uint32_t value);
    ByteWriter& U32BE(std::uint32_t value);
    ByteWriter& F32(float value);
    ByteWriter& Vec3(float x, float y, float z);
    /// The characters of `text`, which may hold zero bytes, without a terminator.
    ByteWriter& Text(std::string_view text);
    /// `text` NUL-padded (or cut) to exactly `length` bytes.
    ByteWriter& Fixed(std::string_view text, std::size_t length);
    ByteWriter& Raw(const Bytes8& bytes);
    ByteWriter& Zeros(std::size_t count);
    const Bytes8& Get() const { return m_bytes; }
    operator Bytes8() const { return m_bytes; }

private:
    Bytes8 m_bytes;
};

/// Shorthands for one value.
inline Bytes8 LE16(std::uint16_t value) { return ByteWriter().U16(value); }
inline Bytes8 LE(std::uint32_t value) { return ByteWriter().U32(value); }
inline Bytes8 BE(std::uint32_t value) { return ByteWriter().U32BE(value); }
inline Bytes8 Bytes(std::string_view text) { return ByteWriter().Text(text); }
/// The text and its terminating NUL, as the games store names.
inline Bytes8 CString(std::string_view text) { return ByteWriter().Fixed(text, text.size() + 1); }

Bytes8 Cat(const std::vector<Bytes8>& parts);
void Append(Bytes8& bytes, const Bytes8& part);
/// Overwrites (or extends) `bytes` at `at`.
void Put(Bytes8& bytes, std::size_t at, const Bytes8& part);

} // namespace kestrel::samples
