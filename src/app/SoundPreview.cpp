#include "app/SoundPreview.h"

#include "app/AppStrings.h"
#include "app/CompressedSoundDecoder.h"
#include "app/SoundPlayback.h"
#include "sound/WavDecoder.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kestrel {

/// The waveform picture, drawn at the widget's own size so its bars stay one pixel wide, with a
/// marker at the position; a click moves the position there.
class WaveformView : public QWidget
{
public:
    WaveformView(std::function<void()> resized, std::function<void(double)> clicked, QWidget* parent)
        : QWidget(parent), m_resized(std::move(resized)), m_clicked(std::move(clicked))
    {
        setObjectName(QStringLiteral("soundWaveform"));
        setMinimumSize(64, 32);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void SetPicture(const QImage* picture)
    {
        m_picture = picture;
        update();
    }

    /// The marker's place as a fraction of the length; negative hides it.
    void SetMarker(double fraction)
    {
        m_marker = fraction;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (m_picture && !m_picture->isNull())
            painter.drawImage(0, 0, *m_picture);
        if (m_marker >= 0) {
            const int x = std::clamp(static_cast<int>(std::lround(m_marker * (width() - 1))), 0, width() - 1);
            painter.setPen(palette().color(QPalette::Highlight));
            painter.drawLine(x, 0, x, height() - 1);
        }
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        m_resized();
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && width() > 1)
            m_clicked(std::clamp(event->position().x() / (width() - 1), 0.0, 1.0));
    }

private:
    std::function<void()> m_resized;
    std::function<void(double)> m_clicked;
    const QImage* m_picture = nullptr;
    double m_marker = -1;
};

namespace {

constexpr int TickMs = 30;
constexpr int MinimumPictureSide = 16;

// A WAV with another name is still told by its RIFF header; the other sound entries are MP3.
bool IsCompressed(std::string_view name, std::string_view bytes)
{
    return !IsWavEntryName(name) && bytes.substr(0, 4) != "RIFF";
}

QString ChannelsText(int channels)
{
    if (channels == 1)
        return Text(AppString::SoundChannelsMono);
    if (channels == 2)
        return Text(AppString::SoundChannelsStereo);
    return Text(AppString::SoundChannelsMany).arg(channels);
}

} // namespace

QString MinutesSeconds(std::int64_t ms)
{
    const std::int64_t seconds = std::max<std::int64_t>(ms, 0) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

SoundPreview::SoundPreview(QWidget* parent)
    : QWidget(parent), m_findOutput([] { return QMediaDevices::defaultAudioOutput(); }),
      m_waveform(new WaveformView([this] { RenderPicture(); }, [this](double at) { Seek(std::llround(at * static_cast<double>(m_durationMs))); }, this)),
      m_format(new QLabel(this)), m_play(new QPushButton(Text(AppString::SoundPlay), this)),
      m_pause(new QPushButton(Text(AppString::SoundPause), this)), m_stop(new QPushButton(Text(AppString::SoundStop), this)),
      m_slider(new QSlider(Qt::Horizontal, this)), m_time(new QLabel(this))
{
    setObjectName(QStringLiteral("soundPreview"));
    setFocusPolicy(Qt::StrongFocus);
    m_format->setObjectName(QStringLiteral("soundFormat"));
    m_format->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_play->setObjectName(QStringLiteral("soundPlay"));
    m_pause->setObjectName(QStringLiteral("soundPause"));
    m_stop->setObjectName(QStringLiteral("soundStop"));
    m_slider->setObjectName(QStringLiteral("soundPosition"));
    m_time->setObjectName(QStringLiteral("soundTime"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_play);
    controls->addWidget(m_pause);
    controls->addWidget(m_stop);
    controls->addWidget(m_slider, 1);
    controls->addWidget(m_time);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_waveform, 1);
    layout->addWidget(m_format);
    layout->addLayout(controls);

    connect(m_play, &QPushButton::clicked, this, &SoundPreview::Play);
    connect(m_pause, &QPushButton::clicked, this, &SoundPreview::Pause);
    connect(m_stop, &QPushButton::clicked, this, &SoundPreview::Stop);
    connect(m_slider, &QSlider::valueChanged, this, [this](int ms) { Seek(ms); });
    m_ticker.setInterval(TickMs);
    connect(&m_ticker, &QTimer::timeout, this, &SoundPreview::Tick);
    Clear();
}

SoundPreview::~SoundPreview() = default;

bool SoundPreview::Show(std::string_view name, std::string_view bytes)
{
    Clear();
    m_output = m_findOutput();
    if (IsCompressed(name, bytes)) {
        ShowCompressed(name, bytes);
        return true;
    }
    return ShowWav(bytes);
}

bool SoundPreview::ShowWav(std::string_view bytes)
{
    DecodedSound sound;
    std::string error;
    if (!DecodeWav({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, sound, error)) {
        SetNote(Text(AppString::SoundUndecodable).arg(QString::fromStdString(error)));
        return false;
    }
    // What the decoder worked around (a cut-short data chunk) is worth a word, not a refusal.
    QStringList notes;
    for (const std::string& note : sound.notes)
        notes << QString::fromStdString(note);
    SetNote(notes.join(QStringLiteral("; ")));
    SetSound(std::move(sound));
    if (!m_output.isNull()) {
        m_playback = std::make_unique<PcmPlayback>(m_output, m_sound);
        connect(m_playback.get(), &SoundPlayback::Ended, this, &SoundPreview::OnEnded);
    }
    UpdateButtons();
    return true;
}

void SoundPreview::ShowCompressed(std::string_view name, std::string_view bytes)
{
    const QByteArray entryBytes(bytes.data(), static_cast<qsizetype>(bytes.size()));
    m_format->setText(QStringLiteral("MP3, %1").arg(Text(AppString::SoundDecoding)));
    m_decoder = std::make_unique<CompressedSoundDecoder>(entryBytes);
    connect(m_decoder.get(), &CompressedSoundDecoder::Decoded, this, &SoundPreview::OnCompressedDecoded);
    connect(m_decoder.get(), &CompressedSoundDecoder::Failed, this, [this](const QString& message) {
        m_format->setText(QStringLiteral("MP3"));
        SetNote(Text(AppString::SoundUndecodable).arg(message));
        emit NoteChanged();
    });
    m_decoder->Start();
    if (!m_output.isNull()) {
        m_playback = std::make_unique<MediaPlayback>(m_output, entryBytes, FromBytes(name));
        connect(m_playback.get(), &SoundPlayback::Ended, this, &SoundPreview::OnEnded);
    }
    UpdateButtons();
}

void SoundPreview::OnCompressedDecoded()
{
    DecodedSound sound = m_decoder->Sound();
    sound.formatName = "MP3";
    SetSound(std::move(sound));
    UpdateButtons();
}

void SoundPreview::SetSound(DecodedSound sound)
{
    m_sound = std::move(sound);
    m_durationMs = m_sound.sampleRate > 0 ? std::llround(m_sound.Seconds() * 1000.0) : 0;
    m_format->setText(FormatLine());
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setRange(0, static_cast<int>(std::min<std::int64_t>(m_durationMs, INT32_MAX)));
    }
    RenderPicture();
    ShowPosition();
}

void SoundPreview::Clear()
{
    m_ticker.stop();
    m_playback.reset();
    m_decoder.reset();
    m_sound = DecodedSound();
    m_note.clear();
    m_positionMs = 0;
    m_durationMs = 0;
    m_picture = QImage();
    m_waveform->SetPicture(nullptr);
    m_format->clear();
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setRange(0, 0);
    }
    ShowPosition();
    UpdateButtons();
}

QString SoundPreview::FormatLine() const
{
    if (m_sound.sampleRate <= 0)
        return m_format->text();
    return QStringLiteral("%1, %2 Hz, %3, %4")
        .arg(QString::fromStdString(m_sound.formatName))
        .arg(m_sound.sampleRate)
        .arg(ChannelsText(m_sound.channels))
        .arg(LengthText());
}

QString SoundPreview::LengthText() const
{
    // Rounded, so a sound of 2.6 seconds is not called two seconds long.
    return MinutesSeconds(m_durationMs + 500);
}

void SoundPreview::SetNote(const QString& note)
{
    m_note = note;
}

void SoundPreview::RenderPicture()
{
    if (m_sound.samples.empty() || m_sound.channels <= 0)
        return;
    m_style.width = std::max(m_waveform->width(), MinimumPictureSide);
    m_style.height = std::max(m_waveform->height(), MinimumPictureSide);
    if (m_picture.width() == m_style.width && m_picture.height() == m_style.height)
        return;
    const std::vector<std::uint8_t> rgba = RenderWaveform(m_sound, m_style);
    const auto rowBytes = static_cast<std::size_t>(m_style.width) * 4;
    if (rgba.size() != rowBytes * static_cast<std::size_t>(m_style.height))
        return;
    m_picture = QImage(m_style.width, m_style.height, QImage::Format_RGBA8888);
    for (int y = 0; y < m_style.height; ++y)
        std::memcpy(m_picture.scanLine(y), rgba.data() + rowBytes * static_cast<std::size_t>(y), rowBytes);
    m_waveform->SetPicture(&m_picture);
}

void SoundPreview::Play()
{
    if (!m_playback)
        return;
    if (m_positionMs >= m_durationMs && m_durationMs > 0)
        m_positionMs = 0; // played to the end: Play starts over
    m_playback->Seek(m_positionMs);
    m_playback->Play();
    m_ticker.start();
    UpdateButtons();
}

void SoundPreview::Pause()
{
    if (m_playback)
        m_playback->Pause();
    Tick();
    m_ticker.stop();
    UpdateButtons();
}

void SoundPreview::Stop()
{
    m_ticker.stop();
    if (m_playback)
        m_playback->Stop();
    m_positionMs = 0;
    ShowPosition();
    UpdateButtons();
}

void SoundPreview::Seek(std::int64_t ms)
{
    m_positionMs = Clamped(ms);
    if (m_playback)
        m_playback->Seek(m_positionMs);
    ShowPosition();
    UpdateButtons();
}

void SoundPreview::OnEnded(const QString& error)
{
    Stop();
    if (!error.isEmpty()) {
        SetNote(Text(AppString::SoundOutputFailed).arg(error));
        emit NoteChanged();
    }
}

std::int64_t SoundPreview::Clamped(std::int64_t ms) const
{
    // An MP3 can play before its length is known from decoding it.
    return m_durationMs > 0 ? std::clamp<std::int64_t>(ms, 0, m_durationMs) : std::max<std::int64_t>(ms, 0);
}

void SoundPreview::Tick()
{
    if (m_playback)
        m_positionMs = Clamped(m_playback->Position());
    ShowPosition();
}

void SoundPreview::ShowPosition()
{
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(static_cast<int>(std::min<std::int64_t>(m_positionMs, INT32_MAX)));
    }
    m_time->setText(QStringLiteral("%1 / %2").arg(MinutesSeconds(m_positionMs), LengthText()));
    const bool marked = (IsPlaying() || m_positionMs > 0) && m_durationMs > 0;
    m_waveform->SetMarker(marked ? static_cast<double>(m_positionMs) / static_cast<double>(m_durationMs) : -1.0);
}

void SoundPreview::UpdateButtons()
{
    const bool playable = m_playback != nullptr;
    m_play->setEnabled(playable && !IsPlaying());
    m_play->setToolTip(m_output.isNull() ? Text(AppString::SoundNoOutput) : QString());
    m_pause->setEnabled(playable && IsPlaying());
    m_stop->setEnabled(IsPlaying() || m_positionMs > 0);
    m_slider->setEnabled(m_durationMs > 0);
}

void SoundPreview::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && m_playback) {
        IsPlaying() ? Pause() : Play();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SoundPreview::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (IsPlaying())
        Pause();
}

} // namespace kestrel
