// The 3D modes of the preview: images and models drawn through the device all views share.
#include "app/CQuartoView.h"

#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "app/PreviewCamera.h"
#include "app/PreviewSurface.h"
#include "app/SharedPreviewDevice.h"

#include "archive/CQuartoDoc.h"
#include "base/IPrompt.h"
#include "image/ImageFileType.h"
#include "render/C3DWDevice.h"
#include "render/C3DWTexture.h"
#include "w3d/C3DWMesh.h"
#include "w3d/W3DPreviewModel.h"

#include <QDateTime>
#include <QResizeEvent>

#include <cmath>
#include <numbers>

namespace kestrel {
namespace {

constexpr std::uint32_t OpaqueBlue = 0xFF0000FF;
constexpr std::uint32_t White = 0xFFFFFFFF;
constexpr float FieldOfView = std::numbers::pi_v<float> / 4;
constexpr float CameraDistance = 1.8f;
constexpr float KeyStep = std::numbers::pi_v<float> / 100;

struct TexturedVertex
{
    float x, y, z, u, v;
};

float Aspect(const QWidget* widget)
{
    return widget->height() > 0 ? static_cast<float>(widget->width()) / static_cast<float>(widget->height()) : 1.0f;
}

} // namespace

void CQuartoView::SetUpDevice()
{
    m_surface = new PreviewSurface([this] { DrawFrame(); }, [this](QResizeEvent*) { OnSurfaceResized(); }, this);
    m_surfaceWidget = QWidget::createWindowContainer(m_surface, this);
    m_surfaceWidget->setObjectName(QStringLiteral("previewSurface"));
    m_surfaceWidget->setFocusPolicy(Qt::StrongFocus);
    m_surfaceWidget->hide();
    m_viewCounted = true;
    m_windowIndex = m_context.device.AttachView(m_surface, m_context.settings.DeviceIsOpenGL());
    if (m_windowIndex < 0)
        m_context.prompt.ShowMessage(TextBytes(AppString::DeviceFailed), TextBytes(AppString::ErrorCaption));
}

QWindow* CQuartoView::Surface() const
{
    return m_surface;
}

void CQuartoView::ReleasePreviewObjects()
{
    m_texture.reset();
    m_model.reset();
    if (m_surfaceWidget)
        m_surfaceWidget->hide();
}

bool CQuartoView::ShowImage(std::string_view bytes, ImageFileType type)
{
    C3DWDevice* device = m_context.device.Device();
    if (!device || m_windowIndex < 0)
        return false;
    m_texture = device->CreateTextureFromMemory(bytes.data(), static_cast<std::int64_t>(bytes.size()), type);
    if (!m_texture)
        return false;
    ShowSurface();
    return true;
}

bool CQuartoView::ShowModel(std::string_view bytes)
{
    C3DWDevice* device = m_context.device.Device();
    if (!device || m_windowIndex < 0)
        return false;
    device->SelectWindow(m_windowIndex);
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.data());
    W3DPreviewModel model = LoadW3DPreviewModel(*device, m_document.Doc(), {first, bytes.size()}, std::string(),
                                                m_context.settings.Textures());
    if (!model.mesh || !model.summary.loaded || model.mesh->Groups().empty())
        return false;
    m_model = std::move(model.mesh);
    m_zoom = model.extent > 0 ? model.extent : 1.0f;
    m_manualCamera = false;
    ShowSurface();
    return true;
}

void CQuartoView::ShowSurface()
{
    m_surfaceWidget->setGeometry(rect());
    m_surfaceWidget->show();
    // The window was created before its container had a place on screen; without this its first
    // showing can keep a position counted from the top-level window instead of the container.
    m_surface->setGeometry(QRect(QPoint(0, 0), m_surfaceWidget->size()));
}

void CQuartoView::OnSurfaceResized()
{
    if (C3DWDevice* device = m_context.device.Device(); device && m_windowIndex >= 0) {
        device->SelectWindow(m_windowIndex);
        device->SetProjection(nullptr);
    }
    DrawFrame();
}

void CQuartoView::ApplyHeldKeys()
{
    for (int key : m_heldKeys) {
        switch (key) {
        case Qt::Key_Plus: m_zoom *= 0.95f; break;
        case Qt::Key_Minus: m_zoom *= 1.05f; break;
        case Qt::Key_8: m_tilt += KeyStep; m_manualCamera = true; break;
        case Qt::Key_2: m_tilt -= KeyStep; m_manualCamera = true; break;
        case Qt::Key_4: m_turn += KeyStep; m_manualCamera = true; break;
        case Qt::Key_6: m_turn -= KeyStep; m_manualCamera = true; break;
        default: break;
        }
    }
}

void CQuartoView::DrawFrame()
{
    C3DWDevice* device = m_context.device.Device();
    const bool drawn = (m_mode == PreviewMode::Image && m_texture) || (m_mode == PreviewMode::Model && m_model);
    if (!device || m_windowIndex < 0 || !drawn || !m_surface->isExposed())
        return;
    device->SelectWindow(m_windowIndex);
    device->EnableAlphaBlending(m_context.settings.AlphaBlending());
    ApplyHeldKeys();
    device->SetClearColor(OpaqueBlue);
    device->Clear(static_cast<std::uint32_t>(ClearColour | ClearDepth));
    if (m_mode == PreviewMode::Image)
        DrawImage();
    else
        DrawModel();
    ShowFrame();
}

void CQuartoView::DrawImage()
{
    C3DWDevice& device = *m_context.device.Device();
    int width = 0;
    int height = 0;
    m_texture->GetDesc(&width, &height, nullptr, nullptr);
    const auto [x0, y0, x1, y1] = FitImageInUnitSquare(width, height);
    // The camera looks down at the square with -y up, so x grows to the left on screen: the
    // image's left edge (u = 0) lies at x1 and its top row (v = 0) at y0. The strip starts
    // top left, bottom left, top right: counter-clockwise on screen, the device's front side.
    const TexturedVertex quad[4] = {{x1, y0, 0, 0, 0}, {x1, y1, 0, 0, 1}, {x0, y0, 0, 1, 0}, {x0, y1, 0, 1, 1}};
    const Matrix16 projection = PerspectiveFovRH(FieldOfView, Aspect(m_surfaceWidget), 0.01f, 100.0f);
    const Matrix16 view = LookAtRH({0.5f, 0.5f, m_zoom}, {0.5f, 0.5f, 0}, {0, -1, 0});
    device.SetTexture(0, m_texture.get());
    device.EnableLighting(false);
    device.SetAmbientLight(White);
    device.SetTransform(TransformType::Projection, projection.data());
    device.SetTransform(TransformType::View, view.data());
    device.BeginScene();
    device.DrawUserTextured(PrimitiveType::TriangleStrip, quad, 4);
    device.EndScene();
}

void CQuartoView::SetModelCamera()
{
    const Vec3 target{0.5f, 0.5f, 0.5f};
    const float distance = CameraDistance * m_zoom;
    Vec3 eye;
    Vec3 up{0, 0, 1};
    if (!m_manualCamera) {
        const float t = static_cast<float>(QDateTime::currentMSecsSinceEpoch() % 86400000) * 0.001f;
        eye = {std::sin(t) * distance, std::cos(t) * distance, distance};
        m_tilt = 0;
        m_turn = std::sin(t) + std::cos(t);
    } else {
        eye = TiltAndTurn({distance, 0, distance}, m_tilt, m_turn);
        up = TiltAndTurn(up, m_tilt, m_turn);
    }
    const Matrix16 view = LookAtRH(eye, target, up);
    m_context.device.Device()->SetTransform(TransformType::View, view.data());
}

void CQuartoView::DrawModel()
{
    C3DWDevice& device = *m_context.device.Device();
    const Matrix16 projection =
        PerspectiveFovRH(FieldOfView, Aspect(m_surfaceWidget), 0.05f, 4.5f * m_zoom + 0.05f);
    device.SetTransform(TransformType::Projection, projection.data());
    LightDesc light;
    light.type = LightType::Directional;
    for (float* colour : {light.ambient, light.diffuse, light.specular})
        std::fill(colour, colour + 4, 1.0f);
    // From above, slightly to one side, so neighbouring faces of the turning model differ in
    // brightness. Direct3D reads the direction the light travels, OpenGL the direction towards
    // the light (the position of a light at infinity): both are given.
    const float towardsLight[3] = {0.3f, 0.5f, 0.8f};
    for (int i = 0; i < 3; ++i) {
        light.direction[i] = -towardsLight[i];
        light.position[i] = towardsLight[i];
    }
    // The camera first: the light is placed through the view transform in force.
    SetModelCamera();
    device.SetLight(0, &light);
    device.EnableLight(0, true);
    device.EnableLighting(true);
    device.BeginScene();
    m_model->Render();
    device.EndScene();
}

void CQuartoView::ShowFrame()
{
    if (m_frameInspector)
        m_frameInspector();
    m_context.device.Device()->Present();
}

} // namespace kestrel
