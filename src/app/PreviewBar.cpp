#include "app/PreviewBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

namespace kestrel {

PreviewBar::PreviewBar(QWidget* parent)
    : QWidget(parent), m_save(new QPushButton(this)), m_animations(new QComboBox(this)), m_play(new QToolButton(this)),
      m_frame(new QSlider(Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("previewBar"));
    m_save->setObjectName(QStringLiteral("savePng"));
    m_animations->setObjectName(QStringLiteral("animations"));
    m_play->setObjectName(QStringLiteral("play"));
    m_frame->setObjectName(QStringLiteral("frame"));
    m_play->setCheckable(true);
    m_play->setText(QStringLiteral("Play"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_save);
    layout->addWidget(m_animations, 1);
    layout->addWidget(m_play);
    layout->addWidget(m_frame, 2);
    connect(m_save, &QPushButton::clicked, this, &PreviewBar::SaveRequested);
    connect(m_animations, &QComboBox::currentIndexChanged, this, [this](int index) { emit AnimationChosen(index - 1); });
    connect(m_play, &QToolButton::toggled, this, [this](bool on) {
        m_play->setText(on ? QStringLiteral("Pause") : QStringLiteral("Play"));
        emit PlayingChanged(on);
    });
    connect(m_frame, &QSlider::sliderMoved, this, &PreviewBar::FrameChosen);
}

void PreviewBar::ShowForImage()
{
    m_save->setText(QStringLiteral("Save Image as PNG..."));
    for (QWidget* control : {static_cast<QWidget*>(m_animations), static_cast<QWidget*>(m_play), static_cast<QWidget*>(m_frame)})
        control->hide();
    show();
}

void PreviewBar::ShowForModel(const QStringList& animations, int chosen)
{
    m_save->setText(QStringLiteral("Save Textures as PNG..."));
    const QSignalBlocker blocker(m_animations);
    m_animations->clear();
    m_animations->addItem(QStringLiteral("No animation"));
    m_animations->addItems(animations);
    m_animations->setCurrentIndex(chosen + 1);
    m_animations->setVisible(!animations.isEmpty());
    show();
}

void PreviewBar::SetFrameCount(int count)
{
    m_play->setVisible(count > 0);
    m_frame->setVisible(count > 0);
    m_frame->setRange(0, std::max(0, count - 1));
}

void PreviewBar::SetFrame(int frame)
{
    const QSignalBlocker blocker(m_frame);
    m_frame->setValue(frame);
}

bool PreviewBar::IsPlaying() const
{
    return m_play->isChecked();
}

void PreviewBar::SetPlaying(bool playing)
{
    m_play->setChecked(playing);
}

} // namespace kestrel
