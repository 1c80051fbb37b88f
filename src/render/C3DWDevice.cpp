#include "render/C3DWDevice.h"

#include "render/C3DWTexture.h"

#include "base/DebugSink.h"

#include <algorithm>

namespace kestrel {
namespace {

void SetIdentity(float* matrix)
{
    std::fill(matrix, matrix + 16, 0.0f);
    matrix[0] = matrix[5] = matrix[10] = matrix[15] = 1.0f;
}

} // namespace

C3DWDevice::C3DWDevice()
{
    DebugLine("C3DWDevice::C3DWDevice()");
    SetIdentity(m_view);
    SetIdentity(m_world);
    SetIdentity(m_projection);
}

C3DWDevice::~C3DWDevice()
{
    DebugLine("C3DWDevice::~C3DWDevice()");
}

float* C3DWDevice::TransformSlot(TransformType type)
{
    switch (type) {
    case TransformType::Projection: return m_projection;
    case TransformType::View: return m_view;
    case TransformType::World: return m_world;
    }
    return nullptr;
}

const float* C3DWDevice::GetTransform(TransformType type) const
{
    return const_cast<C3DWDevice*>(this)->TransformSlot(type);
}

} // namespace kestrel
