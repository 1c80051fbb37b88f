#include "app/CQuartoView.h"

#include "app/AppContext.h"
#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "app/IniProblemPane.h"
#include "app/PreviewBar.h"
#include "app/RawTextView.h"
#include "app/SharedPreviewDevice.h"
#include "app/SoundPreview.h"
#include "app/StringTableView.h"
#include "app/StructureMenuController.h"
#include "render/C3DWTexture.h"
#include "w3d/C3DWMesh.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace kestrel {

CQuartoView::CQuartoView(AppContext& context, ArchiveDocument& document, QWidget* parent)
    : QWidget(parent), m_context(context), m_document(document)
{
    setObjectName(QStringLiteral("quartoView"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(100, 100);

    m_raw = new RawTextView(this);
    m_raw->hide();

    // Table edits pass the same edit-mode gate as text edits and land in the entry at once.
    m_strings = new StringTableView(
        [this](std::string_view bytes) { return m_document.ActivateEditMode() && m_document.WriteSelectedEntry(bytes, this); },
        this);
    m_strings->hide();

    m_sound = new SoundPreview(this);
    m_sound->hide();
    connect(m_sound, &SoundPreview::NoteChanged, this, [this] {
        if (m_mode == PreviewMode::Sound)
            SetStatusNote(m_sound->Note());
    });

    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QStringLiteral("editControl"));
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setCenterOnScroll(false);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    m_edit->setFont(font);
    m_edit->hide();
    SetUpTextEditing();

    m_bar = new PreviewBar(this);
    m_bar->hide();
    connect(m_bar, &PreviewBar::SaveRequested, this, &CQuartoView::SaveAsPng);
    connect(m_bar, &PreviewBar::AnimationChosen, this, &CQuartoView::ChooseAnimation);
    connect(m_bar, &PreviewBar::FrameChosen, this, [this](int frame) {
        m_bar->SetPlaying(false);
        ShowAnimationFrame(frame);
    });
    connect(m_bar, &PreviewBar::PlayingChanged, this, [this](bool playing) {
        if (playing) {
            m_playStartFrame = m_animationFrame;
            m_playClock.start();
        }
    });

    m_timer.setInterval(TimerIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CQuartoView::OnTimer);
    connect(&document, &ArchiveDocument::Updated, this, &CQuartoView::OnUpdate);
}

CQuartoView::~CQuartoView()
{
    m_timer.stop();
    // The view's texture and model go before the device they came from.
    ReleasePreviewObjects();
    if (m_viewCounted)
        m_context.device.DetachView();
}

void CQuartoView::OnInitialUpdate()
{
    SetUpDevice();
}

bool CQuartoView::IsTextReadOnly() const
{
    return ShowsText() && m_edit->isReadOnly();
}

void CQuartoView::SetMode(PreviewMode mode)
{
    m_mode = mode;
    UpdateTimer();
}

void CQuartoView::OnUpdate(const QObject* sender)
{
    if (sender == this)
        return;
    m_edit->hide();
    m_problems->Stop();
    m_structureMenu->SetActive(false);
    m_raw->hide();
    m_raw->Clear();
    m_strings->hide();
    // Playing on after another entry is selected would leave a sound no control can stop.
    m_sound->hide();
    m_sound->Clear();
    ReleasePreviewObjects();
    SetMode(PreviewMode::RawText);
    SetStatusNote(QString());
    m_hasPreview = false;

    const int selected = m_document.SelectedEntry();
    if (selected >= 0 && selected < m_document.EntryCount()) {
        const std::string& name = m_document.EntryName(selected);
        if (m_document.IsEntryLocked(name)) {
            SetMode(PreviewMode::Locked);
        } else if (const std::optional<std::string_view> bytes = m_document.PreviewBytes()) {
            m_hasPreview = true;
            m_zoom = 1.5f;
            const PreviewChoice choice = ClassifyEntryName(name);
            if (choice.imageFileType && ShowImage(*bytes, *choice.imageFileType)) {
                m_imageFileType = *choice.imageFileType;
                SetMode(PreviewMode::Image);
            }
            else if (choice.mode == PreviewMode::Model && ShowModel(*bytes))
                SetMode(PreviewMode::Model);
            else if (choice.mode == PreviewMode::IniText || choice.mode == PreviewMode::PlainText) {
                SetMode(choice.mode);
                ShowText(*bytes);
            } else if (choice.mode == PreviewMode::StringTable && m_strings->Show(*bytes)) {
                SetMode(PreviewMode::StringTable);
                SetStatusNote(m_strings->Note());
                m_strings->setGeometry(rect());
                m_strings->show();
            } else if (choice.mode == PreviewMode::Sound && ShowSound(name, *bytes)) {
                SetMode(PreviewMode::Sound);
            } else {
                m_raw->SetBytes(*bytes);
                m_raw->show();
            }
        }
    }
    m_caretNamesLabel = CaretLabel().has_value();
    update();
    emit StateChanged();
}

bool CQuartoView::ShowSound(std::string_view name, std::string_view bytes)
{
    const bool shown = m_sound->Show(name, bytes);
    // A sound that cannot be decoded falls back to the raw bytes; the note says why.
    SetStatusNote(m_sound->Note());
    if (shown) {
        m_sound->setGeometry(rect());
        m_sound->show();
    }
    return shown;
}

void CQuartoView::paintEvent(QPaintEvent*)
{
    if (m_mode == PreviewMode::Locked) {
        QPainter painter(this);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, Text(AppString::EntryLocked));
    }
}

void CQuartoView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOutText();
    m_raw->setGeometry(rect());
    m_strings->setGeometry(rect());
    m_sound->setGeometry(rect());
    LayOutSurface();
    RequestRepaint();
}

void CQuartoView::RequestRepaint()
{
    update();
    if (m_mode == PreviewMode::Image || m_mode == PreviewMode::Model)
        DrawFrame();
}

void CQuartoView::keyPressEvent(QKeyEvent* event)
{
    // The keypad steers the model camera and the zoom while held; sampled at every frame.
    if (event->modifiers() & Qt::KeypadModifier) {
        m_heldKeys.insert(event->key());
        UpdateTimer();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CQuartoView::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        m_heldKeys.remove(event->key());
    UpdateTimer();
    QWidget::keyReleaseEvent(event);
}

void CQuartoView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    UpdateTimer();
}

void CQuartoView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    UpdateTimer();
}

bool CQuartoView::NeedsTimer() const
{
    switch (m_mode) {
    case PreviewMode::Locked: return true; // watches for the external edit to end
    case PreviewMode::Model: return isVisible(); // the camera turns by itself
    case PreviewMode::Image: return isVisible() && !m_heldKeys.isEmpty(); // zoom keys held
    default: return false;
    }
}

void CQuartoView::UpdateTimer()
{
    // Only what changes is repainted: an image shown without a key held needs no timer at all.
    if (NeedsTimer() && !m_timer.isActive())
        m_timer.start();
    else if (!NeedsTimer() && m_timer.isActive())
        m_timer.stop();
}

void CQuartoView::OnTimer()
{
    if (m_mode == PreviewMode::Locked) {
        const int selected = m_document.SelectedEntry();
        if (selected >= 0 && !m_document.IsEntryLocked(m_document.EntryName(selected))) {
            m_document.LoadSelectedEntry();
            OnUpdate(nullptr);
            m_document.UpdateAllViews(this);
        }
        return;
    }
    if (m_mode == PreviewMode::Image || m_mode == PreviewMode::Model)
        DrawFrame();
}

void CQuartoView::SetStatusNote(const QString& note)
{
    m_statusNote = note;
    emit StateChanged();
}

void CQuartoView::FocusPreview()
{
    if (ShowsText() && !m_edit->isHidden())
        m_edit->setFocus();
    else if (m_raw->isVisible())
        m_raw->setFocus();
    else if (m_strings->isVisible())
        m_strings->setFocus();
    else if (m_sound->isVisible())
        m_sound->setFocus();
    else if (m_surfaceWidget && m_surfaceWidget->isVisible())
        m_surfaceWidget->setFocus();
    else
        setFocus();
}

void CQuartoView::CutText()
{
    CompleteText();
    if (ShowsText())
        m_edit->cut();
}

void CQuartoView::CopyText()
{
    CompleteText();
    if (ShowsText())
        m_edit->copy();
}

void CQuartoView::PasteText()
{
    CompleteText();
    if (ShowsText())
        m_edit->paste();
}

} // namespace kestrel
