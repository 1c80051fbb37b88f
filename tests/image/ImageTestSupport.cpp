#include "ImageTestSupport.h"

namespace kestrel::test {

void PutU16(Bytes8& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes8& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutText(Bytes8& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
}

void Append(Bytes8& out, const Bytes8& bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::uint32_t PixelAt(const DecodedImage& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.pixels.data() + (size_t{y} * image.width + x) * 4;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

std::vector<std::uint32_t> PixelValues(const DecodedImage& image)
{
    std::vector<std::uint32_t> values;
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x)
            values.push_back(PixelAt(image, x, y));
    return values;
}

Bytes8 TgaHeader(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t type,
                 std::uint8_t descriptor, std::uint8_t idLength)
{
    Bytes8 out{idLength, 0, type};
    out.resize(12, 0); // colour map and origin
    PutU16(out, width);
    PutU16(out, height);
    out.push_back(depth);
    out.push_back(descriptor);
    out.resize(out.size() + idLength, '#');
    return out;
}

Bytes8 BmpHeader(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel, std::uint32_t compression)
{
    Bytes8 out;
    PutText(out, "BM");
    out.resize(14, 0);
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(width));
    PutU32(out, static_cast<std::uint32_t>(height));
    PutU16(out, 1);
    PutU16(out, bitsPerPixel);
    PutU32(out, compression);
    out.resize(54, 0);
    return out;
}

Bytes8 DdsHeader(std::uint32_t width, std::uint32_t height, std::uint32_t flags, std::uint32_t pitchOrLinearSize,
                 std::string_view fourCC, std::uint32_t rgbBitCount)
{
    Bytes8 out;
    PutText(out, "DDS ");
    PutU32(out, 124);
    PutU32(out, flags);
    PutU32(out, height);
    PutU32(out, width);
    PutU32(out, pitchOrLinearSize);
    out.resize(76, 0);
    PutU32(out, 32); // pixel format size
    PutU32(out, fourCC.empty() ? 0x40 : 0x4);
    if (fourCC.empty())
        PutU32(out, 0);
    else
        PutText(out, fourCC);
    PutU32(out, rgbBitCount);
    out.resize(128, 0);
    return out;
}

} // namespace kestrel::test
