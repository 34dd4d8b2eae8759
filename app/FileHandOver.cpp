#include "app/FileHandOver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int kTimeoutMs = 5000;
constexpr int kConnectAttempts = 10;
constexpr qint64 kMaxPathBytes = 64 * 1024;
const QByteArray kTaken = QByteArrayLiteral("ok\n");

}  // namespace

FileHandOver::FileHandOver(const QString& lockPath, QObject* parent)
    : QObject(parent)
{
    // Qt makes the runtime folder private to the user (XDG_RUNTIME_DIR, or
    // a 0700 folder of its own when that is not set).
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return;
    const QByteArray lockHash =
        QCryptographicHash::hash(QDir::cleanPath(lockPath).toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    m_serverName = QDir(runtime).filePath(QStringLiteral("wzqxprog-%1.sock").arg(QString::fromLatin1(lockHash)));
}

FileHandOver::~FileHandOver() = default;

bool FileHandOver::listen()
{
    if (m_serverName.isEmpty())
        return false;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock: a socket file already there was left by a crash.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName)) {
        qWarning("%s: %s", qPrintable(m_serverName), qPrintable(m_server->errorString()));
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &FileHandOver::takeConnection);
    return true;
}

void FileHandOver::takeConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readPath(socket); });
        readPath(socket);
    }
}

// The absolute path in UTF-8, ended by a NUL (the one byte no path holds).
// The answer goes back before the file is read, so that the sender can end
// while the editor asks its questions.
void FileHandOver::readPath(QLocalSocket* socket)
{
    const QByteArray received = socket->peek(kMaxPathBytes);
    const qsizetype end = received.indexOf('\0');
    if (end < 0) {
        if (received.size() >= kMaxPathBytes)
            socket->abort();
        return;
    }
    socket->read(end + 1);
    const QString path = QString::fromUtf8(received.left(end));
    socket->write(kTaken);
    socket->disconnectFromServer();
    if (!path.isEmpty())
        emit fileReceived(path);
}

bool FileHandOver::send(const QString& path) const
{
    if (m_serverName.isEmpty())
        return false;
    QLocalSocket socket;
    // The editor listens just after taking the lock; one that has only
    // just started may not be listening yet.
    for (int attempt = 0;; ++attempt) {
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(kTimeoutMs))
            break;
        if (attempt == kConnectAttempts)
            return false;
        QThread::msleep(100);
    }
    socket.write(path.toUtf8() + '\0');
    if (!socket.waitForBytesWritten(kTimeoutMs))
        return false;
    while (socket.bytesAvailable() < kTaken.size())
        if (!socket.waitForReadyRead(kTimeoutMs))
            return false;
    return socket.read(kTaken.size()) == kTaken;
}
