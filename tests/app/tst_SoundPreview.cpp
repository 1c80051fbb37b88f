#include "AppHarness.h"

#include "app/CChildFrame.h"
#include "app/CQuartoView.h"
#include "app/CompressedSoundDecoder.h"
#include "app/SoundPlayback.h"
#include "app/SoundPreview.h"
#include "sound/WavDecoder.h"
#include "sound/WavTestFile.h"
#include "samples/ByteWriter.h"

#include <QAudioFormat>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace kestrel {
namespace {

using test::BigArchiveBuilder;
using test::Bytes8;

/// A 16-bit PCM WAV of a decaying tone, so the waveform's columns differ from each other.
Bytes8 ToneWav(std::uint16_t channels, int frames)
{
    test::WavBytes data;
    for (int frame = 0; frame < frames; ++frame)
        for (int channel = 0; channel < channels; ++channel)
            test::PutLE(data, static_cast<std::uint16_t>(std::lround(30000.0 * std::sin(frame * 0.05 * (channel + 1)) * (frames - frame) / frames)), 2);
    return test::PcmWav(channels, 16, data, 22050);
}

Bytes8 ReadSourceFile(const std::string& path)
{
    const char* source = std::getenv("KESTREL_SOURCE_DIR");
    std::ifstream file(std::string(source ? source : ".") + "/" + path, std::ios::binary);
    return Bytes8(std::istreambuf_iterator<char>(file), {});
}

class SoundPreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = harness.StartOn(BigArchiveBuilder()
                                    .Add("audio\\broken.wav", Bytes8(wav.begin(), wav.begin() + 30))
                                    .Add("audio\\tone.mp3", ReadSourceFile("tests/app/data/tone.mp3"))
                                    .Add("audio\\tone.wav", wav)
                                    .Add("data\\readme.txt", "text"));
        ASSERT_NE(frame, nullptr);
        view = frame->EditorView();
        sound = view->Sound();
        // No test may make a sound, whatever the machine has.
        sound->SetOutputFinder([] { return QAudioDevice(); });
        test::SelectRow(*frame, 2);
        ASSERT_EQ(view->Mode(), PreviewMode::Sound);
    }
    template <typename Widget> Widget* Child(const char* name) { return sound->findChild<Widget*>(QString::fromLatin1(name)); }

    const Bytes8 wav = ToneWav(2, 22050 * 5 / 2);
    test::AppHarness harness;
    CChildFrame* frame = nullptr;
    CQuartoView* view = nullptr;
    SoundPreview* sound = nullptr;
};

TEST_F(SoundPreviewTest, ShowsTheFormatAndTheRenderersWaveformAndDisablesPlayWithoutAnOutput)
{
    EXPECT_TRUE(sound->isVisible());
    EXPECT_EQ(Child<QLabel>("soundFormat")->text(), QStringLiteral("PCM 16-bit, 22050 Hz, stereo, 0:03"));
    EXPECT_EQ(Child<QLabel>("soundTime")->text(), QStringLiteral("0:00 / 0:03"));

    DecodedSound decoded;
    std::string error;
    ASSERT_TRUE(DecodeWav(wav, decoded, error)) << error;
    const WaveformStyle style = sound->PictureStyle();
    const std::vector<std::uint8_t> expected = RenderWaveform(decoded, style);
    const QImage& picture = sound->Picture();
    ASSERT_EQ(picture.size(), QSize(style.width, style.height));
    for (int y = 0; y < picture.height(); ++y)
        ASSERT_EQ(std::memcmp(picture.constScanLine(y), expected.data() + std::size_t(y) * std::size_t(style.width) * 4,
                              std::size_t(style.width) * 4), 0) << "row " << y;

    QPushButton* play = Child<QPushButton>("soundPlay");
    EXPECT_FALSE(play->isEnabled());
    EXPECT_FALSE(play->toolTip().isEmpty());
    EXPECT_TRUE(Child<QSlider>("soundPosition")->isEnabled()); // the position still moves without an output

    test::SelectRow(*frame, 0);
    EXPECT_EQ(view->Mode(), PreviewMode::RawText);
    EXPECT_FALSE(sound->isVisible());
    EXPECT_TRUE(view->StatusNote().contains(QStringLiteral("cannot be played"))) << view->StatusNote().toStdString();
}

TEST_F(SoundPreviewTest, StopAndAnotherSelectionRewind)
{
    Child<QSlider>("soundPosition")->setValue(1500);
    EXPECT_EQ(sound->Position(), 1500);
    EXPECT_EQ(Child<QLabel>("soundTime")->text(), QStringLiteral("0:01 / 0:03"));
    QPushButton* stop = Child<QPushButton>("soundStop");
    ASSERT_TRUE(stop->isEnabled());
    stop->click();
    EXPECT_EQ(sound->Position(), 0);
    EXPECT_EQ(Child<QSlider>("soundPosition")->value(), 0);
    EXPECT_FALSE(stop->isEnabled());

    sound->Seek(99999); // past the end: held at the end
    EXPECT_EQ(sound->Position(), sound->Duration());
    test::SelectRow(*frame, 3);
    EXPECT_EQ(view->Mode(), PreviewMode::PlainText);
    test::SelectRow(*frame, 2);
    EXPECT_EQ(sound->Position(), 0);
}

// tone.mp3: one second of a 500 Hz sine at half of full scale, 16 kHz mono, 32 kbit/s.
TEST_F(SoundPreviewTest, AnMp3IsDecodedInTheBackgroundForItsWaveform)
{
    test::SelectRow(*frame, 1);
    ASSERT_EQ(view->Mode(), PreviewMode::Sound);
    ASSERT_TRUE(test::WaitFor([&] { return !sound->Picture().isNull() || !sound->Note().isEmpty(); }, 20000));
    EXPECT_EQ(sound->Note(), QString());
    EXPECT_EQ(Child<QLabel>("soundFormat")->text(), QStringLiteral("MP3, 16000 Hz, mono, 0:01"));
    const auto [low, high] = std::ranges::minmax(sound->Sound().samples);
    EXPECT_NEAR(high, 16384, 1600);
    EXPECT_NEAR(low, -16384, 1600);
    EXPECT_FALSE(Child<QPushButton>("soundPlay")->isEnabled());
}

TEST(SoundConversion, SamplesOfEveryFormatBecome16BitAndSurroundMixesToStereo)
{
    const std::uint8_t u8[] = {0, 255};
    const std::int32_t s32 = 0x12345678;
    const float f32[] = {-1.0f, 4.0f, NAN, 0.5f};
    EXPECT_EQ(ToInt16Sample(&u8[0], QAudioFormat::UInt8), -32768);
    EXPECT_EQ(ToInt16Sample(&u8[1], QAudioFormat::UInt8), 32512);
    EXPECT_EQ(ToInt16Sample(&s32, QAudioFormat::Int32), 0x1234);
    EXPECT_EQ(ToInt16Sample(&f32[0], QAudioFormat::Float), -32767);
    EXPECT_EQ(ToInt16Sample(&f32[1], QAudioFormat::Float), 32767) << "clamped";
    EXPECT_EQ(ToInt16Sample(&f32[2], QAudioFormat::Float), 0);
    EXPECT_EQ(ToInt16Sample(&f32[3], QAudioFormat::Float), 16384);

    DecodedSound surround;
    surround.sampleRate = 8000;
    surround.channels = 3;
    surround.samples = {300, 10, 100, -3000, 20, 1000};
    const QByteArray pcm = PlayablePcm(surround);
    ASSERT_EQ(pcm.size(), 4 * 2);
    std::vector<std::int16_t> stereo(4);
    std::memcpy(stereo.data(), pcm.constData(), 8);
    EXPECT_EQ(stereo, (std::vector<std::int16_t>{200, 10, -1000, 20})) << "channels 0 and 2 on the left";
}

} // namespace
} // namespace kestrel
