#include "support/RecordingDevice.h"

#include "render/C3DWPixelShader.h"
#include "render/C3DWTexture3D.h"
#include "render/ResourceRules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kestrel::test {
namespace {

bool CopyIn(std::vector<std::uint8_t>& bytes, const void* data, int byteOffset, int byteCount)
{
    const int count = ResolveByteRange(byteOffset, byteCount, static_cast<int>(bytes.size()));
    if (count < 0 || data == nullptr)
        return false;
    std::memcpy(bytes.data() + byteOffset, data, static_cast<size_t>(count));
    return true;
}

bool CopyOut(const std::vector<std::uint8_t>& bytes, void* destination, int byteOffset, int byteCount)
{
    const int count = ResolveByteRange(byteOffset, byteCount, static_cast<int>(bytes.size()));
    if (count < 0 || destination == nullptr)
        return false;
    std::memcpy(destination, bytes.data() + byteOffset, static_cast<size_t>(count));
    return true;
}

} // namespace

RecordingTexture::RecordingTexture(int w, int h, TextureFormat f) : width(w), height(h), format(f) {}

bool RecordingTexture::SetData(const void* data, int x, int y, int w, int h, int pitch)
{
    if (data == nullptr || x != -1 || y != -1 || w != -1 || h != -1 || pitch != -1)
        return false;
    const auto size = static_cast<size_t>(width) * static_cast<size_t>(height)
        * static_cast<size_t>(BytesPerPixel(format));
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    pixels.assign(bytes, bytes + size);
    return true;
}

bool RecordingTexture::GetDesc(int* w, int* h, int* pitch, TextureFormat* f) const
{
    if (w)
        *w = width;
    if (h)
        *h = height;
    if (pitch)
        *pitch = width * BytesPerPixel(format);
    if (f)
        *f = format;
    return true;
}

RecordingVertexBuffer::RecordingVertexBuffer(std::uint32_t flags, int vertexCount, int vertexStride)
    : formatFlags(flags), count(vertexCount), stride(vertexStride),
      bytes(static_cast<size_t>(vertexCount) * static_cast<size_t>(vertexStride))
{
}

bool RecordingVertexBuffer::SetData(const void* data, int, int byteOffset, int byteCount)
{
    return CopyIn(bytes, data, byteOffset, byteCount);
}

bool RecordingVertexBuffer::GetData(void* destination, int byteOffset, int byteCount) const
{
    return CopyOut(bytes, destination, byteOffset, byteCount);
}

RecordingIndexBuffer::RecordingIndexBuffer(int indexCount) : count(indexCount), bytes(static_cast<size_t>(indexCount) * 2)
{
}

bool RecordingIndexBuffer::SetData(const void* data, int, int byteOffset, int byteCount)
{
    return CopyIn(bytes, data, byteOffset, byteCount);
}

bool RecordingIndexBuffer::GetData(void* destination, int byteOffset, int byteCount) const
{
    return CopyOut(bytes, destination, byteOffset, byteCount);
}

bool RecordingDevice::SetTransform(TransformType type, const float* matrix)
{
    float* slot = TransformSlot(type);
    if (slot == nullptr || matrix == nullptr)
        return false;
    std::copy(matrix, matrix + 16, slot);
    return true;
}

bool RecordingDevice::DrawIndexed(PrimitiveType type, C3DWVertexBuffer* vertices, C3DWIndexBuffer* indices,
                                  int baseVertex, int minIndex, int vertexCount, int startIndex, int indexCount)
{
    draws.push_back(DrawCall{type, vertices, indices, baseVertex, minIndex, vertexCount, startIndex, indexCount,
                             stageTextures[0], currentShader});
    return vertices != nullptr && indices != nullptr;
}

std::unique_ptr<C3DWVertexShader> RecordingDevice::CreateVertexShader(int, const char* direct3DText,
                                                                      const char* arbText, char* errorBuffer,
                                                                      int errorBufferSize)
{
    shaderTexts.emplace_back(direct3DText ? direct3DText : "");
    arbTexts.emplace_back(arbText ? arbText : "");
    if (errorBuffer && errorBufferSize > 0)
        errorBuffer[0] = '\0';
    if (!failShaders)
        return std::make_unique<RecordingVertexShader>(shaderTexts.back());
    if (errorBuffer && errorBufferSize > 0)
        std::snprintf(errorBuffer, static_cast<size_t>(errorBufferSize), "no shaders here");
    return nullptr;
}

std::unique_ptr<C3DWVertexBuffer> RecordingDevice::CreateVertexBuffer(std::uint32_t, std::uint32_t formatFlags,
                                                                      int vertexCount, int stride)
{
    if (failBuffers || vertexCount <= 0 || stride <= 0)
        return nullptr;
    return std::make_unique<RecordingVertexBuffer>(formatFlags, vertexCount, stride);
}

std::unique_ptr<C3DWIndexBuffer> RecordingDevice::CreateIndexBuffer(std::uint32_t, int indexCount)
{
    if (failBuffers || indexCount <= 0)
        return nullptr;
    return std::make_unique<RecordingIndexBuffer>(indexCount);
}

std::unique_ptr<C3DWTexture> RecordingDevice::CreateTextureFromMemory(const void* data, std::int64_t size,
                                                                      ImageFileType type)
{
    memoryTypes.push_back(type);
    return C3DWDevice::CreateTextureFromMemory(data, size, type);
}

std::unique_ptr<C3DWTexture> RecordingDevice::CreateTexture(int width, int height, TextureFormat format)
{
    auto texture = std::make_unique<RecordingTexture>(width, height, format);
    texturesCreated.push_back(texture.get());
    return texture;
}

bool RecordingDevice::SetTexture(int stage, C3DWTexture* texture)
{
    if (stage < 0 || stage >= 8)
        return false;
    stageTextures[stage] = texture;
    return true;
}

bool RecordingDevice::SetVertexShaderConstants(int firstRegister, const float* data, int registerCount)
{
    if (firstRegister < 0 || registerCount < 0 || firstRegister + registerCount > 96)
        return false;
    for (int r = 0; r < registerCount; ++r)
        std::copy(data + 4 * r, data + 4 * r + 4, constants[firstRegister + r]);
    return true;
}

} // namespace kestrel::test
