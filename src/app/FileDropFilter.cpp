#include "app/FileDropFilter.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace kestrel {
namespace {

std::vector<std::filesystem::path> LocalFiles(const QMimeData* mime)
{
    std::vector<std::filesystem::path> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths.emplace_back(url.toLocalFile().toStdU16String());
    return paths;
}

} // namespace

FileDropFilter::FileDropFilter(Handler handler, QWidget* window) : QObject(window), m_handler(std::move(handler))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    // Panes that do not take drops pass them up to the window.
    for (QWidget* child : window->findChildren<QWidget*>())
        if (child->acceptDrops())
            child->installEventFilter(this);
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    // Entries dragged out of a list carry files too; dropped back onto Kestrel they are not
    // added again.
    const bool fromKestrel = drop->source() != nullptr;
    std::vector<std::filesystem::path> paths = fromKestrel ? std::vector<std::filesystem::path>{} : LocalFiles(drop->mimeData());
    if (paths.empty())
        return QObject::eventFilter(watched, event);
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        QTimer::singleShot(0, this, [this, paths = std::move(paths)] { m_handler(paths); });
    return true;
}

} // namespace kestrel
