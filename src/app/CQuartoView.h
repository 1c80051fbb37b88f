#pragma once

#include "app/PreviewDispatch.h"
#include "app/TextLineEnds.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QPlainTextEdit;
class QWindow;

namespace kestrel {

struct AppContext;
class ArchiveDocument;
class C3DWMesh;
class C3DWTexture;
class PreviewSurface;
class RawTextView;

/// The preview pane of an archive window. When the document's selected entry changes it
/// decides by the entry's name how to show the bytes: as an image or a turning W3D model drawn
/// through the 3D device all views share, as text in an editor (INI or plain text) whose every
/// change is written back into the entry, or as raw text. A locked entry (out for external
/// editing) shows a notice until the lock ends.
class CQuartoView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int TimerIntervalMs = 10;

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
    bool IsTimerRunning() const { return m_timer.isActive(); }
    /// The widget that holds the 3D window (null without a device).
    QWidget* SurfaceWidget() const { return m_surfaceWidget; }
    QWindow* Surface() const;
    float Zoom() const { return m_zoom; }
    /// Test and screenshot seam: called after each frame is drawn and before it is shown, with
    /// the device's context current (the back buffer then holds the frame).
    void SetFrameInspector(std::function<void()> inspector) { m_frameInspector = std::move(inspector); }
    /// Draws one frame of an image or model preview now.
    void DrawFrame();

    /// Gives the keyboard focus to what shows the entry (the editor, the raw text or the 3D window).
    void FocusPreview();
    void CutText();
    void CopyText();
    void PasteText();
    void RequestRepaint();

signals:
    /// The mode, the read-only state or the note changed.
    void StateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Text modes (CQuartoView_Text.cpp).
    void ShowText(std::string_view bytes);
    void SetEditorText(std::string_view bytes);
    std::string EditorText() const;
    void OnTextChanged();
    void ReplaceTabsWithBlanks();

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
    PreviewSurface* m_surface = nullptr;
    QWidget* m_surfaceWidget = nullptr;
    int m_windowIndex = -1;
    bool m_viewCounted = false;
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
    int m_lastChangePosition = 0;
    bool m_hasPreview = false;
    TextLineEnds m_lineEnds;
    std::string m_shownText; // the editor's text as last written back, for following line ends
    float m_zoom = 1.5f;
};

} // namespace kestrel
