#pragma once
#include <QObject>
#include <QString>
#include <utility>

class QLocalServer;
class QLocalSocket;
class QTimer;

// The channel through which a second `wzqxprog FILE` hands FILE to the
// editor that holds the lock. Only the lock holder listens, so a socket
// left by a crashed editor is removed before listening. The socket lives in
// the user's runtime folder and is named after the lock, so each user (and
// each data folder) has its own.
class FileHandOver : public QObject
{
    Q_OBJECT
public:
    explicit FileHandOver(const QString& lockPath, QObject* parent = nullptr);
    ~FileHandOver() override;

    // Starts listening, and listens again whenever the socket file is gone
    // or replaced; false when the socket cannot be made: the editor runs on
    // without it, and once there was a usable name, says so by cannotListen
    // and stops trying.
    bool listen();

    // Sends `path` to the running editor and waits until it has taken it.
    // Returns why it could not, in Japanese for the box; "" once taken.
    QString send(const QString& path) const;

    QString serverName() const { return m_serverName; }

signals:
    void fileReceived(const QString& path);
    // Something that is no socket holds its name (a folder, say).
    void cannotListen(const QString& socketPath);

private:
    enum class Outcome { Taken, NotTaken, NoAnswer };
    Outcome sendOnce(const QByteArray& message) const;
    void listenAgainWhenGone();
    void takeConnections();
    void readPath(QLocalSocket* socket);

    QString m_serverName;
    QLocalServer* m_server = nullptr;
    QTimer* m_watch = nullptr;
    std::pair<quint64, quint64> m_socketFile{};  // device and inode of the socket made
    int m_connections = 0;
};
