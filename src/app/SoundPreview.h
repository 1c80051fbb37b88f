#pragma once

#include "sound/DecodedSound.h"
#include "sound/Waveform.h"

#include <QAudioDevice>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class QLabel;
class QPushButton;
class QSlider;

namespace kestrel {

class CompressedSoundDecoder;
class SoundPlayback;
class WaveformView;

/// The preview of a sound entry: its waveform with a marker at the position played, a line
/// naming its format, rate, channels and length, Play/Pause/Stop and a position slider. WAV
/// entries are decoded here and played from their samples; MP3 entries are played by Qt
/// Multimedia from the entry's bytes while their waveform is decoded in the background.
/// Without a sound output the picture and format still show and Play is disabled.
class SoundPreview : public QWidget
{
    Q_OBJECT

public:
    /// The output to play on; a null device means there is none.
    using OutputFinder = std::function<QAudioDevice()>;

    explicit SoundPreview(QWidget* parent = nullptr);
    ~SoundPreview() override;

    /// Shows the entry `name` holding `bytes`. False when they cannot be shown as a sound (a
    /// damaged WAV): Note() then says why and the caller shows the bytes another way.
    bool Show(std::string_view name, std::string_view bytes);
    /// Stops playing and lets the sound go, as when another entry is selected.
    void Clear();
    /// Stops playing and rewinds to the start.
    void Stop();
    /// Moves the position (milliseconds from the start), playing on from there if playing.
    void Seek(std::int64_t ms);

    /// A remark for the status bar: why a sound cannot be shown or played (empty when none).
    const QString& Note() const { return m_note; }
    QString FormatLine() const;
    /// The samples shown (for an MP3, once decoded).
    const DecodedSound& Sound() const { return m_sound; }
    const QImage& Picture() const { return m_picture; }
    /// The size and colours the picture was drawn with.
    WaveformStyle PictureStyle() const { return m_style; }
    std::int64_t Position() const { return m_positionMs; }
    std::int64_t Duration() const { return m_durationMs; }
    bool IsPlaying() const { return m_ticker.isActive(); }
    /// Test seam: where the output device comes from (the system's default output unless set).
    void SetOutputFinder(OutputFinder finder) { m_findOutput = std::move(finder); }

signals:
    /// Note() changed after Show() returned (a background decode or the output failed).
    void NoteChanged();

protected:
    /// Space plays and pauses.
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool ShowWav(std::string_view bytes);
    void ShowCompressed(std::string_view name, std::string_view bytes);
    void OnCompressedDecoded();
    void SetSound(DecodedSound sound);
    void SetNote(const QString& note);
    QString LengthText() const;
    void RenderPicture();
    void Play();
    void Pause();
    void OnEnded(const QString& error);
    std::int64_t Clamped(std::int64_t ms) const;
    void Tick();
    void ShowPosition();
    void UpdateButtons();

    OutputFinder m_findOutput;
    QAudioDevice m_output;
    WaveformView* m_waveform;
    QLabel* m_format;
    QPushButton* m_play;
    QPushButton* m_pause;
    QPushButton* m_stop;
    QSlider* m_slider;
    QLabel* m_time;
    QTimer m_ticker;
    std::unique_ptr<SoundPlayback> m_playback;
    std::unique_ptr<CompressedSoundDecoder> m_decoder;
    DecodedSound m_sound;
    WaveformStyle m_style;
    QImage m_picture;
    QString m_note;
    std::int64_t m_positionMs = 0;
    std::int64_t m_durationMs = 0;
};

/// "m:ss" of a time in milliseconds, counting whole seconds.
QString MinutesSeconds(std::int64_t ms);

} // namespace kestrel
