#include "ImageEntry.h"

#include "image/ConvertToPNG.h"

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
        error = "the name does not say which image format it holds (.bmp, .tga, .dds, .jpg, .jpeg, .png), nor .wav";
        return ExitFailure;
    }
    std::vector<std::uint8_t> bytes;
    const int status = archive.ReadEntryBytes(index, bytes, error);
    if (status != ExitOk)
        return status;
    return ConvertToPNG(bytes, *type, png, error) ? ExitOk : ExitProblems;
}

} // namespace kestrel::cli
