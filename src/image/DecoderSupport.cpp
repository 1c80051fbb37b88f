#include "image/DecoderSupport.h"

#include <algorithm>
#include <new>

namespace kestrel::image_detail {

bool AllocatePixels(DecodedImage& image, std::uint64_t width, std::uint64_t height)
{
    if (width > MaxDecodedImageSide || height > MaxDecodedImageSide)
        return false;
    try {
        image.pixels.assign(static_cast<size_t>(width * height * 4), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    return true;
}

bool Fail(DecodedImage& image)
{
    image = DecodedImage{};
    return false;
}

std::span<const std::uint8_t> BytesFrom(std::span<const std::uint8_t> data, std::uint64_t offset)
{
    if (offset >= data.size())
        return {};
    return data.subspan(static_cast<size_t>(offset));
}

void StorePixelRow(std::span<const std::uint8_t> source, std::uint32_t width, unsigned bytesPerPixel,
                   std::uint8_t* destination)
{
    const size_t count = std::min<size_t>(width, source.size() / bytesPerPixel);
    if (count == 0)
        return;
    if (bytesPerPixel == 4) {
        std::memcpy(destination, source.data(), count * 4);
        return;
    }
    const std::uint8_t* in = source.data();
    for (size_t x = 0; x < count; ++x, in += bytesPerPixel, destination += 4)
        StorePixel(in, bytesPerPixel, destination);
}

} // namespace kestrel::image_detail
