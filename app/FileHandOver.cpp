#include "app/FileHandOver.h"

#include "core/platform/Platform.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {

constexpr int kTimeoutMs = 5000;
// The sender writes its whole path at once; a connection that has not
// within this time is no sender and only holds a file handle.
constexpr int kMessageMs = 2000;
// A few senders at once are plenty; more are a flood and are turned away
// (a sender tries again), so that they cannot use up the editor's files.
constexpr int kMaxConnections = 4;
// How often the editor looks whether its socket file is still there.
constexpr int kWatchMs = 2000;
// How long a sender keeps trying while the editor is busy or is making
// its socket again.
constexpr int kRetryMs = 5000;
constexpr qint64 kMaxPathBytes = 64 * 1024;
const QByteArray kTaken = QByteArrayLiteral("ok\n");

void drop(QLocalSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}

}  // namespace

FileHandOver::FileHandOver(const QString& lockPath, QObject* parent)
    : QObject(parent)
{
    // Qt makes the runtime folder private to the user (XDG_RUNTIME_DIR, or
    // a 0700 folder of its own when that is not set) and gives none when
    // neither is the user's own.
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
    if (m_serverName.isEmpty() || !Platform::fitsLocalSocketName(m_serverName))
        return false;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &FileHandOver::takeConnections);
        // Whatever removes the socket file (a cleaner of the runtime folder)
        // must not end the hand-over for the rest of the run.
        m_watch = new QTimer(this);
        connect(m_watch, &QTimer::timeout, this, &FileHandOver::listenAgainWhenGone);
        m_watch->start(kWatchMs);
    }
    m_server->close();
    // We hold the lock: a socket file already there was left by a crash.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName)) {
        // What removeServer() could not remove stays: trying again would only fail again.
        m_watch->stop();
        emit cannotListen(m_serverName);
        return false;
    }
    m_socketFile = Platform::identityOf(m_serverName);
    return true;
}

void FileHandOver::listenAgainWhenGone()
{
    if (!m_server->isListening() || Platform::identityOf(m_serverName) != m_socketFile)
        listen();
}

void FileHandOver::takeConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (m_connections == kMaxConnections) {
            drop(socket);
            continue;
        }
        ++m_connections;
        connect(socket, &QObject::destroyed, this, [this] { --m_connections; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readPath(socket); });
        QTimer::singleShot(kMessageMs, socket, [socket] { drop(socket); });
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
            drop(socket);
        return;
    }
    socket->read(end + 1);
    const QString path = QString::fromUtf8(received.left(end));
    socket->write(kTaken);
    socket->disconnectFromServer();
    if (!path.isEmpty())
        emit fileReceived(path);
}

QString FileHandOver::send(const QString& path) const
{
    if (m_serverName.isEmpty())
        return QStringLiteral("ユーザー専用の実行時フォルダ（XDG_RUNTIME_DIR）がありません。");
    const QString socketName = QDir::toNativeSeparators(m_serverName);
    if (!Platform::fitsLocalSocketName(m_serverName))
        return QStringLiteral("受け渡し用のソケット %1 のパスが長すぎます。").arg(socketName);
    QElapsedTimer trying;
    trying.start();
    for (;;) {
        switch (sendOnce(path.toUtf8() + '\0')) {
        case Outcome::Taken:
            return QString();
        case Outcome::NoAnswer:
            return QStringLiteral("起動中のプログラム作成ソフトウェアが応答しません。");
        case Outcome::NotTaken:
            break;
        }
        if (trying.elapsed() >= kRetryMs)
            return QFileInfo::exists(m_serverName)
                ? QStringLiteral("受け渡し用のソケット %1 に接続できません。").arg(socketName)
                : QStringLiteral("受け渡し用のソケット %1 がありません。").arg(socketName);
        QThread::msleep(100);
    }
}

// NotTaken: no editor listens (yet, or again) or it turned us away while
// busy; worth trying again. NoAnswer: it took the message and said nothing.
FileHandOver::Outcome FileHandOver::sendOnce(const QByteArray& message) const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kTimeoutMs))
        return Outcome::NotTaken;
    socket.write(message);
    const bool written = socket.waitForBytesWritten(kTimeoutMs);
    while (written && socket.bytesAvailable() < kTaken.size())
        if (!socket.waitForReadyRead(kTimeoutMs))
            break;
    if (socket.bytesAvailable() >= kTaken.size())
        return socket.read(kTaken.size()) == kTaken ? Outcome::Taken : Outcome::NotTaken;
    return socket.state() == QLocalSocket::ConnectedState ? Outcome::NoAnswer : Outcome::NotTaken;
}
