// COGLDevice: creation of resources, texture stages and programs.
#include "render/opengl/COGLDevice.h"

#include "render/C3DWTexture3D.h"
#include "render/opengl/COGLIndexBuffer.h"
#include "render/opengl/COGLShader.h"
#include "render/opengl/COGLTexture.h"
#include "render/opengl/COGLVertexBuffer.h"

#include "base/DebugSink.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace kestrel {
namespace {

void ClearErrorBuffer(char* buffer, int size)
{
    if (buffer != nullptr && size > 0)
        std::memset(buffer, 0, static_cast<size_t>(size));
}

// Truncated to the buffer, which keeps its terminating zero.
void CopyToErrorBuffer(std::string_view text, char* buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return;
    const size_t length = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

void ReportShaderFailure(const char* message, char* buffer, int size)
{
    DebugLine(message);
    CopyToErrorBuffer(message, buffer, size);
}

constexpr char kNoVertexPrograms[] =
    "No ARB_vertex_program extension available, try newer driver if your card supports Vertex Shaders";
constexpr char kNoFragmentPrograms[] =
    "No ARB_fragment_program extension available, try newer driver if your card supports Pixel Shaders";

template <typename Shader>
std::unique_ptr<Shader> WrapProgram(COGLDevice& device, GLuint program, const char* text)
{
    return program != 0 ? std::make_unique<Shader>(device, program, text) : nullptr;
}

// Null is accepted (fixed-function processing); anything else must be a live shader of ours.
template <typename Shader, typename Interface>
bool AcceptShader(Interface* shader, Shader*& own)
{
    own = dynamic_cast<Shader*>(shader);
    return shader == nullptr || (own != nullptr && own->IsAttached());
}

bool SizeFits(int count, int elementSize)
{
    return count >= 0 && elementSize >= 1 &&
           static_cast<long long>(count) * elementSize <= std::numeric_limits<int>::max();
}

} // namespace

void COGLDevice::Release(COGLResource* resource)
{
    if (MakeCurrentForRelease()) {
        for (Stage& stage : m_stages) {
            if (static_cast<COGLResource*>(stage.texture) == resource)
                stage.texture = nullptr;
        }
        if (static_cast<COGLResource*>(m_appliedVertices) == resource || static_cast<COGLResource*>(m_appliedIndices) == resource)
            UnapplyLeftBuffers();
        if (resource == m_vertexShader)
            UseProgram(GL_VERTEX_PROGRAM_ARB, 0, nullptr);
        if (resource == m_pixelShader)
            UseProgram(GL_FRAGMENT_PROGRAM_ARB, 0, nullptr);
        resource->ReleaseGL();
    }
    std::erase(m_resources, resource);
}

void COGLDevice::SelectUnit(int unit)
{
    if (m_ext.activeTexture != nullptr) {
        m_ext.activeTexture(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
        m_ext.clientActiveTexture(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
    }
}

void COGLDevice::RestoreActiveStageTexture()
{
    const COGLTexture* texture = m_stages[static_cast<size_t>(m_activeStage)].texture;
    glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->Name() : 0);
}

void COGLDevice::RestoreProgram(GLenum target)
{
    if (m_ext.bindProgram != nullptr)
        m_ext.bindProgram(target, target == GL_VERTEX_PROGRAM_ARB ? m_vertexProgram : m_fragmentProgram);
}

bool COGLDevice::CheckStage(int stage) const
{
    if (!m_context || stage < 0 || stage >= m_ext.textureUnits)
        return false;
    return stage == 0 || m_ext.multitexture;
}

std::unique_ptr<C3DWTexture> COGLDevice::CreateTexture(int width, int height, TextureFormat format)
{
    if (!m_context || width <= 0 || height <= 0 || BytesPerPixel(format) == 0 || !SizeFits(width, 4))
        return nullptr;
    return std::make_unique<COGLTexture>(*this, width, height, format);
}

bool COGLDevice::SetTexture(int stage, C3DWTexture* texture)
{
    if (!CheckStage(stage))
        return false;
    auto* ownTexture = dynamic_cast<COGLTexture*>(texture);
    if (texture != nullptr && (ownTexture == nullptr || !ownTexture->IsAttached()))
        return false;
    SelectUnit(stage);
    m_activeStage = stage;
    m_stages[static_cast<size_t>(stage)].texture = ownTexture;
    if (ownTexture != nullptr) {
        glBindTexture(GL_TEXTURE_2D, ownTexture->Name());
        glEnable(GL_TEXTURE_2D);
        ApplyFilters(stage);
    } else {
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    }
    return true;
}

bool COGLDevice::SetTextureFilter(int stage, int minFilter, int magFilter, int mipFilter)
{
    if (!CheckStage(stage))
        return false;
    Stage& state = m_stages[static_cast<size_t>(stage)];
    state.minFilter = minFilter;
    state.magFilter = magFilter;
    state.mipFilter = mipFilter;
    SelectUnit(stage);
    m_activeStage = stage;
    ApplyFilters(stage);
    return true;
}

void COGLDevice::ApplyFilters(int stage)
{
    const Stage& state = m_stages[static_cast<size_t>(stage)];
    if (state.minFilter >= 0 && state.minFilter <= 2 && state.mipFilter >= -1 && state.mipFilter <= 1) {
        static constexpr GLint kPoint[] = {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_LINEAR};
        static constexpr GLint kLinear[] = {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR};
        const auto mip = static_cast<size_t>(state.mipFilter + 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, state.minFilter == 0 ? kPoint[mip] : kLinear[mip]);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, state.magFilter != 0 ? GL_LINEAR : GL_NEAREST);
}

bool COGLDevice::SupportsTexture3D() const
{
    return false;
}

std::unique_ptr<C3DWTexture3D> COGLDevice::CreateTexture3D(int, int, int, TextureFormat)
{
    return nullptr;
}

bool COGLDevice::SetTexture3D(int, C3DWTexture3D*)
{
    return false;
}

// Graphics memory is a buffer object, which needs the driver's; system memory is the client copy.
bool COGLDevice::PlaceBuffer(std::uint32_t usage, bool& useBufferObject) const
{
    const bool bufferObjects = m_ext.HasBufferObjects();
    if ((usage & BufferGraphicsMemory) && !bufferObjects) {
        DebugLine("COGLDevice: No Hardware buffers available");
        return false;
    }
    useBufferObject = bufferObjects && !(usage & BufferSystemMemory);
    return true;
}

std::unique_ptr<C3DWVertexBuffer> COGLDevice::CreateVertexBuffer(std::uint32_t usage, std::uint32_t formatFlags,
                                                                 int vertexCount, int stride)
{
    bool useBufferObject = false;
    if (!m_context || vertexCount < 0 || stride < 1 || !SizeFits(vertexCount, stride) ||
        !PlaceBuffer(usage, useBufferObject))
        return nullptr;
    return std::make_unique<COGLVertexBuffer>(*this, usage, formatFlags, vertexCount, stride, useBufferObject);
}

std::unique_ptr<C3DWIndexBuffer> COGLDevice::CreateIndexBuffer(std::uint32_t usage, int indexCount)
{
    bool useBufferObject = false;
    if (!m_context || !SizeFits(indexCount, 2) || !PlaceBuffer(usage, useBufferObject))
        return nullptr;
    return std::make_unique<COGLIndexBuffer>(*this, usage, indexCount, useBufferObject);
}

// Loads an ARB program; 0 when the driver has no such programs or refuses the text, with the
// reason in the caller's buffer.
GLuint COGLDevice::CreateProgram(GLenum target, bool available, const char* arbText, char* errorBuffer,
                                 int errorBufferSize, const char* missingMessage)
{
    ClearErrorBuffer(errorBuffer, errorBufferSize);
    if (arbText == nullptr) {
        ReportShaderFailure("pOGLARBVertexProgramString == NULL", errorBuffer, errorBufferSize);
        return 0;
    }
    if (!m_context || !available || m_ext.bindProgram == nullptr) {
        ReportShaderFailure(missingMessage, errorBuffer, errorBufferSize);
        return 0;
    }
    GLuint program = 0;
    m_ext.genPrograms(1, &program);
    m_ext.bindProgram(target, program);
    m_ext.programString(target, GL_PROGRAM_FORMAT_ASCII_ARB, static_cast<GLsizei>(std::strlen(arbText)), arbText);
    if (const auto* error = reinterpret_cast<const char*>(glGetString(GL_PROGRAM_ERROR_STRING_ARB)))
        CopyToErrorBuffer(error, errorBuffer, errorBufferSize);
    GLint errorPosition = -1;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &errorPosition);
    // Loading bound the new program; the one in use must stay in use.
    RestoreProgram(target);
    if (errorPosition != -1) {
        if (m_ext.deletePrograms != nullptr)
            m_ext.deletePrograms(1, &program);
        return 0;
    }
    return program;
}

std::unique_ptr<C3DWVertexShader> COGLDevice::CreateVertexShader(int, const char*, const char* arbText,
                                                                 char* errorBuffer, int errorBufferSize)
{
    const GLuint program = CreateProgram(GL_VERTEX_PROGRAM_ARB, m_ext.vertexPrograms, arbText, errorBuffer,
                                         errorBufferSize, kNoVertexPrograms);
    return WrapProgram<COGLVertexShader>(*this, program, arbText);
}

std::unique_ptr<C3DWPixelShader> COGLDevice::CreatePixelShader(int, const char*, const char* arbText,
                                                               char* errorBuffer, int errorBufferSize)
{
    const GLuint program = CreateProgram(GL_FRAGMENT_PROGRAM_ARB, m_ext.fragmentPrograms, arbText, errorBuffer,
                                         errorBufferSize, kNoFragmentPrograms);
    return WrapProgram<COGLPixelShader>(*this, program, arbText);
}

bool COGLDevice::UseProgram(GLenum target, GLuint program, COGLResource* shader)
{
    const bool vertex = target == GL_VERTEX_PROGRAM_ARB;
    if (program != 0) {
        if (m_ext.bindProgram == nullptr)
            return false;
        m_ext.bindProgram(target, program);
        glEnable(target);
    } else if (vertex ? m_ext.vertexPrograms : m_ext.fragmentPrograms) {
        glDisable(target);
    }
    (vertex ? m_vertexProgram : m_fragmentProgram) = program;
    (vertex ? m_vertexShader : m_pixelShader) = shader;
    return true;
}

bool COGLDevice::SetVertexShader(C3DWVertexShader* shader)
{
    COGLVertexShader* own = nullptr;
    return m_context && AcceptShader(shader, own) &&
           UseProgram(GL_VERTEX_PROGRAM_ARB, own ? own->Program() : 0, own);
}

bool COGLDevice::SetPixelShader(C3DWPixelShader* shader)
{
    COGLPixelShader* own = nullptr;
    return m_context && AcceptShader(shader, own) &&
           UseProgram(GL_FRAGMENT_PROGRAM_ARB, own ? own->Program() : 0, own);
}

bool COGLDevice::SetProgramParameters(GLenum target, PFNGLPROGRAMENVPARAMETER4FVARBPROC setter, int firstRegister,
                                      const float* data, int registerCount)
{
    if (!m_context || setter == nullptr || data == nullptr || firstRegister < 0 || registerCount < 0)
        return false;
    for (int i = 0; i < registerCount; ++i)
        setter(target, static_cast<GLuint>(firstRegister + i), data + 4 * i);
    return true;
}

bool COGLDevice::SetVertexShaderConstants(int firstRegister, const float* data, int registerCount)
{
    if (!m_ext.vertexPrograms)
        return false;
    return SetProgramParameters(GL_VERTEX_PROGRAM_ARB, m_ext.programEnvParameter4fv, firstRegister, data,
                                registerCount);
}

bool COGLDevice::SetPixelShaderConstants(int firstRegister, const float* data, int registerCount)
{
    if (!m_ext.fragmentPrograms)
        return false;
    return SetProgramParameters(GL_FRAGMENT_PROGRAM_ARB, m_ext.programLocalParameter4fv, firstRegister, data,
                                registerCount);
}

} // namespace kestrel
