#pragma once

#include "sound/DecodedSound.h"

#include <QBuffer>
#include <QByteArray>
#include <QObject>

class QAudioBuffer;
class QAudioDecoder;

namespace kestrel {

/// Decodes a compressed sound (MP3) held in memory through Qt Multimedia, in the background, into
/// 16-bit samples for the waveform picture. Reports once: Decoded() with the whole sound, or
/// Failed() with the decoder's message.
class CompressedSoundDecoder : public QObject
{
    Q_OBJECT

public:
    explicit CompressedSoundDecoder(const QByteArray& bytes, QObject* parent = nullptr);
    ~CompressedSoundDecoder() override;

    void Start();
    const DecodedSound& Sound() const { return m_sound; }

signals:
    void Decoded();
    void Failed(const QString& message);

private:
    void Append(const QAudioBuffer& buffer);

    QByteArray m_bytes;
    QBuffer m_buffer;
    QAudioDecoder* m_decoder;
    DecodedSound m_sound;
    bool m_reported = false;
};

/// One decoded sample of any of Qt's sample formats as a 16-bit one.
std::int16_t ToInt16Sample(const void* sample, int sampleFormat);

} // namespace kestrel
