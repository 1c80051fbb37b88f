#include "app/PreviewSurface.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace kestrel {

PreviewSurface::PreviewSurface(std::function<void()> draw, std::function<void(QResizeEvent*)> resized,
                               QObject* keyReceiver)
    : m_draw(std::move(draw)), m_resized(std::move(resized)), m_keyReceiver(keyReceiver)
{
    setSurfaceType(QSurface::OpenGLSurface);
}

void PreviewSurface::exposeEvent(QExposeEvent*)
{
    if (isExposed())
        m_draw();
}

void PreviewSurface::resizeEvent(QResizeEvent* event)
{
    m_resized(event);
}

void PreviewSurface::keyPressEvent(QKeyEvent* event)
{
    QCoreApplication::sendEvent(m_keyReceiver, event);
}

void PreviewSurface::keyReleaseEvent(QKeyEvent* event)
{
    QCoreApplication::sendEvent(m_keyReceiver, event);
}

} // namespace kestrel
