#pragma once

#include <QAudioDevice>
#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <memory>

class QAudioSink;
class QMediaPlayer;

namespace kestrel {

struct DecodedSound;

/// Plays one sound from memory on an output device. Positions are milliseconds from the start;
/// the owner polls Position() while playing and hears of the end through Ended().
class SoundPlayback : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    /// Starts or resumes playing from the current position.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    /// Stops and rewinds to the start.
    virtual void Stop() = 0;
    virtual void Seek(std::int64_t ms) = 0;
    virtual std::int64_t Position() const = 0;

signals:
    /// Played to the end (the owner decides whether to rewind), or could not go on: `error` then says why.
    void Ended(const QString& error);
};

/// Decoded samples played through a QAudioSink reading the 16-bit PCM from a buffer.
class PcmPlayback : public SoundPlayback
{
    Q_OBJECT

public:
    PcmPlayback(const QAudioDevice& device, const DecodedSound& sound, QObject* parent = nullptr);
    ~PcmPlayback() override;

    void Play() override;
    void Pause() override;
    void Stop() override;
    void Seek(std::int64_t ms) override;
    std::int64_t Position() const override;

private:
    void Restart();
    std::int64_t ByteOffsetOf(std::int64_t ms) const;

    QByteArray m_pcm;
    QBuffer m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
    int m_sampleRate = 0;
    int m_frameBytes = 0;
    /// Where the sink's count of played time started from.
    std::int64_t m_startMs = 0;
    std::int64_t m_processedAtStartUs = 0;
    bool m_paused = false;
};

/// A compressed sound (MP3) handed whole to QMediaPlayer, which decodes it as it plays.
class MediaPlayback : public SoundPlayback
{
    Q_OBJECT

public:
    /// `name` tells the player the format (its extension) when the bytes alone do not.
    MediaPlayback(const QAudioDevice& device, const QByteArray& bytes, const QString& name, QObject* parent = nullptr);
    ~MediaPlayback() override;

    void Play() override;
    void Pause() override;
    void Stop() override;
    void Seek(std::int64_t ms) override;
    std::int64_t Position() const override;

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
    QMediaPlayer* m_player;
};

/// The samples as the output plays them: 16-bit interleaved, at most two channels (more are
/// mixed down, the even ones to the left and the odd ones to the right).
QByteArray PlayablePcm(const DecodedSound& sound);
int PlayableChannels(const DecodedSound& sound);

} // namespace kestrel
