#include "DemoImages.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kestrel::demo {
namespace {

struct Rgb
{
    int r, g, b;
};

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

Rgb Rainbow(int x, int y, int size)
{
    const double hue = 6.0 * x / size;
    const double shade = 1.0 - 0.7 * y / size;
    const double f = hue - std::floor(hue);
    const std::array<std::array<double, 3>, 6> sectors{{
        {1, f, 0}, {1 - f, 1, 0}, {0, 1, f}, {0, 1 - f, 1}, {f, 0, 1}, {1, 0, 1 - f},
    }};
    const auto& c = sectors[static_cast<size_t>(std::min(5.0, std::floor(hue)))];
    return {static_cast<int>(255 * c[0] * shade), static_cast<int>(255 * c[1] * shade),
            static_cast<int>(255 * c[2] * shade)};
}

unsigned To565(Rgb c)
{
    return static_cast<unsigned>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}

Rgb From565(unsigned v)
{
    return {static_cast<int>((v >> 11) & 31) * 255 / 31, static_cast<int>((v >> 5) & 63) * 255 / 63,
            static_cast<int>(v & 31) * 255 / 31};
}

int Distance(Rgb a, Rgb b)
{
    return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
}

// One DXT1 block: the two end points are the brightest and darkest pixels, every pixel takes the
// nearest of the four palette colours.
void EncodeBlock(std::vector<std::uint8_t>& out, const std::array<Rgb, 16>& pixels)
{
    auto brightness = [](Rgb c) { return c.r * 3 + c.g * 6 + c.b; };
    const auto [darkest, brightest] = std::minmax_element(
        pixels.begin(), pixels.end(), [&](Rgb a, Rgb b) { return brightness(a) < brightness(b); });
    unsigned c0 = To565(*brightest);
    unsigned c1 = To565(*darkest);
    if (c0 == c1)
        c0 = c1 == 0xFFFF ? c1 : c1 + 1; // keep the four-colour mode (c0 > c1)
    if (c0 < c1)
        std::swap(c0, c1);
    const Rgb a = From565(c0);
    const Rgb b = From565(c1);
    const std::array<Rgb, 4> palette{{a, b, {(2 * a.r + b.r) / 3, (2 * a.g + b.g) / 3, (2 * a.b + b.b) / 3},
                                      {(a.r + 2 * b.r) / 3, (a.g + 2 * b.g) / 3, (a.b + 2 * b.b) / 3}}};
    std::uint32_t indices = 0;
    for (size_t i = 0; i < 16; ++i) {
        size_t best = 0;
        for (size_t p = 1; p < 4; ++p)
            if (Distance(pixels[i], palette[p]) < Distance(pixels[i], palette[best]))
                best = p;
        indices |= static_cast<std::uint32_t>(best) << (2 * i);
    }
    Put16(out, c0);
    Put16(out, c1);
    Put32(out, indices);
}

} // namespace

std::vector<std::uint8_t> CheckerTga(int size)
{
    std::vector<std::uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(out, static_cast<unsigned>(size));
    Put16(out, static_cast<unsigned>(size));
    out.push_back(32);
    out.push_back(0x28); // 8 alpha bits, first row at the top
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool light = ((x / 8) + (y / 8)) % 2 == 0;
            const bool badge = std::hypot(x - centre, y - centre) < size / 4.0;
            const Rgb c = badge ? Rgb{240, 190, 60} : light ? Rgb{230, 230, 230} : Rgb{40, 80, 160};
            out.insert(out.end(), {static_cast<std::uint8_t>(c.b), static_cast<std::uint8_t>(c.g),
                                   static_cast<std::uint8_t>(c.r), 255});
        }
    }
    return out;
}

std::vector<std::uint8_t> RainbowDxt1(int size)
{
    std::vector<std::uint8_t> out = {'D', 'D', 'S', ' '};
    const auto side = static_cast<std::uint32_t>(size);
    Put32(out, 124);
    Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000); // caps, height, width, pixel format, linear size
    Put32(out, side);
    Put32(out, side);
    Put32(out, side * side / 2); // DXT1: half a byte per pixel
    Put32(out, 0);               // depth
    Put32(out, 0);               // mipmaps
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    Put32(out, 32);  // pixel format size
    Put32(out, 0x4); // four-character code present
    out.insert(out.end(), {'D', 'X', 'T', '1'});
    for (int i = 0; i < 5; ++i)
        Put32(out, 0);
    Put32(out, 0x1000); // a texture
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (int by = 0; by < size; by += 4) {
        for (int bx = 0; bx < size; bx += 4) {
            std::array<Rgb, 16> block{};
            for (int i = 0; i < 16; ++i)
                block[static_cast<size_t>(i)] = Rainbow(bx + i % 4, by + i / 4, size);
            EncodeBlock(out, block);
        }
    }
    return out;
}

} // namespace kestrel::demo
