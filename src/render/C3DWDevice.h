#pragma once

#include "render/C3DWIndexBuffer.h"
#include "render/C3DWPixelShader.h"
#include "render/C3DWTexture.h"
#include "render/C3DWTexture3D.h"
#include "render/C3DWVertexBuffer.h"
#include "render/C3DWVertexShader.h"
#include "render/DeviceParams.h"
#include "render/LightDesc.h"
#include "render/RenderTypes.h"

#include "image/ImageFileType.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kestrel {

/// The rendering device every preview window draws through; one per process, shared by all
/// windows attached to it. Colours are 0xAARRGGBB values (bytes blue, green, red, alpha);
/// matrices are 16 floats for row vectors (translation in elements 12 to 14). Operations report
/// failure by false or null, never by throwing. Resources it creates belong to the caller and
/// must be deleted before the device is destroyed.
class C3DWDevice
{
public:
    C3DWDevice();
    virtual ~C3DWDevice();
    C3DWDevice(const C3DWDevice&) = delete;
    C3DWDevice& operator=(const C3DWDevice&) = delete;

    virtual bool Create(const DeviceParams& params) = 0;
    /// Releases the graphics context or device and all window bindings.
    virtual bool Destroy() = 0;
    virtual bool BeginScene() = 0;
    virtual bool EndScene() = 0;
    virtual bool SetAmbientLight(std::uint32_t colour) = 0;
    virtual bool EnableLighting(bool on) = 0;
    virtual bool EnableLight(int index, bool on) = 0;
    /// May adjust the record to what the backend used (position w of a directional light, the
    /// cut-off of a point light).
    virtual bool SetLight(int index, LightDesc* light) = 0;
    /// Blends with source alpha and one minus source alpha.
    virtual bool EnableAlphaBlending(bool on) = 0;
    virtual bool SetClearColor(std::uint32_t colour) = 0;
    virtual bool Clear(std::uint32_t clearFlags) = 0;
    /// Shows the back buffer of the selected window.
    virtual bool Present() = 0;
    /// Null sets the default perspective for the selected window.
    virtual bool SetProjection(const float* matrix) = 0;
    virtual bool SetTransform(TransformType type, const float* matrix) = 0;
    /// The stored matrix, or null for an unknown type.
    virtual const float* GetTransform(TransformType type) const;

    /// Draws `indexCount` indices from `startIndex`, each added to `baseVertex`, which address
    /// vertices `minIndex` to `minIndex + vertexCount - 1`.
    virtual bool DrawIndexed(PrimitiveType type, C3DWVertexBuffer* vertices, C3DWIndexBuffer* indices,
                             int baseVertex, int minIndex, int vertexCount, int startIndex, int indexCount) = 0;
    virtual bool Draw(PrimitiveType type, C3DWVertexBuffer* vertices, int startVertex, int vertexCount) = 0;
    /// Vertices in caller memory, laid out as `SetVertexFormat` said.
    virtual bool DrawUser(PrimitiveType type, const void* vertices, int vertexCount, int stride) = 0;
    /// Position (3 floats) and one coordinate pair (2 floats), stride 20, with the texture of stage 0.
    virtual bool DrawUserTextured(PrimitiveType type, const void* vertices, int vertexCount) = 0;
    /// Position (3 floats) and colour (4 bytes), stride 16, unlit and untextured.
    virtual bool DrawUserColored(PrimitiveType type, const void* vertices, int vertexCount) = 0;
    /// Position only, stride 12.
    virtual bool DrawUserPositions(PrimitiveType type, const void* vertices, int vertexCount) = 0;
    /// The layout of `DrawUser` vertices; texture sets of 2 floats, 0 to 4 of them.
    virtual bool SetVertexFormat(bool colour, bool secondaryColour, bool normal, int texSetCount) = 0;

    /// Each backend takes the text it understands: Direct3D assembly or an ARB vertex program.
    /// The error buffer is cleared first and receives the graphics system's or the backend's
    /// complaint when the result is null.
    virtual std::unique_ptr<C3DWVertexShader> CreateVertexShader(int reserved, const char* direct3DText,
                                                                 const char* arbText, char* errorBuffer,
                                                                 int errorBufferSize) = 0;
    virtual std::unique_ptr<C3DWVertexBuffer> CreateVertexBuffer(std::uint32_t usage, std::uint32_t formatFlags,
                                                                 int vertexCount, int stride) = 0;
    virtual std::unique_ptr<C3DWIndexBuffer> CreateIndexBuffer(std::uint32_t usage, int indexCount) = 0;
    virtual std::unique_ptr<C3DWPixelShader> CreatePixelShader(int reserved, const char* direct3DText,
                                                               const char* arbText, char* errorBuffer,
                                                               int errorBufferSize) = 0;
    virtual bool SupportsTexture3D() const = 0;
    virtual std::unique_ptr<C3DWTexture3D> CreateTexture3D(int width, int height, int depth, TextureFormat format) = 0;
    /// Reads an image file whose type is told by its name; null when it cannot be read or decoded.
    virtual std::unique_ptr<C3DWTexture> LoadTextureFromFile(const std::string& path);
    /// Decodes an image file held in memory into a new texture of its size.
    virtual std::unique_ptr<C3DWTexture> CreateTextureFromMemory(const void* data, std::int64_t size,
                                                                 ImageFileType type);
    virtual std::unique_ptr<C3DWTexture> CreateTexture(int width, int height, TextureFormat format) = 0;
    /// Null removes the stage's texture.
    virtual bool SetTexture(int stage, C3DWTexture* texture) = 0;
    virtual bool SetTexture3D(int stage, C3DWTexture3D* texture) = 0;
    /// Filters: 0 point, 1 (and 2) linear; mip filter -1 none, 0 point, 1 linear.
    virtual bool SetTextureFilter(int stage, int minFilter, int magFilter, int mipFilter) = 0;
    /// Null returns to fixed-function processing.
    virtual bool SetVertexShader(C3DWVertexShader* shader) = 0;
    virtual bool SetPixelShader(C3DWPixelShader* shader) = 0;
    /// True when the device runs vertex shaders at all (major not 0).
    virtual bool GetVertexShaderVersion(int* major, int* minor) = 0;
    virtual bool GetPixelShaderVersion(int* major, int* minor) = 0;
    /// Four floats per register.
    virtual bool SetVertexShaderConstants(int firstRegister, const float* data, int registerCount) = 0;
    virtual bool SetPixelShaderConstants(int firstRegister, const float* data, int registerCount) = 0;
    /// Attaches `params.window`; `index` receives its number for `SelectWindow`.
    virtual bool AddWindow(const DeviceParams& params, int* index) = 0;
    /// Drawing and `Present` act on the selected window.
    virtual bool SelectWindow(int index) = 0;

protected:
    /// Where `SetTransform` keeps a matrix; null for an unknown type.
    float* TransformSlot(TransformType type);

    DeviceParams m_params;
    float m_view[16];
    float m_world[16];
    float m_projection[16];
};

} // namespace kestrel
