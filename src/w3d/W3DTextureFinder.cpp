#include "w3d/W3DTextureFinder.h"

#include "archive/CBIGFile.h"
#include "base/AsciiCase.h"
#include "base/CaseInsensitivePath.h"
#include "base/File.h"
#include "image/ImageDecoders.h"
#include "render/C3DWDevice.h"
#include "render/C3DWTexture.h"

#include <system_error>

namespace kestrel {
namespace {

/// The path with its last three characters replaced (the extension of "x.tga" becoming "dds").
std::string WithEnding(std::string path, std::string_view ending)
{
    if (path.size() >= 3)
        path.replace(path.size() - 3, 3, ending);
    return path;
}

ImageFileType TypeOfEntryName(const std::string& lowered)
{
    if (lowered.find(".bmp") != std::string::npos)
        return ImageFileType::BMP;
    if (lowered.find(".dds") != std::string::npos)
        return ImageFileType::DDS;
    if (lowered.find(".jpg") != std::string::npos)
        return ImageFileType::JPEG;
    if (lowered.find(".png") != std::string::npos)
        return ImageFileType::PNG;
    return ImageFileType::TGA;
}

struct Ending
{
    std::string_view text;
    ImageFileType type;
};
constexpr Ending FallbackEndings[] = {
    {"dds", ImageFileType::DDS}, {"jpg", ImageFileType::JPEG}, {"png", ImageFileType::PNG}};

} // namespace

W3DTextureFinder::W3DTextureFinder(C3DWDevice* device, std::array<CBIGFile*, 3> archives, std::string installFolder)
    : m_device(device), m_archives(archives), m_diskFolder(std::move(installFolder) + "Art\\Textures\\")
{
}

W3DTextureFinder::Location W3DTextureFinder::Search(const std::string& name, const Attempt& tryDisk,
                                                    const Attempt& useEntry)
{
    Location location;
    std::string path = m_diskFolder + name;
    for (size_t attempt = 0; attempt <= std::size(FallbackEndings); ++attempt) {
        if (attempt > 0)
            path = WithEnding(path, FallbackEndings[attempt - 1].text);
        location.source = Location::Source::Disk;
        location.file = ResolvePathIgnoringCase(path);
        std::error_code error;
        if (std::filesystem::is_regular_file(location.file, error) && tryDisk(location))
            return location;
    }
    const std::string entry = AsciiLowered("art\\textures\\" + name);
    for (size_t archive = 0; archive < m_archives.size(); ++archive) {
        if (m_archives[archive] == nullptr)
            continue;
        location = Location{Location::Source::Archive, {}, archive, entry, TypeOfEntryName(entry)};
        for (size_t attempt = 0; attempt <= std::size(FallbackEndings); ++attempt) {
            if (attempt > 0) {
                location.entryName = WithEnding(location.entryName, FallbackEndings[attempt - 1].text);
                location.type = FallbackEndings[attempt - 1].type;
            }
            if (m_archives[archive]->FindEntry(location.entryName) >= 0) {
                useEntry(location);
                return location;
            }
        }
    }
    return Location{};
}

std::optional<std::vector<std::uint8_t>> W3DTextureFinder::ReadEntry(const Location& location)
{
    CBIGFile& archive = *m_archives[location.archive];
    return archive.GetEntryBytes(archive.FindEntry(location.entryName));
}

std::unique_ptr<C3DWTexture> W3DTextureFinder::LoadTexture(const std::string& name)
{
    std::unique_ptr<C3DWTexture> texture;
    if (m_device == nullptr)
        return texture;
    Search(
        name,
        [&](const Location& location) {
            texture = m_device->LoadTextureFromFile(location.file.string());
            return texture != nullptr;
        },
        [&](const Location& location) {
            if (const auto bytes = ReadEntry(location))
                texture = m_device->CreateTextureFromMemory(bytes->data(), static_cast<std::int64_t>(bytes->size()),
                                                            location.type);
            return true;
        });
    return texture;
}

W3DTextureFinder::Location W3DTextureFinder::LocateTexture(const std::string& name)
{
    return Search(
        name,
        [](const Location& location) {
            std::string bytes;
            const auto type = ImageFileTypeFromPath(location.file.string());
            DecodedImage image;
            return type && ReadWholeFile(location.file, bytes)
                && DecodeImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, *type, image);
        },
        [](const Location&) { return true; });
}

} // namespace kestrel
