// The model preview's animations (an animation entry shows the model it moves; a model entry
// offers the animations of its skeleton) and saving what the preview shows as PNG.
#include "app/CQuartoView.h"

#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/ArchiveDocument.h"
#include "app/PreviewBar.h"
#include "app/SharedPreviewDevice.h"

#include "archive/CQuartoDoc.h"
#include "base/AtomicFile.h"
#include "base/IPrompt.h"
#include "image/ConvertToPNG.h"
#include "render/C3DWDevice.h"
#include "w3d/C3DWMesh.h"
#include "w3d/W3DTextureExport.h"
#include "w3d/W3DTextureFinder.h"

#include <QFileDialog>

#include <filesystem>

namespace kestrel {
namespace {

std::vector<std::uint8_t> ToBytes(std::string_view bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), reinterpret_cast<const std::uint8_t*>(bytes.data() + bytes.size())};
}

} // namespace

bool CQuartoView::PrepareModel(std::string_view bytes)
{
    m_modelBytes = ToBytes(bytes);
    m_animations.clear();
    m_animationIndex = -1;
    W3DAnimationLoad load = LoadW3DAnimation(m_modelBytes);
    if (!load.error.empty()) {
        SetStatusNote(QString::fromStdString("This animation is damaged: " + load.error));
        return false;
    }
    if (!load.animation)
        return true;
    // An animation entry: show the model its skeleton belongs to, moving.
    const std::string hierarchy = load.animation->hierarchyName;
    auto model = FindModelForHierarchy(DocumentModelFileReader(m_document.Doc()), hierarchy);
    if (!model) {
        SetStatusNote(QString::fromStdString("No model found for the skeleton " + hierarchy + " of this animation"));
        return false;
    }
    m_modelBytes = std::move(model->bytes);
    m_animations.push_back(ArchiveAnimation{m_document.EntryName(m_document.SelectedEntry()), std::move(*load.animation)});
    m_animationIndex = 0;
    return true;
}

bool CQuartoView::LoadShownModel(bool frameCamera)
{
    C3DWDevice* device = m_context.device.Device();
    if (!device)
        return false;
    device->SelectWindow(m_windowIndex);
    const W3DAnimation* animation = m_animationIndex >= 0 ? &m_animations[static_cast<size_t>(m_animationIndex)].animation : nullptr;
    W3DPreviewModel model = LoadW3DPreviewModel(*device, m_document.Doc(), m_modelBytes, std::string(),
                                                m_context.settings.Textures(), animation);
    if (!model.mesh || !model.summary.loaded || model.mesh->Groups().empty())
        return false;
    std::string note = ModelStatusText(model);
    if (animation)
        note += "; animation " + animation->name + ", " + std::to_string(animation->frameCount) + " frames";
    m_model = std::move(model.mesh);
    if (frameCamera) {
        m_modelFrame = model.summary.bounds ? FrameBounds(model.summary.bounds->min, model.summary.bounds->max) : ModelFrame{};
        m_zoom = 1.0f;
        // A model entry offers the animations of its skeleton found beside it in the archive.
        if (m_animations.empty() && !model.summary.hierarchyName.empty())
            m_animations = FindAnimationsForHierarchy(m_document.Doc().GetArchive(), model.summary.hierarchyName);
    }
    QStringList names;
    for (const auto& entry : m_animations)
        names.append(QString::fromStdString(entry.animation.name));
    m_bar->ShowForModel(names, m_animationIndex);
    m_bar->SetFrameCount(animation ? static_cast<int>(animation->frameCount) : 0);
    m_bar->SetPlaying(animation != nullptr);
    m_animationFrame = 0;
    m_playStartFrame = 0;
    m_playClock.start();
    SetStatusNote(QString::fromStdString(note));
    return true;
}

void CQuartoView::ChooseAnimation(int index)
{
    if (m_mode != PreviewMode::Model || index == m_animationIndex || index >= static_cast<int>(m_animations.size()))
        return;
    m_animationIndex = index;
    LoadShownModel(false);
    ShowSurface();
    DrawFrame();
}

void CQuartoView::ShowAnimationFrame(int frame)
{
    if (!m_model || m_animationIndex < 0)
        return;
    const auto& animation = m_animations[static_cast<size_t>(m_animationIndex)].animation;
    const auto frames = static_cast<int>(std::max<std::uint32_t>(animation.frameCount, 1));
    m_animationFrame = ((frame % frames) + frames) % frames;
    // Long animations of large models keep fewer frames than the file: show the nearest kept one.
    m_model->SetFrameIndex(static_cast<int>(static_cast<std::int64_t>(m_animationFrame) * m_model->FrameCount() / frames));
    m_bar->SetFrame(m_animationFrame);
}

void CQuartoView::AdvanceAnimation()
{
    if (m_animationIndex < 0 || !m_bar->IsPlaying())
        return;
    const float rate = m_animations[static_cast<size_t>(m_animationIndex)].animation.frameRate;
    ShowAnimationFrame(m_playStartFrame + static_cast<int>(static_cast<float>(m_playClock.elapsed()) * rate / 1000.0f));
}

void CQuartoView::SaveAsPng()
{
    IPrompt& prompt = m_context.prompt;
    if (m_mode == PreviewMode::Image) {
        const auto bytes = m_document.PreviewBytes();
        const std::filesystem::path entry(m_document.EntryName(m_document.SelectedEntry()));
        const QString suggested = QString::fromStdString(entry.stem().string() + ".png");
        const QString target = QFileDialog::getSaveFileName(this, QStringLiteral("Save Image as PNG"), suggested,
                                                            QStringLiteral("PNG images (*.png)"));
        if (target.isEmpty() || !bytes)
            return;
        std::vector<std::uint8_t> png;
        std::string error;
        if (ConvertToPNG(ToBytes(*bytes), m_imageFileType, png, error)) {
            AtomicFileWriter writer(std::filesystem::path(target.toStdString()));
            if (writer.Begin() && writer.Write(png.data(), png.size()) && writer.Commit())
                return;
            error = writer.Error();
        }
        prompt.ShowMessage("The image was not saved: " + error, target.toStdString());
        return;
    }
    if (m_mode != PreviewMode::Model || !m_model)
        return;
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Save Textures as PNG into"));
    if (folder.isEmpty())
        return;
    CQuartoDoc& doc = m_document.Doc();
    W3DTextureFinder finder(nullptr, {&doc.GetArchive(), &doc.GetGameTextureArchive(), &doc.GetBaseGameTextureArchive()},
                            doc.GetInstallationFolder().string());
    const auto results = ExportTexturesAsPNG(finder, MaterialTextureNames(m_model->Materials()), folder.toStdString());
    size_t saved = 0;
    std::string failures;
    for (const auto& result : results) {
        if (!result.file.empty())
            ++saved;
        else
            failures += "\n" + result.name + ": " + result.error;
    }
    prompt.ShowMessage(std::to_string(saved) + " of " + std::to_string(results.size()) + " textures saved as PNG" + failures,
                       folder.toStdString());
}

} // namespace kestrel
