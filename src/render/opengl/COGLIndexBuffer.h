#pragma once

#include "render/C3DWIndexBuffer.h"
#include "render/opengl/COGLBufferStorage.h"
#include "render/opengl/COGLResource.h"

#include <cstdint>

namespace kestrel {

class COGLIndexBuffer : public C3DWIndexBuffer, public COGLResource
{
public:
    COGLIndexBuffer(COGLDevice& device, std::uint32_t usage, int indexCount, bool useBufferObject);
    ~COGLIndexBuffer() override;

    bool SetData(const void* data, int reserved, int byteOffset, int byteCount) override;
    int GetSize() const override;
    int GetCount() const override;
    int GetIndexSize() const override;
    bool GetData(void* destination, int byteOffset, int byteCount) const override;
    bool Apply() override;
    bool Unapply() override;
    void ReleaseGL() override;

    /// The index at `position`, from the system-memory copy.
    std::uint16_t IndexAt(int position) const;
    /// What to hand to the element drawing call for indices from `startIndex` on, once applied.
    const void* IndexPointer(int startIndex) const;

private:
    int m_count;
    COGLBufferStorage m_storage;
    std::uintptr_t m_base = 0;
};

} // namespace kestrel
