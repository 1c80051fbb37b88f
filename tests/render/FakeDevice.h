#pragma once

#include "render/C3DWDevice.h"
#include "render/C3DWTexture.h"

#include <cstdint>
#include <vector>

namespace kestrel::test {

/// A texture that keeps what it was given.
class FakeTexture : public C3DWTexture
{
public:
    FakeTexture(int w, int h, TextureFormat f) : width(w), height(h), format(f) {}

    bool SetData(const void* pixels, int x, int y, int w, int h, int pitch) override;
    bool SetSourceFormat(int, int, int, TextureFormat) override { return false; }
    bool GetDesc(int*, int*, int*, TextureFormat*) const override { return false; }
    bool GetSourceDesc(int*, int*, int*, TextureFormat*) const override { return false; }

    int width;
    int height;
    TextureFormat format;
    std::vector<std::uint8_t> pixels; ///< width × height × 4 bytes of the last whole upload
    int setDataCalls = 0;
};

/// A device without graphics: the shared operations of the interface run for real, the backend
/// operations do nothing but count.
class FakeDevice : public C3DWDevice
{
public:
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
    bool SetTransform(TransformType, const float*) override { return true; }
    bool DrawIndexed(PrimitiveType, C3DWVertexBuffer*, C3DWIndexBuffer*, int, int, int, int, int) override
    {
        return false;
    }
    bool Draw(PrimitiveType, C3DWVertexBuffer*, int, int) override { return false; }
    bool DrawUser(PrimitiveType, const void*, int, int) override { return false; }
    bool DrawUserTextured(PrimitiveType, const void*, int) override { return false; }
    bool DrawUserColored(PrimitiveType, const void*, int) override { return false; }
    bool DrawUserPositions(PrimitiveType, const void*, int) override { return false; }
    bool SetVertexFormat(bool, bool, bool, int) override { return false; }
    std::unique_ptr<C3DWVertexShader> CreateVertexShader(int, const char*, const char*, char*, int) override
    {
        return nullptr;
    }
    std::unique_ptr<C3DWVertexBuffer> CreateVertexBuffer(std::uint32_t, std::uint32_t, int, int) override
    {
        return nullptr;
    }
    std::unique_ptr<C3DWIndexBuffer> CreateIndexBuffer(std::uint32_t, int) override { return nullptr; }
    std::unique_ptr<C3DWPixelShader> CreatePixelShader(int, const char*, const char*, char*, int) override
    {
        return nullptr;
    }
    bool SupportsTexture3D() const override { return false; }
    std::unique_ptr<C3DWTexture3D> CreateTexture3D(int, int, int, TextureFormat) override { return nullptr; }
    std::unique_ptr<C3DWTexture> CreateTextureFromMemory(const void* data, std::int64_t size,
                                                         ImageFileType type) override;
    std::unique_ptr<C3DWTexture> CreateTexture(int width, int height, TextureFormat format) override;
    bool SetTexture(int, C3DWTexture*) override { return false; }
    bool SetTexture3D(int, C3DWTexture3D*) override { return false; }
    bool SetTextureFilter(int, int, int, int) override { return false; }
    bool SetVertexShader(C3DWVertexShader*) override { return false; }
    bool SetPixelShader(C3DWPixelShader*) override { return false; }
    bool GetVertexShaderVersion(int*, int*) override { return false; }
    bool GetPixelShaderVersion(int*, int*) override { return false; }
    bool SetVertexShaderConstants(int, const float*, int) override { return false; }
    bool SetPixelShaderConstants(int, const float*, int) override { return false; }
    bool AddWindow(const DeviceParams&, int*) override { return false; }
    bool SelectWindow(int) override { return false; }

    int createTextureCalls = 0;
    std::vector<ImageFileType> memoryTypes; ///< the type of every CreateTextureFromMemory call
};

} // namespace kestrel::test
