// Drawing, resources and shaders of the Direct3D 9 device.
#include "render/d3d9/C3DWD3DDevice.h"

#include "render/d3d9/C3DWD3DBuffers.h"
#include "render/d3d9/C3DWD3DShader.h"
#include "render/d3d9/C3DWD3DTexture.h"

#include <d3dx9.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kestrel {
namespace {

D3DPRIMITIVETYPE Direct3DPrimitive(PrimitiveType type)
{
    switch (type) {
    case PrimitiveType::LineList: return D3DPT_LINELIST;
    case PrimitiveType::LineStrip: return D3DPT_LINESTRIP;
    case PrimitiveType::TriangleList: return D3DPT_TRIANGLELIST;
    case PrimitiveType::TriangleStrip: return D3DPT_TRIANGLESTRIP;
    case PrimitiveType::TriangleFan: return D3DPT_TRIANGLEFAN;
    }
    return D3DPT_TRIANGLELIST;
}

void CopyMessage(const char* message, size_t length, char* buffer, int bufferSize)
{
    if (buffer == nullptr || bufferSize <= 0)
        return;
    const size_t count = std::min(length, static_cast<size_t>(bufferSize) - 1);
    std::memcpy(buffer, message, count);
    buffer[count] = '\0';
}

void CopyMessage(const char* message, char* buffer, int bufferSize)
{
    CopyMessage(message, std::strlen(message), buffer, bufferSize);
}

/// Assembles Direct3D shader text; the assembler's complaint lands in the error buffer.
ID3DXBuffer* Assemble(const char* text, char* errorBuffer, int errorBufferSize)
{
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    const HRESULT result = D3DXAssembleShader(text, static_cast<UINT>(std::strlen(text)), nullptr, nullptr, 0, &code, &errors);
    if (FAILED(result) && errors != nullptr)
        CopyMessage(static_cast<const char*>(errors->GetBufferPointer()), std::strlen(static_cast<const char*>(errors->GetBufferPointer())), errorBuffer, errorBufferSize);
    if (errors != nullptr)
        errors->Release();
    if (FAILED(result) && code != nullptr) {
        code->Release();
        code = nullptr;
    }
    return code;
}

/// The common path of both shader kinds: check, assemble, let the device make the shader.
template <typename Wrapper, typename Shader, typename Make>
std::unique_ptr<Wrapper> CreateShader(const char* text, char* errorBuffer, int errorBufferSize,
                                      const char* missingText, const char* createFailed, Make make)
{
    CopyMessage("", errorBuffer, errorBufferSize);
    if (text == nullptr) {
        CopyMessage(missingText, errorBuffer, errorBufferSize);
        return nullptr;
    }
    ID3DXBuffer* code = Assemble(text, errorBuffer, errorBufferSize);
    if (code == nullptr)
        return nullptr;
    Shader* shader = nullptr;
    const bool made = make(static_cast<const DWORD*>(code->GetBufferPointer()), &shader);
    code->Release();
    if (!made) {
        CopyMessage(createFailed, errorBuffer, errorBufferSize);
        return nullptr;
    }
    return std::make_unique<Wrapper>(shader, text);
}

/// Every index drawn must address a vertex of the promised range: drivers read whatever lies
/// beyond a buffer, and some fall over doing it.
bool IndicesInRange(const C3DWIndexBuffer& indices, int startIndex, int indexCount, int minIndex, int vertexCount)
{
    std::vector<std::uint16_t> drawn(static_cast<size_t>(indexCount));
    if (!indices.GetData(drawn.data(), 2 * startIndex, 2 * indexCount))
        return false;
    return std::all_of(drawn.begin(), drawn.end(),
                       [&](std::uint16_t index) { return index >= minIndex && index < minIndex + vertexCount; });
}

} // namespace

bool C3DWD3DDevice::DrawFromMemory(PrimitiveType type, DWORD fvf, const void* vertices, int vertexCount, int stride)
{
    const int primitives = PrimitiveCount(type, vertexCount);
    if (m_device == nullptr || vertices == nullptr || primitives <= 0 || stride <= 0)
        return false;
    UseVertexFormat(fvf);
    // Drawing from memory unbinds the stream; the next buffer draw applies its buffer again.
    m_appliedVertices = nullptr;
    m_appliedIndices = nullptr;
    return SUCCEEDED(m_device->DrawPrimitiveUP(Direct3DPrimitive(type), static_cast<UINT>(primitives), vertices,
                                               static_cast<UINT>(stride)));
}

bool C3DWD3DDevice::DrawUser(PrimitiveType type, const void* vertices, int vertexCount, int stride)
{
    return DrawFromMemory(type, m_userFvf, vertices, vertexCount, stride);
}

bool C3DWD3DDevice::DrawUserTextured(PrimitiveType type, const void* vertices, int vertexCount)
{
    return DrawFromMemory(type, D3DFVF_XYZ | D3DFVF_TEX1, vertices, vertexCount, 20);
}

bool C3DWD3DDevice::DrawUserColored(PrimitiveType type, const void* vertices, int vertexCount)
{
    if (m_device == nullptr)
        return false;
    if (m_lighting)
        EnableLighting(false);
    for (int stage = 0; stage < m_stageCount; ++stage)
        m_device->SetTexture(static_cast<DWORD>(stage), nullptr);
    return DrawFromMemory(type, D3DFVF_XYZ | D3DFVF_DIFFUSE, vertices, vertexCount, 16);
}

bool C3DWD3DDevice::DrawUserPositions(PrimitiveType type, const void* vertices, int vertexCount)
{
    return DrawFromMemory(type, D3DFVF_XYZ, vertices, vertexCount, 12);
}

bool C3DWD3DDevice::Draw(PrimitiveType type, C3DWVertexBuffer* vertices, int startVertex, int vertexCount)
{
    auto* buffer = dynamic_cast<C3DWD3DVertexBuffer*>(vertices);
    const int primitives = PrimitiveCount(type, vertexCount);
    if (m_device == nullptr || buffer == nullptr || startVertex < 0 || primitives <= 0 ||
        startVertex + vertexCount > buffer->GetCount())
        return false;
    if (m_appliedVertices != buffer && !buffer->Apply(0))
        return false;
    return SUCCEEDED(m_device->DrawPrimitive(Direct3DPrimitive(type), static_cast<UINT>(startVertex),
                                             static_cast<UINT>(primitives)));
}

bool C3DWD3DDevice::DrawIndexed(PrimitiveType type, C3DWVertexBuffer* vertices, C3DWIndexBuffer* indices,
                                int baseVertex, int minIndex, int vertexCount, int startIndex, int indexCount)
{
    auto* vertexBuffer = dynamic_cast<C3DWD3DVertexBuffer*>(vertices);
    auto* indexBuffer = dynamic_cast<C3DWD3DIndexBuffer*>(indices);
    const int primitives = PrimitiveCount(type, indexCount);
    if (m_device == nullptr || vertexBuffer == nullptr || indexBuffer == nullptr || primitives <= 0 ||
        baseVertex < 0 || minIndex < 0 || vertexCount <= 0 || startIndex < 0 ||
        baseVertex + minIndex + vertexCount > vertexBuffer->GetCount() || startIndex + indexCount > indexBuffer->GetCount())
        return false;
    if (!IndicesInRange(*indexBuffer, startIndex, indexCount, minIndex, vertexCount))
        return false;
    if (m_appliedVertices != vertexBuffer && !vertexBuffer->Apply(baseVertex))
        return false;
    if (m_appliedIndices != indexBuffer && !indexBuffer->Apply())
        return false;
    return SUCCEEDED(m_device->DrawIndexedPrimitive(Direct3DPrimitive(type), baseVertex, static_cast<UINT>(minIndex),
                                                    static_cast<UINT>(vertexCount), static_cast<UINT>(startIndex),
                                                    static_cast<UINT>(primitives)));
}

std::unique_ptr<C3DWVertexBuffer> C3DWD3DDevice::CreateVertexBuffer(std::uint32_t usage, std::uint32_t formatFlags,
                                                                    int vertexCount, int stride)
{
    if (m_device == nullptr || vertexCount <= 0 || stride <= 0)
        return nullptr;
    const DWORD fvf = FlexibleVertexFormat(DecodeVertexFormat(formatFlags));
    const bool dynamic = (usage & BufferDynamic) != 0;
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (FAILED(m_device->CreateVertexBuffer(static_cast<UINT>(vertexCount * stride), dynamic ? D3DUSAGE_DYNAMIC : 0,
                                            fvf, BufferPool(usage), &buffer, nullptr)))
        return nullptr;
    return std::make_unique<C3DWD3DVertexBuffer>(*this, buffer, stride, vertexCount, fvf, dynamic);
}

std::unique_ptr<C3DWIndexBuffer> C3DWD3DDevice::CreateIndexBuffer(std::uint32_t usage, int indexCount)
{
    if (m_device == nullptr || indexCount <= 0)
        return nullptr;
    const bool dynamic = (usage & BufferDynamic) != 0;
    IDirect3DIndexBuffer9* buffer = nullptr;
    if (FAILED(m_device->CreateIndexBuffer(static_cast<UINT>(2 * indexCount), dynamic ? D3DUSAGE_DYNAMIC : 0,
                                           D3DFMT_INDEX16, BufferPool(usage), &buffer, nullptr)))
        return nullptr;
    return std::make_unique<C3DWD3DIndexBuffer>(*this, buffer, indexCount, dynamic);
}

std::unique_ptr<C3DWVertexShader> C3DWD3DDevice::CreateVertexShader(int /*reserved*/, const char* direct3DText,
                                                                    const char* /*arbText*/, char* errorBuffer,
                                                                    int errorBufferSize)
{
    return CreateShader<C3DWD3DVertexShader, IDirect3DVertexShader9>(
        direct3DText, errorBuffer, errorBufferSize, "pD3DVertexShader11String == NULL",
        "Assembly ok, but failed to call m_pD3DDevice->CreateVertexShader()",
        [this](const DWORD* code, IDirect3DVertexShader9** shader) {
            return m_device != nullptr && SUCCEEDED(m_device->CreateVertexShader(code, shader));
        });
}

std::unique_ptr<C3DWPixelShader> C3DWD3DDevice::CreatePixelShader(int /*reserved*/, const char* direct3DText,
                                                                  const char* /*arbText*/, char* errorBuffer,
                                                                  int errorBufferSize)
{
    return CreateShader<C3DWD3DPixelShader, IDirect3DPixelShader9>(
        direct3DText, errorBuffer, errorBufferSize, "pD3DPixelShaderString == NULL",
        "Assembly ok, but failed to call m_pD3DDevice->CreatePixelShader()",
        [this](const DWORD* code, IDirect3DPixelShader9** shader) {
            return m_device != nullptr && SUCCEEDED(m_device->CreatePixelShader(code, shader));
        });
}

bool C3DWD3DDevice::SetVertexShader(C3DWVertexShader* shader)
{
    auto* own = dynamic_cast<C3DWD3DVertexShader*>(shader);
    if (m_device == nullptr || (shader != nullptr && own == nullptr))
        return false;
    m_device->SetVertexShader(own != nullptr ? own->Direct3DShader() : nullptr);
    return true;
}

bool C3DWD3DDevice::SetPixelShader(C3DWPixelShader* shader)
{
    auto* own = dynamic_cast<C3DWD3DPixelShader*>(shader);
    if (m_device == nullptr || (shader != nullptr && own == nullptr))
        return false;
    m_device->SetPixelShader(own != nullptr ? own->Direct3DShader() : nullptr);
    return true;
}

bool C3DWD3DDevice::SetVertexShaderConstants(int firstRegister, const float* data, int registerCount)
{
    return m_device != nullptr && data != nullptr && firstRegister >= 0 && registerCount >= 0 &&
           SUCCEEDED(m_device->SetVertexShaderConstantF(static_cast<UINT>(firstRegister), data,
                                                        static_cast<UINT>(registerCount)));
}

bool C3DWD3DDevice::SetPixelShaderConstants(int firstRegister, const float* data, int registerCount)
{
    return m_device != nullptr && data != nullptr && firstRegister >= 0 && registerCount >= 0 &&
           SUCCEEDED(m_device->SetPixelShaderConstantF(static_cast<UINT>(firstRegister), data,
                                                       static_cast<UINT>(registerCount)));
}

bool C3DWD3DDevice::SupportsTexture3D() const
{
    return true;
}

std::unique_ptr<C3DWTexture3D> C3DWD3DDevice::CreateTexture3D(int width, int height, int depth, TextureFormat format)
{
    return C3DWD3DTexture3D::Create(*this, width, height, depth, format);
}

std::unique_ptr<C3DWTexture> C3DWD3DDevice::CreateTexture(int width, int height, TextureFormat format)
{
    return C3DWD3DTexture::Create(*this, width, height, format);
}

bool C3DWD3DDevice::SetTexture(int stage, C3DWTexture* texture)
{
    auto* own = dynamic_cast<C3DWD3DTexture*>(texture);
    if (m_device == nullptr || stage < 0 || (texture != nullptr && own == nullptr))
        return false;
    m_device->SetTexture(static_cast<DWORD>(stage), own != nullptr ? own->Direct3DTexture() : nullptr);
    return true;
}

bool C3DWD3DDevice::SetTexture3D(int stage, C3DWTexture3D* texture)
{
    auto* own = dynamic_cast<C3DWD3DTexture3D*>(texture);
    if (m_device == nullptr || stage < 0 || (texture != nullptr && own == nullptr))
        return false;
    m_device->SetTexture(static_cast<DWORD>(stage), own != nullptr ? own->Direct3DTexture() : nullptr);
    return true;
}

bool C3DWD3DDevice::SetTextureFilter(int /*stage*/, int /*minFilter*/, int /*magFilter*/, int /*mipFilter*/)
{
    // Every stage keeps the linear filters it was given at creation.
    return true;
}

} // namespace kestrel
