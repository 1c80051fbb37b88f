#pragma once

#include "app/PreviewCamera.h"
#include "app/PreviewDispatch.h"
#include "app/TextLineEnds.h"
#include "w3d/W3DAnimationLookup.h"
#include "ini/TextSearch.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QPlainTextEdit;
class QWindow;

namespace kestrel {

struct AppContext;
class ArchiveDocument;
class C3DWMesh;
class C3DWTexture;
class IniProblemPane;
class PreviewBar;
class PreviewSurface;
class RawTextView;
class SoundPreview;
class StringTableView;
class StructureMenuController;
class TextWriteBack;

/// The preview pane of an archive window. When the document's selected entry changes it
/// decides by the entry's name how to show the bytes: as an image or a turning W3D model drawn
/// through the 3D device all views share, as text in an editor (INI or plain text) whose every
/// change is written back into the entry, as a string table, as a sound to play, or as raw text. A locked entry (out for external
/// editing) shows a notice until the lock ends.
class CQuartoView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int TimerIntervalMs = 10;
    /// Text entries with a longer line are shown read-only (by the raw view).
    static constexpr std::size_t MaxEditableLineLength = 20000;

    CQuartoView(AppContext& context, ArchiveDocument& document, QWidget* parent = nullptr);
    ~CQuartoView() override;

    /// Sets up the 3D device for this view (the first view creates it, later ones attach).
    void OnInitialUpdate();
    /// Shows the document's selected entry anew, unless the change came from this view.
    void OnUpdate(const QObject* sender);

    PreviewMode Mode() const { return m_mode; }
    bool ShowsText() const { return m_mode == PreviewMode::IniText || m_mode == PreviewMode::PlainText; }
    bool IsTextReadOnly() const;
    /// A remark about the shown entry for the status bar (empty when there is none).
    const QString& StatusNote() const { return m_statusNote; }
    QPlainTextEdit* EditControl() const { return m_edit; }
    RawTextView* RawView() const { return m_raw; }
    StringTableView* StringTable() const { return m_strings; }
    SoundPreview* Sound() const { return m_sound; }
    bool IsTimerRunning() const { return m_timer.isActive(); }
    /// The widget that holds the 3D window (null without a device).
    QWidget* SurfaceWidget() const { return m_surfaceWidget; }
    QWindow* Surface() const;
    /// Images: the camera's distance; models: how many times the distance that frames the model.
    float Zoom() const { return m_zoom; }
    /// Test and screenshot seam: called after each frame is drawn and before it is shown, with
    /// the device's context current (the back buffer then holds the frame).
    void SetFrameInspector(std::function<void()> inspector) { m_frameInspector = std::move(inspector); }
    /// The 3D window is a native window, which the window system keeps above every archive
    /// window the multi-document area draws: while another archive window overlaps this one
    /// from above, it is hidden.
    void SetSurfaceCovered(bool covered);
    /// Draws one frame of an image or model preview now.
    void DrawFrame();
    /// The strip under an image or model: saving as PNG, the model's animations.
    PreviewBar* Bar() const { return m_bar; }
    /// The animations offered for the shown model, and the one playing (-1 for none).
    const std::vector<ArchiveAnimation>& Animations() const { return m_animations; }
    int AnimationIndex() const { return m_animationIndex; }
    /// The animation frame the model is shown in.
    int AnimationFrame() const { return m_animationFrame; }

    /// Gives the keyboard focus to what shows the entry (the editor, the raw text or the 3D window).
    void FocusPreview();
    /// A large text arrives in the editor over a few turns of the event loop; this puts the
    /// rest in now (whatever changes or reads the editor's whole text calls it first).
    void CompleteText();
    void CutText();
    void CopyText();
    void PasteText();
    /// Selects the next match, searching from one character past the selection's start;
    /// without one the selection stays and the result is false.
    bool FindText(const TextSearch& search);
    /// Replaces the next match from the selection's start, or with `all` every match from the
    /// start of the text, each written back; needs edit mode. The number of replacements.
    int ReplaceText(const TextSearch& search, const QString& replacement, bool all);
    QString SelectedText() const;
    void RequestRepaint();
    /// The problems of the shown INI text, listed under it.
    IniProblemPane& Problems() const { return *m_problems; }
    /// Scrolls line `line` (counted from 0) of the shown text into view and selects it.
    void ShowLine(std::uint64_t line);
    /// The structure menu of INI entries (right-button release in the text).
    StructureMenuController& StructureMenu() const { return *m_structureMenu; }
    /// The string-table label the caret's line names in an INI text, if any.
    std::optional<std::string> CaretLabel() const;

signals:
    /// The mode, the read-only state, the note or whether the caret's line names a label changed.
    void StateChanged();
    /// "Go to label" was chosen in the text's own menu.
    void GoToLabelRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Text modes (CQuartoView_Text.cpp).
    void SetUpTextEditing();
    void ShowText(std::string_view bytes);
    bool ShowLongLinesRaw(std::string_view bytes);
    void SetEditorText(std::string_view bytes);
    void OnTextChanged();
    void ReplaceTabsWithBlanks(int position, int added);
    bool StartsTextChange(QObject* watched, QEvent* event) const;
    void SelectText(int start, int length);
    void StartProblemChecks();
    /// The editor over the view, with the problem list under it when there are problems.
    void LayOutText();

    // 3D modes (CQuartoView_3D.cpp).
    void SetUpDevice();
    bool ShowImage(std::string_view bytes, ImageFileType type);
    bool ShowModel(std::string_view bytes);
    void ReleasePreviewObjects();
    void ShowSurface();
    void ApplyHeldKeys();
    void DrawImage();
    void DrawModel();
    void SetModelCamera();
    void ShowFrame();
    void OnSurfaceResized();
    void LayOutSurface();

    // Animations and saving (CQuartoView_Animation.cpp).
    bool PrepareModel(std::string_view bytes);
    bool LoadShownModel(bool frameCamera);
    void ChooseAnimation(int index);
    void ShowAnimationFrame(int frame);
    void AdvanceAnimation();
    void SaveAsPng();

    /// A sound entry; false (with the reason as the status note) when it cannot be shown as one.
    bool ShowSound(std::string_view name, std::string_view bytes);
    void SetMode(PreviewMode mode);
    void OnTimer();
    void UpdateTimer();
    bool NeedsTimer() const;
    void SetStatusNote(const QString& note);

    AppContext& m_context;
    ArchiveDocument& m_document;
    PreviewMode m_mode = PreviewMode::RawText;
    QPlainTextEdit* m_edit = nullptr;
    RawTextView* m_raw = nullptr;
    StringTableView* m_strings = nullptr;
    SoundPreview* m_sound = nullptr;
    PreviewSurface* m_surface = nullptr;
    QWidget* m_surfaceWidget = nullptr;
    int m_windowIndex = -1;
    bool m_viewCounted = false;
    bool m_surfaceCovered = false;
    std::unique_ptr<C3DWTexture> m_texture;
    std::unique_ptr<C3DWMesh> m_model;
    bool m_manualCamera = false;
    float m_tilt = 0;
    float m_turn = 0;
    std::function<void()> m_frameInspector;
    QTimer m_timer;
    QSet<int> m_heldKeys;
    QString m_statusNote;
    bool m_settingText = false;
    bool m_caretNamesLabel = false;
    int m_lastChangePosition = 0;
    int m_lastChangeAdded = 0;
    bool m_hasPreview = false;
    TextWriteBack* m_writeBack = nullptr;
    StructureMenuController* m_structureMenu = nullptr;
    IniProblemPane* m_problems = nullptr;
    float m_zoom = 1.5f;
    ModelFrame m_modelFrame;
    PreviewBar* m_bar = nullptr;
    ImageFileType m_imageFileType = ImageFileType::TGA;
    std::vector<std::uint8_t> m_modelBytes;
    std::vector<ArchiveAnimation> m_animations;
    int m_animationIndex = -1;
    int m_animationFrame = 0;
    QElapsedTimer m_playClock;
    int m_playStartFrame = 0;
};

} // namespace kestrel
