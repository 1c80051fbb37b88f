#include "ImageEntry.h"

#include "base/AtomicFile.h"
#include "image/ConvertToPNG.h"

namespace kestrel::cli {

bool ExtractsAsPng(std::string_view entryName)
{
    const auto type = ImageFileTypeFromName(entryName);
    return type.has_value() && *type != ImageFileType::PNG;
}

int EntryAsPng(ToolArchive& archive, int index, std::vector<std::uint8_t>& png, std::string& error)
{
    const std::string& name = archive.Archive().GetEntryName(index);
    const auto type = ImageFileTypeFromName(name);
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
    return ConvertToPNG(bytes, *type, png, error) ? ExitOk : ExitProblems;
}

bool WriteWholeFile(const std::filesystem::path& target, const std::vector<std::uint8_t>& bytes, bool sync,
                    std::string& error)
{
    AtomicFileWriter writer(target);
    writer.SetSyncOnCommit(sync);
    if (writer.Begin() && writer.Write(bytes.data(), bytes.size()) && writer.Commit())
        return true;
    error = writer.Error();
    return false;
}

} // namespace kestrel::cli
