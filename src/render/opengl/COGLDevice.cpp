#include "render/opengl/COGLDevice.h"

#include "render/opengl/COGLResource.h"

#include "base/DebugSink.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace kestrel {
namespace {

void ColourToFloats(std::uint32_t colour, float* rgba)
{
    rgba[0] = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>(colour & 0xFF) / 255.0f;
    rgba[3] = static_cast<float>(colour >> 24) / 255.0f;
}

// The pixel format of a window: double-buffered RGB(A) of the requested colour depth, no
// stencil (32-bit depth with a stencil has no double-buffered visual under Xvfb).
QSurfaceFormat SurfaceFormatFor(const DeviceParams& params)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    const bool deep = params.colourBits > 16;
    format.setRedBufferSize(deep ? 8 : 5);
    format.setGreenBufferSize(deep ? 8 : 6);
    format.setBlueBufferSize(deep ? 8 : 5);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(params.depthBits == 24 || params.depthBits == 32 ? params.depthBits : 16);
    format.setStencilBufferSize(0);
    format.setSwapInterval((params.flags & DeviceNoVSync) ? 0 : 1);
    return format;
}

// Default perspective: vertical field of view pi/4, near plane 0.25, far plane 150. The depth
// terms are fixed to the bit so that previews look the same on every machine.
void DefaultPerspective(float* matrix, int width, int height)
{
    const double aspect = height > 0 && width > 0 ? static_cast<double>(width) / height : 1.0;
    const double cot = 1.0 / std::tan(std::numbers::pi / 8.0);
    std::fill(matrix, matrix + 16, 0.0f);
    matrix[0] = static_cast<float>(cot / aspect);
    matrix[5] = static_cast<float>(cot);
    matrix[10] = std::bit_cast<float>(0xBF806D98u);
    matrix[11] = -1.0f;
    matrix[14] = std::bit_cast<float>(0xBF006D98u);
}

// world × view for row vectors, which OpenGL reads (column-major) as view · world.
void Multiply(const float* a, const float* b, float* product)
{
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[4 * row + k] * b[4 * k + column];
            product[4 * row + column] = sum;
        }
    }
}

// Version 1.minor where the program extension is there, 0.0 otherwise; true for the former.
bool ReportShaderVersion(bool available, int minorWhenAvailable, int* major, int* minor)
{
    if (major != nullptr)
        *major = available ? 1 : 0;
    if (minor != nullptr)
        *minor = available ? minorWhenAvailable : 0;
    return available;
}

} // namespace

COGLDevice::COGLDevice(std::vector<std::string> hiddenExtensions) : m_hiddenExtensions(std::move(hiddenExtensions))
{
    DebugLine("COGLDevice created");
}

COGLDevice::~COGLDevice()
{
    DebugLine("COGLDevice destroyed");
    Destroy();
}

bool COGLDevice::BindWindow(const DeviceParams& params)
{
    auto* window = static_cast<QWindow*>(params.window);
    if (window == nullptr) {
        DebugLine("COGLDevice: no HDC found");
        return false;
    }
    if (window->handle() == nullptr) {
        // The pixel format can only be chosen before the native window exists.
        window->setSurfaceType(QSurface::OpenGLSurface);
        window->setFormat(SurfaceFormatFor(params));
        window->create();
        if (window->handle() == nullptr) {
            DebugLine("COGLDevice: no pixel format found");
            return false;
        }
    } else if (!window->supportsOpenGL()) {
        DebugLine("COGLDevice: failed to set pixel format");
        return false;
    }
    m_windows.emplace_back(window);
    return true;
}

bool COGLDevice::CreateContext()
{
    QWindow* window = m_windows.front();
    m_context = std::make_unique<QOpenGLContext>();
    QSurfaceFormat format = window->format();
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    m_context->setFormat(format);
    if (!m_context->create()) {
        DebugLine("COGLDevice: failed to create context");
        return false;
    }
    if (!m_context->makeCurrent(window)) {
        DebugLine("COGLDevice: failed to make current");
        return false;
    }
    m_fallbackSurface = std::make_unique<QOffscreenSurface>();
    m_fallbackSurface->setFormat(m_context->format());
    m_fallbackSurface->create();
    return true;
}

bool COGLDevice::Create(const DeviceParams& params)
{
    Destroy();
    m_params = params;
    m_selectedWindow = 0;
    if (!BindWindow(params))
        return false;
    if (!CreateContext() || !SelectWindow(0)) {
        Destroy();
        return false;
    }

    // Yellow until the first frame: a window that stays yellow has a device that never drew.
    glClearColor(1.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();

    m_ext = DetectExtensions(*m_context, ReadExtensionString(m_hiddenExtensions));
    SetDefaultState();
    SetProjection(nullptr);
    glLoadIdentity();
    return true;
}

void COGLDevice::SetDefaultState()
{
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glFrontFace(GL_CCW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int unit = 0; unit < m_ext.textureUnits; ++unit) {
        m_stages[static_cast<size_t>(unit)] = Stage{};
        SelectUnit(unit);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    SelectUnit(0);
}

bool COGLDevice::MakeCurrentForRelease()
{
    if (!m_context)
        return false;
    if (QOpenGLContext::currentContext() == m_context.get() && m_context->surface() != nullptr)
        return true;
    QWindow* window = SelectedWindow();
    if (window != nullptr && window->handle() != nullptr && m_context->makeCurrent(window))
        return true;
    return m_fallbackSurface && m_fallbackSurface->isValid() && m_context->makeCurrent(m_fallbackSurface.get());
}

bool COGLDevice::Destroy()
{
    if (!m_resources.empty() && MakeCurrentForRelease()) {
        for (COGLResource* resource : m_resources)
            resource->ReleaseGL();
    }
    for (COGLResource* resource : m_resources)
        resource->Detach();
    m_resources.clear();
    m_stages.fill(Stage{});
    m_appliedVertices = nullptr;
    m_appliedIndices = nullptr;
    m_vertexProgram = m_fragmentProgram = 0;
    m_vertexShader = m_pixelShader = nullptr;
    if (m_context)
        m_context->doneCurrent();
    m_context.reset();
    m_fallbackSurface.reset();
    m_windows.clear();
    m_selectedWindow = 0;
    m_ext = COGLExtensions{};
    return true;
}

bool COGLDevice::AddWindow(const DeviceParams& params, int* index)
{
    if (!m_context || !BindWindow(params))
        return false;
    if (index != nullptr)
        *index = static_cast<int>(m_windows.size()) - 1;
    return true;
}

QWindow* COGLDevice::SelectedWindow() const
{
    const auto index = static_cast<size_t>(m_selectedWindow);
    return index < m_windows.size() ? m_windows[index].data() : nullptr;
}

bool COGLDevice::SelectWindow(int index)
{
    if (!m_context || index < 0 || static_cast<size_t>(index) >= m_windows.size())
        return false;
    QWindow* window = m_windows[static_cast<size_t>(index)];
    if (window == nullptr || !m_context->makeCurrent(window)) {
        DebugLine("COGLDevice: failed to make current");
        return false;
    }
    m_selectedWindow = index;
    // The viewport belongs to the context, not to the window it was last set for.
    SetViewportFromWindow();
    return true;
}

void COGLDevice::SetViewportFromWindow()
{
    QWindow* window = SelectedWindow();
    if (!(m_params.flags & DeviceFixedSize) && window != nullptr) {
        const QSize size = window->size() * window->devicePixelRatio();
        m_params.width = size.width();
        m_params.height = size.height();
    }
    glViewport(0, 0, m_params.width, m_params.height);
}

bool COGLDevice::BeginScene()
{
    return true;
}

bool COGLDevice::EndScene()
{
    return true;
}

bool COGLDevice::Present()
{
    QWindow* window = SelectedWindow();
    if (!m_context || window == nullptr)
        return false;
    m_context->swapBuffers(window);
    return true;
}

bool COGLDevice::SetAmbientLight(std::uint32_t colour)
{
    if (!m_context)
        return false;
    float rgba[4];
    ColourToFloats(colour, rgba);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, rgba);
    return true;
}

bool COGLDevice::EnableLighting(bool on)
{
    if (!m_context)
        return false;
    on ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
    return true;
}

bool COGLDevice::EnableLight(int index, bool on)
{
    if (!m_context || index < 0 || index > 7)
        return false;
    const auto light = static_cast<GLenum>(GL_LIGHT0 + index);
    on ? glEnable(light) : glDisable(light);
    return true;
}

bool COGLDevice::SetLight(int index, LightDesc* light)
{
    if (!m_context || light == nullptr || index < 0 || index > 7)
        return false;
    // Lights are placed in world space: the model-view matrix holds only the view meanwhile.
    float savedWorld[16];
    std::copy(m_world, m_world + 16, savedWorld);
    static constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    SetTransform(TransformType::World, kIdentity);

    if (light->type == LightType::Directional)
        light->position[3] = 0.0f;
    else if (light->type == LightType::Point)
        light->spotCutoff = 180.0f;
    const auto id = static_cast<GLenum>(GL_LIGHT0 + index);
    glLightfv(id, GL_AMBIENT, light->ambient);
    glLightfv(id, GL_DIFFUSE, light->diffuse);
    glLightfv(id, GL_SPECULAR, light->specular);
    glLightfv(id, GL_POSITION, light->position);
    glLightfv(id, GL_SPOT_DIRECTION, light->direction);
    glLightf(id, GL_SPOT_EXPONENT, light->spotExponent);
    // A light at infinity has no cone, as in Direct3D; OpenGL would still apply the record's
    // cut-off (0 by default) and leave everything it lights black.
    glLightf(id, GL_SPOT_CUTOFF, light->type == LightType::Directional ? 180.0f : light->spotCutoff);
    glLightf(id, GL_CONSTANT_ATTENUATION, light->constantAttenuation);
    glLightf(id, GL_LINEAR_ATTENUATION, light->linearAttenuation);
    glLightf(id, GL_QUADRATIC_ATTENUATION, light->quadraticAttenuation);

    SetTransform(TransformType::World, savedWorld);
    return true;
}

bool COGLDevice::EnableAlphaBlending(bool on)
{
    if (!m_context)
        return false;
    on ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    return true;
}

bool COGLDevice::SetClearColor(std::uint32_t colour)
{
    if (!m_context)
        return false;
    float rgba[4];
    ColourToFloats(colour, rgba);
    glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
    return true;
}

bool COGLDevice::Clear(std::uint32_t clearFlags)
{
    if (!m_context)
        return false;
    GLbitfield mask = 0;
    if (clearFlags & ClearColour)
        mask |= GL_COLOR_BUFFER_BIT;
    if (clearFlags & ClearDepth)
        mask |= GL_DEPTH_BUFFER_BIT;
    if (mask != 0)
        glClear(mask);
    return true;
}

bool COGLDevice::SetProjection(const float* matrix)
{
    if (!m_context)
        return false;
    SetViewportFromWindow();
    if (matrix != nullptr)
        std::copy(matrix, matrix + 16, m_projection);
    else
        DefaultPerspective(m_projection, m_params.width, m_params.height);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(m_projection);
    glMatrixMode(GL_MODELVIEW);
    return true;
}

bool COGLDevice::SetTransform(TransformType type, const float* matrix)
{
    float* slot = TransformSlot(type);
    if (slot == nullptr || matrix == nullptr)
        return false;
    std::copy(matrix, matrix + 16, slot);
    if (m_context && type == TransformType::Projection) {
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(m_projection);
        glMatrixMode(GL_MODELVIEW);
    } else if (m_context) {
        float modelView[16];
        Multiply(m_world, m_view, modelView);
        glLoadMatrixf(modelView);
    }
    return true;
}

bool COGLDevice::GetVertexShaderVersion(int* major, int* minor)
{
    return ReportShaderVersion(m_ext.vertexPrograms, 0, major, minor);
}

bool COGLDevice::GetPixelShaderVersion(int* major, int* minor)
{
    return ReportShaderVersion(m_ext.fragmentPrograms, 1, major, minor);
}

void COGLDevice::Register(COGLResource* resource)
{
    m_resources.push_back(resource);
}

} // namespace kestrel
