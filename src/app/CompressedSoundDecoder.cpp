#include "app/CompressedSoundDecoder.h"

#include <QAudioBuffer>
#include <QAudioDecoder>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kestrel {

std::int16_t ToInt16Sample(const void* sample, int sampleFormat)
{
    switch (static_cast<QAudioFormat::SampleFormat>(sampleFormat)) {
    case QAudioFormat::UInt8: {
        std::uint8_t value = 0;
        std::memcpy(&value, sample, sizeof value);
        return static_cast<std::int16_t>((value - 128) * 256);
    }
    case QAudioFormat::Int16: {
        std::int16_t value = 0;
        std::memcpy(&value, sample, sizeof value);
        return value;
    }
    case QAudioFormat::Int32: {
        std::int32_t value = 0;
        std::memcpy(&value, sample, sizeof value);
        return static_cast<std::int16_t>(value >> 16);
    }
    case QAudioFormat::Float: {
        float value = 0;
        std::memcpy(&value, sample, sizeof value);
        if (!std::isfinite(value))
            return 0;
        return static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
    }
    default: return 0;
    }
}

CompressedSoundDecoder::CompressedSoundDecoder(const QByteArray& bytes, QObject* parent)
    : QObject(parent), m_bytes(bytes), m_decoder(new QAudioDecoder(this))
{
    m_buffer.setBuffer(&m_bytes);
    m_buffer.open(QIODevice::ReadOnly);
    m_decoder->setSourceDevice(&m_buffer);
    connect(m_decoder, &QAudioDecoder::bufferReady, this, [this] { Append(m_decoder->read()); });
    connect(m_decoder, &QAudioDecoder::finished, this, [this] {
        if (m_reported)
            return;
        m_reported = true;
        if (!m_sound.samples.empty())
            emit Decoded();
        else
            emit Failed(tr("The sound holds no samples."));
    });
    connect(m_decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this, [this](QAudioDecoder::Error) {
        if (m_reported)
            return;
        m_reported = true;
        emit Failed(m_decoder->errorString());
    });
}

CompressedSoundDecoder::~CompressedSoundDecoder()
{
    // The decoder reads the buffer, a member that goes before the decoder's turn as a child comes.
    m_decoder->disconnect(this);
    m_decoder->stop();
    delete m_decoder;
}

void CompressedSoundDecoder::Start()
{
    m_decoder->start();
}

void CompressedSoundDecoder::Append(const QAudioBuffer& buffer)
{
    const QAudioFormat format = buffer.format();
    const int channels = format.channelCount();
    const int bytesPerSample = format.bytesPerSample();
    if (!buffer.isValid() || channels <= 0 || bytesPerSample <= 0)
        return;
    // Every buffer of one stream has the same layout; a change midway would garble the picture.
    if (m_sound.channels == 0) {
        m_sound.channels = channels;
        m_sound.sampleRate = format.sampleRate();
    } else if (m_sound.channels != channels || m_sound.sampleRate != format.sampleRate()) {
        return;
    }
    const auto* data = buffer.constData<std::uint8_t>();
    const qsizetype samples = buffer.sampleCount();
    m_sound.samples.reserve(m_sound.samples.size() + static_cast<std::size_t>(samples));
    for (qsizetype index = 0; index < samples; ++index)
        m_sound.samples.push_back(ToInt16Sample(data + index * bytesPerSample, format.sampleFormat()));
}

} // namespace kestrel
