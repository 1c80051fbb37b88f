#pragma once

#include <QObject>

#include <filesystem>
#include <functional>
#include <vector>

class QWidget;

namespace kestrel {

/// Takes drops of local files and folders onto a window and all its panes, including panes
/// that take drops of their own (a text editor would otherwise insert the file's name as text).
/// The handler runs after the drop has finished, so it may open dialogs.
class FileDropFilter : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(const std::vector<std::filesystem::path>& paths)>;

    FileDropFilter(Handler handler, QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler m_handler;
};

} // namespace kestrel
