#include "app/SoundPlayback.h"

#include "sound/DecodedSound.h"

#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSink>
#include <QMediaPlayer>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace kestrel {

int PlayableChannels(const DecodedSound& sound)
{
    return std::clamp(sound.channels, 1, 2);
}

QByteArray PlayablePcm(const DecodedSound& sound)
{
    if (sound.channels <= 2) {
        QByteArray pcm(static_cast<qsizetype>(sound.samples.size() * sizeof(std::int16_t)), Qt::Uninitialized);
        if (!sound.samples.empty())
            std::memcpy(pcm.data(), sound.samples.data(), static_cast<std::size_t>(pcm.size()));
        return pcm;
    }
    // Outputs do not all take surround layouts, and a preview needs only to be heard.
    const auto channels = static_cast<std::size_t>(sound.channels);
    const std::size_t frames = sound.samples.size() / channels;
    std::vector<std::int16_t> stereo(frames * 2);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        std::int32_t sums[2] = {0, 0};
        for (std::size_t channel = 0; channel < channels; ++channel)
            sums[channel % 2] += sound.samples[frame * channels + channel];
        const auto counts = std::array<std::int32_t, 2>{static_cast<std::int32_t>((channels + 1) / 2), static_cast<std::int32_t>(channels / 2)};
        stereo[frame * 2] = static_cast<std::int16_t>(sums[0] / counts[0]);
        stereo[frame * 2 + 1] = static_cast<std::int16_t>(sums[1] / counts[1]);
    }
    return QByteArray(reinterpret_cast<const char*>(stereo.data()), static_cast<qsizetype>(stereo.size() * sizeof(std::int16_t)));
}

PcmPlayback::PcmPlayback(const QAudioDevice& device, const DecodedSound& sound, QObject* parent)
    : SoundPlayback(parent), m_pcm(PlayablePcm(sound)), m_sampleRate(sound.sampleRate),
      m_frameBytes(PlayableChannels(sound) * static_cast<int>(sizeof(std::int16_t)))
{
    m_buffer.setBuffer(&m_pcm);
    m_buffer.open(QIODevice::ReadOnly);
    QAudioFormat format;
    format.setSampleRate(sound.sampleRate);
    format.setChannelCount(PlayableChannels(sound));
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = std::make_unique<QAudioSink>(device, format);
    connect(m_sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState && m_buffer.atEnd()) {
            m_startMs = Position();
            m_sink->stop();
            emit Ended(QString());
        } else if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError) {
            emit Ended(tr("The sound output stopped (error %1).").arg(static_cast<int>(m_sink->error())));
        }
    });
}

PcmPlayback::~PcmPlayback()
{
    // The sink reads the buffer until it stops; it must stop before the buffer goes.
    m_sink->disconnect(this);
    m_sink->stop();
}

void PcmPlayback::Play()
{
    if (m_sink->state() == QAudio::SuspendedState)
        m_sink->resume();
    else if (m_sink->state() != QAudio::ActiveState)
        Restart();
}

void PcmPlayback::Pause()
{
    if (m_sink->state() == QAudio::ActiveState || m_sink->state() == QAudio::IdleState)
        m_sink->suspend();
}

void PcmPlayback::Stop()
{
    m_sink->stop();
    m_startMs = 0;
}

void PcmPlayback::Seek(std::int64_t ms)
{
    const bool playing = m_sink->state() == QAudio::ActiveState || m_sink->state() == QAudio::IdleState;
    m_sink->stop();
    m_startMs = ms;
    if (playing)
        Restart();
}

std::int64_t PcmPlayback::Position() const
{
    if (m_sink->state() == QAudio::StoppedState)
        return m_startMs;
    return m_startMs + (m_sink->processedUSecs() - m_processedAtStartUs) / 1000;
}

void PcmPlayback::Restart()
{
    m_sink->stop();
    m_buffer.seek(ByteOffsetOf(m_startMs));
    m_sink->start(&m_buffer);
    // Whether a sink counts from zero again after a restart is the backend's choice.
    m_processedAtStartUs = m_sink->processedUSecs();
}

std::int64_t PcmPlayback::ByteOffsetOf(std::int64_t ms) const
{
    // Whole frames only: starting inside a frame would swap the channels or split a sample.
    const std::int64_t frame = ms * m_sampleRate / 1000;
    return std::clamp<std::int64_t>(frame * m_frameBytes, 0, m_pcm.size());
}

MediaPlayback::MediaPlayback(const QAudioDevice& device, const QByteArray& bytes, const QString& name, QObject* parent)
    : SoundPlayback(parent), m_bytes(bytes), m_player(new QMediaPlayer(this))
{
    m_buffer.setBuffer(&m_bytes);
    m_buffer.open(QIODevice::ReadOnly);
    m_player->setAudioOutput(new QAudioOutput(device, m_player));
    m_player->setSourceDevice(&m_buffer, QUrl::fromLocalFile(name));
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia)
            emit Ended(QString());
    });
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString& message) { emit Ended(message); });
}

MediaPlayback::~MediaPlayback()
{
    // The player reads the buffer, a member that goes before the player's turn as a child comes.
    m_player->disconnect(this);
    delete m_player;
}

void MediaPlayback::Play()
{
    m_player->play();
}

void MediaPlayback::Pause()
{
    m_player->pause();
}

void MediaPlayback::Stop()
{
    m_player->stop();
    m_player->setPosition(0);
}

void MediaPlayback::Seek(std::int64_t ms)
{
    m_player->setPosition(ms);
}

std::int64_t MediaPlayback::Position() const
{
    return m_player->position();
}

} // namespace kestrel
