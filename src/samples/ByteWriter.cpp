#include "samples/ByteWriter.h"

#include <algorithm>
#include <cstring>

namespace kestrel::samples {

ByteWriter& ByteWriter::U8(std::uint8_t value)
{
    m_bytes.push_back(value);
    return *this;
}

ByteWriter& ByteWriter::U16(std::uint16_t value)
{
    return U8(static_cast<std::uint8_t>(value)).U8(static_cast<std::uint8_t>(value >> 8));
}

ByteWriter& ByteWriter::U32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        U8(static_cast<std::uint8_t>(value >> shift));
    return *this;
}

ByteWriter& ByteWriter::U32BE(std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        U8(static_cast<std::uint8_t>(value >> shift));
    return *this;
}

ByteWriter& ByteWriter::F32(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    return U32(bits);
}

ByteWriter& ByteWriter::Vec3(float x, float y, float z)
{
    return F32(x).F32(y).F32(z);
}

ByteWriter& ByteWriter::Text(std::string_view text)
{
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    return *this;
}

ByteWriter& ByteWriter::Fixed(std::string_view text, std::size_t length)
{
    Text(text.substr(0, length));
    return Zeros(length - std::min(length, text.size()));
}

ByteWriter& ByteWriter::Raw(const Bytes8& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

ByteWriter& ByteWriter::Zeros(std::size_t count)
{
    m_bytes.insert(m_bytes.end(), count, 0);
    return *this;
}

Bytes8 Cat(const std::vector<Bytes8>& parts)
{
    ByteWriter writer;
    for (const auto& part : parts)
        writer.Raw(part);
    return writer;
}

void Append(Bytes8& bytes, const Bytes8& part)
{
    bytes.insert(bytes.end(), part.begin(), part.end());
}

void Put(Bytes8& bytes, std::size_t at, const Bytes8& part)
{
    bytes.resize(std::max(bytes.size(), at + part.size()));
    std::copy(part.begin(), part.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

} // namespace kestrel::samples
