#pragma once

#include "render/C3DWDevice.h"

#include <d3d9.h>

#include <vector>

namespace kestrel {

class C3DWD3DVertexBuffer;
class C3DWD3DIndexBuffer;

/// The Direct3D 9 device: one HAL device renders into the first window through its own swap
/// chain and into every further window through an additional one. `DeviceParams::window` is an
/// HWND. Resources it hands out hold their Direct3D objects and must be deleted before the
/// device is destroyed. A lost device is not handled: the device is never reset.
class C3DWD3DDevice : public C3DWDevice
{
public:
    C3DWD3DDevice() = default;
    ~C3DWD3DDevice() override;

    bool Create(const DeviceParams& params) override;
    bool Destroy() override;
    bool BeginScene() override;
    bool EndScene() override;
    bool SetAmbientLight(std::uint32_t colour) override;
    bool EnableLighting(bool on) override;
    bool EnableLight(int index, bool on) override;
    bool SetLight(int index, LightDesc* light) override;
    bool EnableAlphaBlending(bool on) override;
    bool SetClearColor(std::uint32_t colour) override;
    bool Clear(std::uint32_t clearFlags) override;
    bool Present() override;
    bool SetProjection(const float* matrix) override;
    bool SetTransform(TransformType type, const float* matrix) override;

    bool DrawIndexed(PrimitiveType type, C3DWVertexBuffer* vertices, C3DWIndexBuffer* indices, int baseVertex,
                     int minIndex, int vertexCount, int startIndex, int indexCount) override;
    bool Draw(PrimitiveType type, C3DWVertexBuffer* vertices, int startVertex, int vertexCount) override;
    bool DrawUser(PrimitiveType type, const void* vertices, int vertexCount, int stride) override;
    bool DrawUserTextured(PrimitiveType type, const void* vertices, int vertexCount) override;
    bool DrawUserColored(PrimitiveType type, const void* vertices, int vertexCount) override;
    bool DrawUserPositions(PrimitiveType type, const void* vertices, int vertexCount) override;
    bool SetVertexFormat(bool colour, bool secondaryColour, bool normal, int texSetCount) override;

    std::unique_ptr<C3DWVertexShader> CreateVertexShader(int reserved, const char* direct3DText, const char* arbText,
                                                         char* errorBuffer, int errorBufferSize) override;
    std::unique_ptr<C3DWVertexBuffer> CreateVertexBuffer(std::uint32_t usage, std::uint32_t formatFlags,
                                                         int vertexCount, int stride) override;
    std::unique_ptr<C3DWIndexBuffer> CreateIndexBuffer(std::uint32_t usage, int indexCount) override;
    std::unique_ptr<C3DWPixelShader> CreatePixelShader(int reserved, const char* direct3DText, const char* arbText,
                                                       char* errorBuffer, int errorBufferSize) override;
    bool SupportsTexture3D() const override;
    std::unique_ptr<C3DWTexture3D> CreateTexture3D(int width, int height, int depth, TextureFormat format) override;
    std::unique_ptr<C3DWTexture> CreateTexture(int width, int height, TextureFormat format) override;
    bool SetTexture(int stage, C3DWTexture* texture) override;
    bool SetTexture3D(int stage, C3DWTexture3D* texture) override;
    bool SetTextureFilter(int stage, int minFilter, int magFilter, int mipFilter) override;
    bool SetVertexShader(C3DWVertexShader* shader) override;
    bool SetPixelShader(C3DWPixelShader* shader) override;
    bool GetVertexShaderVersion(int* major, int* minor) override;
    bool GetPixelShaderVersion(int* major, int* minor) override;
    bool SetVertexShaderConstants(int firstRegister, const float* data, int registerCount) override;
    bool SetPixelShaderConstants(int firstRegister, const float* data, int registerCount) override;
    bool AddWindow(const DeviceParams& params, int* index) override;
    bool SelectWindow(int index) override;

    /// The Direct3D device, null before `Create` and after `Destroy` (for resources and tests).
    IDirect3DDevice9* Direct3DDevice() const { return m_device; }
    /// Sets the flexible vertex format unless it is the one set last.
    void UseVertexFormat(DWORD fvf);
    /// Remembers what `Apply` of a buffer made current, so draws skip setting it again.
    void NoteApplied(C3DWD3DVertexBuffer* vertices) { m_appliedVertices = vertices; }
    void NoteApplied(C3DWD3DIndexBuffer* indices) { m_appliedIndices = indices; }

private:
    D3DPRESENT_PARAMETERS PresentParameters(const DeviceParams& params, const D3DDISPLAYMODE& mode) const;
    bool CreateDeviceWithFallbacks(D3DPRESENT_PARAMETERS& presentation);
    bool TryCreateDevice(D3DPRESENT_PARAMETERS& presentation, DWORD behaviour);
    bool SupportsVertexShaders(const D3DCAPS9& caps) const;
    void SetInitialState(const D3DCAPS9& caps);
    void ReleaseAdditionalSwapChains();
    bool DrawFromMemory(PrimitiveType type, DWORD fvf, const void* vertices, int vertexCount, int stride);

    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    std::vector<HWND> m_windows;
    std::vector<IDirect3DSwapChain9*> m_swapChains; ///< entry 0 is the device's own
    /// Parallel to the swap chains: a depth buffer of each one's size, since Direct3D draws
    /// nothing into a target larger than its depth buffer. Entry 0 is the device's own.
    std::vector<IDirect3DSurface9*> m_depthBuffers;
    D3DFORMAT m_depthFormat = D3DFMT_D16;
    int m_selectedWindow = 0;
    std::uint32_t m_clearColour = 0;
    DWORD m_lastFvf = 0;
    bool m_lighting = false;
    VertexLayout m_userLayout;
    DWORD m_userFvf = D3DFVF_XYZ;
    int m_stageCount = 0;
    int m_vsMajor = 0, m_vsMinor = 0, m_psMajor = 0, m_psMinor = 0;
    C3DWD3DVertexBuffer* m_appliedVertices = nullptr;
    C3DWD3DIndexBuffer* m_appliedIndices = nullptr;
};

/// The flexible vertex format of a vertex layout: position always, then what the flags name.
DWORD FlexibleVertexFormat(const VertexLayout& layout);

} // namespace kestrel
