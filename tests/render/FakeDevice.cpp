#include "FakeDevice.h"

#include <cstring>

namespace kestrel::test {

bool FakeTexture::SetData(const void* data, int x, int y, int w, int h, int pitch)
{
    ++setDataCalls;
    if (data == nullptr || x != -1 || y != -1 || w != -1 || h != -1 || pitch != -1)
        return false;
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    std::memcpy(pixels.data(), data, pixels.size());
    return true;
}

std::unique_ptr<C3DWTexture> FakeDevice::CreateTextureFromMemory(const void* data, std::int64_t size,
                                                                 ImageFileType type)
{
    memoryTypes.push_back(type);
    return C3DWDevice::CreateTextureFromMemory(data, size, type);
}

std::unique_ptr<C3DWTexture> FakeDevice::CreateTexture(int width, int height, TextureFormat format)
{
    ++createTextureCalls;
    return std::make_unique<FakeTexture>(width, height, format);
}

} // namespace kestrel::test
