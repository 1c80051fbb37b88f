#pragma once

#include <QWindow>

#include <functional>

namespace kestrel {

/// The window the 3D device draws a preview into. It asks its owner for a frame whenever it is
/// exposed or resized, and hands its key events on, so the keypad camera works while it has the
/// focus.
class PreviewSurface : public QWindow
{
    Q_OBJECT

public:
    PreviewSurface(std::function<void()> draw, std::function<void(QResizeEvent*)> resized,
                   QObject* keyReceiver);

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    std::function<void()> m_draw;
    std::function<void(QResizeEvent*)> m_resized;
    QObject* m_keyReceiver;
};

} // namespace kestrel
