#pragma once

#include "render/C3DWDevice.h"
#include "render/opengl/COGLExtensions.h"

#include <QPointer>
#include <QWindow>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QOffscreenSurface;
class QOpenGLContext;

namespace kestrel {

class COGLResource;
class COGLTexture;
class COGLVertexBuffer;
class COGLIndexBuffer;

/// The OpenGL device: one compatibility-profile context shared by every attached QWindow,
/// the fixed-function pipeline plus ARB vertex and fragment programs. Windows are QWindow
/// pointers in `DeviceParams::window`; a window that is not created yet gets an OpenGL surface
/// of the requested depths, one already created must have an OpenGL surface. The device does
/// not own its windows and copes with their going away. Resources it hands out release their
/// OpenGL objects when deleted, or all at once when the device is destroyed first.
class COGLDevice : public C3DWDevice
{
public:
    /// `hiddenExtensions` are treated as missing from the driver (for tests of poorer drivers).
    explicit COGLDevice(std::vector<std::string> hiddenExtensions = {});
    ~COGLDevice() override;

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

    // For the device's own resources.
    const COGLExtensions& Extensions() const { return m_ext; }
    bool HasContext() const { return m_context != nullptr; }
    void Register(COGLResource* resource);
    /// Releases a resource's OpenGL objects with the context current and forgets every
    /// reference the device kept to it.
    void Release(COGLResource* resource);
    /// Binds the texture of the active stage again after a resource bound its own.
    void RestoreActiveStageTexture();
    /// Binds the vertex or fragment program in use again after a new one was loaded.
    void RestoreProgram(GLenum target);
    /// The stage that `SetTexture` / `SetTextureFilter` last addressed.
    int ActiveStage() const { return m_activeStage; }
    /// What a draw does to the texturing switch of the texture units.
    enum class Texturing {
        Leave,      ///< as it is
        EnableSets, ///< on for the units the layout has coordinates for, others as they are
        OnlySets,   ///< on for the units the layout has coordinates for, off for the others
    };
    /// Points the vertex arrays at vertices of `layout` whose first byte is at address `base`
    /// (an offset when a buffer object is bound). Arrays the layout lacks are switched off, so
    /// no draw reads through a pointer left by an earlier one.
    void SetVertexArrays(std::uintptr_t base, int stride, const VertexLayout& layout, Texturing texturing);
    /// Switches off every array, coordinate arrays of `texSetCount` units (at most all of them).
    void DisableVertexArrays(int texSetCount);

private:
    struct Stage
    {
        COGLTexture* texture = nullptr;
        int minFilter = 1;
        int magFilter = 1;
        int mipFilter = 1;
    };

    bool BindWindow(const DeviceParams& params);
    bool CreateContext();
    bool MakeCurrentForRelease();
    void SetDefaultState();
    void SetViewportFromWindow();
    QWindow* SelectedWindow() const;
    void SelectUnit(int unit);
    bool CheckStage(int stage) const;
    void ApplyFilters(int stage);
    bool DrawFromMemory(PrimitiveType type, const void* vertices, int vertexCount, int stride,
                        const VertexLayout& layout, Texturing texturing);
    void UnapplyLeftBuffers();
    bool PlaceBuffer(std::uint32_t usage, bool& useBufferObject) const;
    bool IndicesInRange(const COGLIndexBuffer& indices, int startIndex, int indexCount, int minIndex,
                        int vertexCount) const;
    GLuint CreateProgram(GLenum target, bool available, const char* arbText, char* errorBuffer,
                         int errorBufferSize, const char* missingMessage);
    bool UseProgram(GLenum target, GLuint program, COGLResource* shader);
    bool SetProgramParameters(GLenum target, PFNGLPROGRAMENVPARAMETER4FVARBPROC setter, int firstRegister,
                              const float* data, int registerCount);

    std::vector<std::string> m_hiddenExtensions;
    std::unique_ptr<QOpenGLContext> m_context;
    /// Lets resources be released after every window has gone.
    std::unique_ptr<QOffscreenSurface> m_fallbackSurface;
    std::vector<QPointer<QWindow>> m_windows;
    int m_selectedWindow = 0;
    COGLExtensions m_ext;
    std::array<Stage, 8> m_stages{};
    int m_activeStage = 0;
    VertexLayout m_userLayout;
    COGLVertexBuffer* m_appliedVertices = nullptr;
    COGLIndexBuffer* m_appliedIndices = nullptr;
    /// The programs `SetVertexShader` / `SetPixelShader` put in use, 0 for none.
    GLuint m_vertexProgram = 0;
    GLuint m_fragmentProgram = 0;
    COGLResource* m_vertexShader = nullptr;
    COGLResource* m_pixelShader = nullptr;
    std::vector<COGLResource*> m_resources;
};

} // namespace kestrel
