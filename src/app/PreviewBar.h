#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;
class QSlider;
class QToolButton;

namespace kestrel {

/// The strip under an image or model preview: saving what is shown as PNG, and for a model the
/// animations that move it, play/pause and the frame shown.
class PreviewBar : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewBar(QWidget* parent = nullptr);

    /// An image: only saving.
    void ShowForImage();
    /// A model: saving its textures, and the animation controls when `animations` is not empty
    /// (`chosen` is the one shown, -1 for none).
    void ShowForModel(const QStringList& animations, int chosen);
    /// The frames of the animation shown (0 without one).
    void SetFrameCount(int count);
    void SetFrame(int frame);
    bool IsPlaying() const;
    void SetPlaying(bool playing);

signals:
    void SaveRequested();
    /// -1: no animation.
    void AnimationChosen(int index);
    void FrameChosen(int frame);
    void PlayingChanged(bool playing);

private:
    QPushButton* m_save;
    QComboBox* m_animations;
    QToolButton* m_play;
    QSlider* m_frame;
};

} // namespace kestrel
