#include "app/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace kestrel {
namespace {

constexpr int timeoutMs = 2000;

} // namespace

QString SingleInstance::DefaultServerName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QDir::home().dirName();
    return QStringLiteral("kestrel-") + user;
}

bool SingleInstance::HandOver(const QString& serverName, const QString& path)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    QDataStream stream(&message, QIODevice::WriteOnly);
    stream << QFileInfo(path).absoluteFilePath();
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The running instance answers once it has the path, so a crash there is not taken as success.
    return socket.waitForReadyRead(timeoutMs) && socket.read(1) == "1";
}

bool SingleInstance::Listen(const QString& serverName, std::function<void(const QString&)> open)
{
    m_open = std::move(open);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(serverName)) {
        // A socket left behind by a crashed instance blocks the name; nobody answers on it.
        QLocalServer::removeServer(serverName);
        if (!m_server->listen(serverName))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                QDataStream stream(socket);
                stream.startTransaction();
                QString path;
                stream >> path;
                if (!stream.commitTransaction())
                    return; // wait for the rest of the message
                socket->write("1");
                socket->flush();
                // Opening may ask a question whose event loop sees the other start hang up and
                // deletes this socket while it is still delivering this signal: open afterwards.
                QMetaObject::invokeMethod(this, [this, path] { m_open(path); }, Qt::QueuedConnection);
            });
        }
    });
    return true;
}

} // namespace kestrel
