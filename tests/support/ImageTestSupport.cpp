#include "support/ImageTestSupport.h"

namespace kestrel::test {

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

} // namespace kestrel::test
