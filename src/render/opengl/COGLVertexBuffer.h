#pragma once

#include "render/C3DWVertexBuffer.h"
#include "render/RenderTypes.h"
#include "render/opengl/COGLBufferStorage.h"
#include "render/opengl/COGLResource.h"

#include <cstdint>

namespace kestrel {

class COGLVertexBuffer : public C3DWVertexBuffer, public COGLResource
{
public:
    COGLVertexBuffer(COGLDevice& device, std::uint32_t usage, std::uint32_t formatFlags, int vertexCount, int stride,
                     bool useBufferObject);
    ~COGLVertexBuffer() override;

    bool SetData(const void* data, int reserved, int byteOffset, int byteCount) override;
    int GetSize() const override;
    int GetStride() const override;
    int GetCount() const override;
    bool GetData(void* destination, int byteOffset, int byteCount) const override;
    bool Apply(int firstVertex) override;
    bool Unapply() override;
    void ReleaseGL() override;

private:
    std::uint32_t m_usage;
    VertexLayout m_layout;
    int m_stride;
    int m_count;
    COGLBufferStorage m_storage;
};

} // namespace kestrel
