#pragma once

#include "render/C3DWDevice.h"
#include "render/C3DWIndexBuffer.h"
#include "render/C3DWTexture.h"
#include "render/C3DWVertexBuffer.h"
#include "render/C3DWVertexShader.h"
#include "render/ResourceRules.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::test {

/// A texture that keeps its size and the bytes last written with SetData. Only whole-texture
/// writes (every position and size -1) are accepted, the one form the shared loading code uses.
class RecordingTexture : public C3DWTexture
{
public:
    RecordingTexture(int width, int height, TextureFormat format);
    bool SetData(const void* pixels, int x, int y, int width, int height, int pitch) override;
    bool SetSourceFormat(int, int, int, TextureFormat) override { return true; }
    bool GetDesc(int* width, int* height, int* pitch, TextureFormat* format) const override;
    bool GetSourceDesc(int* w, int* h, int* pitch, TextureFormat* f) const override { return GetDesc(w, h, pitch, f); }

    int width;
    int height;
    TextureFormat format;
    std::vector<std::uint8_t> pixels;
};

/// Buffers in plain memory with the device interface's range rules.
class RecordingVertexBuffer : public C3DWVertexBuffer
{
public:
    RecordingVertexBuffer(std::uint32_t formatFlags, int count, int stride);
    bool SetData(const void* data, int reserved, int byteOffset, int byteCount) override;
    int GetSize() const override { return static_cast<int>(bytes.size()); }
    int GetStride() const override { return stride; }
    int GetCount() const override { return count; }
    bool GetData(void* destination, int byteOffset, int byteCount) const override;
    bool Apply(int) override { return true; }
    bool Unapply() override { return true; }

    std::uint32_t formatFlags;
    int count;
    int stride;
    std::vector<std::uint8_t> bytes;
};

class RecordingIndexBuffer : public C3DWIndexBuffer
{
public:
    explicit RecordingIndexBuffer(int count);
    bool SetData(const void* data, int reserved, int byteOffset, int byteCount) override;
    int GetSize() const override { return static_cast<int>(bytes.size()); }
    int GetCount() const override { return count; }
    int GetIndexSize() const override { return 2; }
    bool GetData(void* destination, int byteOffset, int byteCount) const override;
    bool Apply() override { return true; }
    bool Unapply() override { return true; }

    int count;
    std::vector<std::uint8_t> bytes;
};

class RecordingVertexShader : public C3DWVertexShader
{
public:
    explicit RecordingVertexShader(std::string source) : text(std::move(source)) {}
    bool GetSource(char* buffer, int bufferSize) const override { return CopyShaderSource(&text, buffer, bufferSize); }
    std::string text;
};

/// A device without a graphics system that records what its users ask of it: every draw with
/// the textures and shader bound at that moment, the shader constants, the resources created.
/// Texture loading from files and memory is the interface's shared implementation (real
/// decoding), ending in CreateTexture here. Switches make shader, buffer or texture creation fail.
class RecordingDevice : public C3DWDevice
{
public:
    struct DrawCall
    {
        PrimitiveType type;
        const C3DWVertexBuffer* vertices;
        const C3DWIndexBuffer* indices;
        int baseVertex, minIndex, vertexCount, startIndex, indexCount;
        const C3DWTexture* stage0; ///< texture on stage 0 when drawn
        const C3DWVertexShader* shader;
    };

    bool failShaders = false;
    bool failBuffers = false;

    std::vector<DrawCall> draws;
    std::vector<std::string> shaderTexts; ///< Direct3D text of every CreateVertexShader
    std::vector<std::string> arbTexts;
    std::vector<RecordingTexture*> texturesCreated; ///< not owned; valid while their owner keeps them
    std::vector<ImageFileType> memoryTypes;         ///< the type of every CreateTextureFromMemory call
    float constants[96][4] = {};
    const C3DWTexture* stageTextures[8] = {};
    const C3DWVertexShader* currentShader = nullptr;

    bool Create(const DeviceParams&) override { return true; }
    bool Destroy() override { return true; }
    bool BeginScene() override { return true; }
    bool EndScene() override { return true; }
    bool SetAmbientLight(std::uint32_t) override { return true; }
    bool EnableLighting(bool) override { return true; }
    bool EnableLight(int, bool) override { return true; }
    bool SetLight(int, LightDesc*) override { return true; }
    bool EnableAlphaBlending(bool) override { return true; }
    bool SetClearColor(std::uint32_t) override { return true; }
    bool Clear(std::uint32_t) override { return true; }
    bool Present() override { return true; }
    bool SetProjection(const float*) override { return true; }
    bool SetTransform(TransformType type, const float* matrix) override;
    bool DrawIndexed(PrimitiveType type, C3DWVertexBuffer* vertices, C3DWIndexBuffer* indices, int baseVertex,
                     int minIndex, int vertexCount, int startIndex, int indexCount) override;
    bool Draw(PrimitiveType, C3DWVertexBuffer*, int, int) override { return true; }
    bool DrawUser(PrimitiveType, const void*, int, int) override { return true; }
    bool DrawUserTextured(PrimitiveType, const void*, int) override { return true; }
    bool DrawUserColored(PrimitiveType, const void*, int) override { return true; }
    bool DrawUserPositions(PrimitiveType, const void*, int) override { return true; }
    bool SetVertexFormat(bool, bool, bool, int) override { return true; }
    std::unique_ptr<C3DWVertexShader> CreateVertexShader(int reserved, const char* direct3DText, const char* arbText,
                                                         char* errorBuffer, int errorBufferSize) override;
    std::unique_ptr<C3DWVertexBuffer> CreateVertexBuffer(std::uint32_t usage, std::uint32_t formatFlags,
                                                         int vertexCount, int stride) override;
    std::unique_ptr<C3DWIndexBuffer> CreateIndexBuffer(std::uint32_t usage, int indexCount) override;
    std::unique_ptr<C3DWPixelShader> CreatePixelShader(int, const char*, const char*, char*, int) override
    {
        return nullptr;
    }
    bool SupportsTexture3D() const override { return false; }
    std::unique_ptr<C3DWTexture3D> CreateTexture3D(int, int, int, TextureFormat) override { return nullptr; }
    std::unique_ptr<C3DWTexture> CreateTextureFromMemory(const void* data, std::int64_t size,
                                                         ImageFileType type) override;
    std::unique_ptr<C3DWTexture> CreateTexture(int width, int height, TextureFormat format) override;
    bool SetTexture(int stage, C3DWTexture* texture) override;
    bool SetTexture3D(int, C3DWTexture3D*) override { return false; }
    bool SetTextureFilter(int, int, int, int) override { return true; }
    bool SetVertexShader(C3DWVertexShader* shader) override { return currentShader = shader, true; }
    bool SetPixelShader(C3DWPixelShader*) override { return true; }
    bool GetVertexShaderVersion(int* major, int* minor) override { return *major = *minor = 1, true; }
    bool GetPixelShaderVersion(int* major, int* minor) override { return *major = *minor = 0, false; }
    bool SetVertexShaderConstants(int firstRegister, const float* data, int registerCount) override;
    bool SetPixelShaderConstants(int, const float*, int) override { return true; }
    bool AddWindow(const DeviceParams&, int* index) override { return *index = 0, true; }
    bool SelectWindow(int index) override { return index == 0; }
};

} // namespace kestrel::test
