#include "image/ConvertToPNG.h"

#include "image/EncodePNG.h"
#include "image/ImageDecoders.h"

namespace kestrel {

bool ConvertToPNG(std::span<const std::uint8_t> bytes, ImageFileType type, std::vector<std::uint8_t>& png,
                  std::string& error)
{
    DecodedImage image;
    if (!DecodeImage(bytes, type, image)) {
        error = "not a picture Kestrel can decode";
        return false;
    }
    if (!EncodePNG(image, png)) {
        error = image.pixels.empty() ? "the picture is empty" : "the PNG could not be made";
        return false;
    }
    return true;
}

} // namespace kestrel
