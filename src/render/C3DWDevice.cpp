#include "render/C3DWDevice.h"

#include "render/C3DWTexture.h"

#include "base/DebugSink.h"
#include "base/File.h"
#include "image/ImageDecoders.h"

#include <algorithm>
#include <span>

namespace kestrel {
namespace {

void SetIdentity(float* matrix)
{
    std::fill(matrix, matrix + 16, 0.0f);
    matrix[0] = matrix[5] = matrix[10] = matrix[15] = 1.0f;
}

} // namespace

C3DWDevice::C3DWDevice()
{
    DebugLine("C3DWDevice::C3DWDevice()");
    SetIdentity(m_view);
    SetIdentity(m_world);
    SetIdentity(m_projection);
}

C3DWDevice::~C3DWDevice()
{
    DebugLine("C3DWDevice::~C3DWDevice()");
}

float* C3DWDevice::TransformSlot(TransformType type)
{
    switch (type) {
    case TransformType::Projection: return m_projection;
    case TransformType::View: return m_view;
    case TransformType::World: return m_world;
    }
    return nullptr;
}

const float* C3DWDevice::GetTransform(TransformType type) const
{
    return const_cast<C3DWDevice*>(this)->TransformSlot(type);
}

std::unique_ptr<C3DWTexture> C3DWDevice::LoadTextureFromFile(const std::string& path)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return nullptr;
    const std::optional<ImageFileType> type = ImageFileTypeFromPath(path);
    if (!type)
        return nullptr;
    return CreateTextureFromMemory(bytes.data(), static_cast<std::int64_t>(bytes.size()), *type);
}

std::unique_ptr<C3DWTexture> C3DWDevice::CreateTextureFromMemory(const void* data, std::int64_t size,
                                                                 ImageFileType type)
{
    if (data == nullptr || size <= 0)
        return nullptr;
    DecodedImage image;
    const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(data), static_cast<size_t>(size));
    if (!DecodeImage(bytes, type, image))
        return nullptr;
    std::unique_ptr<C3DWTexture> texture =
        CreateTexture(static_cast<int>(image.width), static_cast<int>(image.height), TextureFormat::B8G8R8A8);
    if (texture)
        texture->SetData(image.pixels.data(), -1, -1, -1, -1, -1);
    return texture;
}

} // namespace kestrel
