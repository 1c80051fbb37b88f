#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace kestrel {

/// Lets a second start of Kestrel with an archive hand that archive to the instance already
/// running for the same user (file managers start one process per opened file).
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    /// The server name for the current user.
    static QString DefaultServerName();

    /// Sends `path` to a running instance; true when one took it.
    static bool HandOver(const QString& serverName, const QString& path);

    /// Starts listening; `open` receives every path handed over. False when the name cannot be
    /// taken (then files simply open in new processes).
    bool Listen(const QString& serverName, std::function<void(const QString&)> open);

private:
    QLocalServer* m_server = nullptr;
    std::function<void(const QString&)> m_open;
};

} // namespace kestrel
