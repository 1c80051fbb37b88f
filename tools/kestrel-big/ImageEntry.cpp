#include "ImageEntry.h"

#include "image/EncodePNG.h"
#include "image/ImageDecoders.h"

namespace kestrel::cli {

bool ExtractsAsPng(std::string_view entryName)
{
    const auto type = ImageFileTypeFromEntryName(entryName);
    return type.has_value() && *type != ImageFileType::PNG;
}

int EntryAsPng(ToolArchive& archive, int index, std::vector<std::uint8_t>& png, std::string& error)
{
    const std::string& name = archive.Archive().GetEntryName(index);
    const auto type = ImageFileTypeFromEntryName(name);
    if (!type) {
        error = "the name does not say which image format it holds (.bmp, .tga, .dds, .jpg, .jpeg, .png)";
        return ExitFailure;
    }
    std::vector<std::uint8_t> bytes;
    const int status = archive.ReadEntry(index, [&](std::span<const std::uint8_t> piece) {
        bytes.insert(bytes.end(), piece.begin(), piece.end());
        return true;
    }, error);
    if (status != ExitOk)
        return status;
    DecodedImage image;
    if (!DecodeImage(bytes, *type, image)) {
        error = "not a picture Kestrel can decode";
        return ExitProblems;
    }
    if (!EncodePNG(image, png)) {
        error = image.pixels.empty() ? "the picture is empty" : "the PNG could not be made";
        return ExitProblems;
    }
    return ExitOk;
}

} // namespace kestrel::cli
