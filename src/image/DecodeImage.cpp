#include "image/ImageDecoders.h"

namespace kestrel {

bool DecodeImage(std::span<const std::uint8_t> data, ImageFileType type, DecodedImage& image)
{
    image = DecodedImage{};
    switch (type) {
    case ImageFileType::BMP: return DecodeBMP(data, image);
    case ImageFileType::TGA: return DecodeTGA(data, image);
    case ImageFileType::DDS: return DecodeDDS(data, image);
    case ImageFileType::JPEG: return DecodeJPEG(data, image);
    case ImageFileType::PNG: return DecodePNG(data, image);
    }
    return false;
}

} // namespace kestrel
