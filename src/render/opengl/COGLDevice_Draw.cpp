// COGLDevice: vertex arrays and drawing.
#include "render/opengl/COGLDevice.h"

#include "render/opengl/COGLIndexBuffer.h"
#include "render/opengl/COGLVertexBuffer.h"

#include <algorithm>
#include <initializer_list>

namespace kestrel {
namespace {

bool PrimitiveMode(PrimitiveType type, GLenum& mode)
{
    switch (type) {
    case PrimitiveType::LineList: mode = GL_LINES; return true;
    case PrimitiveType::LineStrip: mode = GL_LINE_STRIP; return true;
    case PrimitiveType::TriangleList: mode = GL_TRIANGLES; return true;
    case PrimitiveType::TriangleStrip: mode = GL_TRIANGLE_STRIP; return true;
    case PrimitiveType::TriangleFan: mode = GL_TRIANGLE_FAN; return true;
    }
    return false;
}

void SetClientState(GLenum array, bool on)
{
    on ? glEnableClientState(array) : glDisableClientState(array);
}

const void* Address(std::uintptr_t base, int offset)
{
    return reinterpret_cast<const void*>(base + static_cast<std::uintptr_t>(offset));
}

} // namespace

void COGLDevice::SetVertexArrays(std::uintptr_t base, int stride, const VertexLayout& layout, Texturing texturing)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, Address(base, 0));
    SetClientState(GL_NORMAL_ARRAY, layout.hasNormal);
    if (layout.hasNormal)
        glNormalPointer(GL_FLOAT, stride, Address(base, layout.normalOffset));
    // Colours arrive as bytes blue, green, red, alpha; only the BGRA array size reads them so.
    SetClientState(GL_COLOR_ARRAY, layout.hasColour);
    if (layout.hasColour)
        glColorPointer(m_ext.vertexArrayBgra ? GL_BGRA : 4, GL_UNSIGNED_BYTE, stride, Address(base, layout.colourOffset));
    if (m_ext.secondaryColour) {
        SetClientState(GL_SECONDARY_COLOR_ARRAY_EXT, layout.hasSecondary);
        if (layout.hasSecondary) {
            m_ext.secondaryColorPointer(m_ext.vertexArrayBgra ? GL_BGRA : 3, GL_UNSIGNED_BYTE, stride,
                                        Address(base, layout.secondaryOffset));
        }
    }

    const int sets = std::min(layout.texSetCount, m_ext.textureUnits);
    for (int unit = 0; unit < m_ext.textureUnits; ++unit) {
        const bool used = unit < sets;
        SelectUnit(unit);
        SetClientState(GL_TEXTURE_COORD_ARRAY, used);
        if (used) {
            glTexCoordPointer(layout.texSetSize[unit], GL_FLOAT, stride, Address(base, layout.texSetOffset[unit]));
        }
        if (used && texturing != Texturing::Leave)
            glEnable(GL_TEXTURE_2D);
        else if (!used && texturing == Texturing::OnlySets)
            glDisable(GL_TEXTURE_2D);
    }
    SelectUnit(m_activeStage);
}

void COGLDevice::DisableVertexArrays(int texSetCount)
{
    for (GLenum array : std::initializer_list<GLenum>{GL_COLOR_ARRAY, GL_VERTEX_ARRAY, GL_EDGE_FLAG_ARRAY,
                                                      GL_INDEX_ARRAY, GL_NORMAL_ARRAY})
        glDisableClientState(array);
    if (m_ext.secondaryColour)
        glDisableClientState(GL_SECONDARY_COLOR_ARRAY_EXT);
    for (int unit = 0; unit < std::min(texSetCount, m_ext.textureUnits); ++unit) {
        SelectUnit(unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    SelectUnit(m_activeStage);
}

void COGLDevice::UnapplyLeftBuffers()
{
    if (m_appliedVertices != nullptr)
        m_appliedVertices->Unapply();
    if (m_appliedIndices != nullptr)
        m_appliedIndices->Unapply();
    m_appliedVertices = nullptr;
    m_appliedIndices = nullptr;
}

bool COGLDevice::DrawFromMemory(PrimitiveType type, const void* vertices, int vertexCount, int stride,
                                const VertexLayout& layout, Texturing texturing)
{
    GLenum mode = 0;
    if (!m_context || vertices == nullptr || vertexCount < 0 || stride < 1 || !PrimitiveMode(type, mode))
        return false;
    UnapplyLeftBuffers();
    SetVertexArrays(reinterpret_cast<std::uintptr_t>(vertices), stride, layout, texturing);
    glDrawArrays(mode, 0, vertexCount);
    return true;
}

bool COGLDevice::DrawUserPositions(PrimitiveType type, const void* vertices, int vertexCount)
{
    return DrawFromMemory(type, vertices, vertexCount, 12, VertexLayout{}, Texturing::Leave);
}

bool COGLDevice::DrawUserColored(PrimitiveType type, const void* vertices, int vertexCount)
{
    if (!m_context)
        return false;
    for (int stage = 0; stage < m_ext.textureUnits; ++stage)
        SetTexture(stage, nullptr);
    glDisable(GL_LIGHTING);
    return DrawFromMemory(type, vertices, vertexCount, 16, MakeVertexLayout(true, false, false, 0), Texturing::Leave);
}

bool COGLDevice::DrawUserTextured(PrimitiveType type, const void* vertices, int vertexCount)
{
    if (!m_context)
        return false;
    // Previews show texels as they are: point sampling on the texture of stage 0.
    SelectUnit(0);
    m_activeStage = 0;
    glEnable(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    return DrawFromMemory(type, vertices, vertexCount, 20, MakeVertexLayout(false, false, false, 1),
                          Texturing::OnlySets);
}

bool COGLDevice::DrawUser(PrimitiveType type, const void* vertices, int vertexCount, int stride)
{
    return DrawFromMemory(type, vertices, vertexCount, stride, m_userLayout, Texturing::OnlySets);
}

bool COGLDevice::SetVertexFormat(bool colour, bool secondaryColour, bool normal, int texSetCount)
{
    if (texSetCount < 0 || texSetCount > 4)
        return false;
    m_userLayout = MakeVertexLayout(colour, secondaryColour, normal, texSetCount);
    return true;
}

bool COGLDevice::Draw(PrimitiveType type, C3DWVertexBuffer* vertices, int startVertex, int vertexCount)
{
    auto* buffer = dynamic_cast<COGLVertexBuffer*>(vertices);
    GLenum mode = 0;
    if (!m_context || buffer == nullptr || !buffer->IsAttached() || startVertex < 0 || vertexCount < 1 ||
        startVertex > buffer->GetCount() - vertexCount || !PrimitiveMode(type, mode))
        return false;
    UnapplyLeftBuffers();
    buffer->Apply(0);
    glDrawArrays(mode, startVertex, vertexCount);
    buffer->Unapply();
    return true;
}

// Client-memory vertices are read by address, so an index outside the promised range would read
// outside the buffer: such draws are refused rather than trusted.
bool COGLDevice::IndicesInRange(const COGLIndexBuffer& indices, int startIndex, int indexCount, int minIndex,
                                int vertexCount) const
{
    for (int position = startIndex; position < startIndex + indexCount; ++position) {
        const int index = indices.IndexAt(position);
        if (index < minIndex || index >= minIndex + vertexCount)
            return false;
    }
    return true;
}

bool COGLDevice::DrawIndexed(PrimitiveType type, C3DWVertexBuffer* vertices, C3DWIndexBuffer* indices,
                             int baseVertex, int minIndex, int vertexCount, int startIndex, int indexCount)
{
    auto* vertexBuffer = dynamic_cast<COGLVertexBuffer*>(vertices);
    auto* indexBuffer = dynamic_cast<COGLIndexBuffer*>(indices);
    GLenum mode = 0;
    if (!m_context || vertexBuffer == nullptr || indexBuffer == nullptr || !vertexBuffer->IsAttached() ||
        !indexBuffer->IsAttached() || !PrimitiveMode(type, mode))
        return false;
    if (baseVertex < 0 || minIndex < 0 || vertexCount < 1 || startIndex < 0 || indexCount < 1)
        return false;
    // The vertices drawn are base + index, so the base counts against the buffer's size too.
    if (static_cast<long long>(baseVertex) + minIndex + vertexCount > vertexBuffer->GetCount() ||
        static_cast<long long>(startIndex) + indexCount > indexBuffer->GetCount() ||
        !IndicesInRange(*indexBuffer, startIndex, indexCount, minIndex, vertexCount))
        return false;

    UnapplyLeftBuffers();
    vertexBuffer->Apply(baseVertex);
    indexBuffer->Apply();
    m_appliedVertices = vertexBuffer;
    m_appliedIndices = indexBuffer;
    const void* first = indexBuffer->IndexPointer(startIndex);
    if (m_ext.rangedElements) {
        m_ext.drawRangeElements(mode, static_cast<GLuint>(minIndex), static_cast<GLuint>(minIndex + vertexCount - 1),
                                indexCount, GL_UNSIGNED_SHORT, first);
    } else {
        glDrawElements(mode, indexCount, GL_UNSIGNED_SHORT, first);
    }
    return true;
}

} // namespace kestrel
