#pragma once
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

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

    // Starts listening; false when the socket cannot be made (the editor
    // then runs without the channel).
    bool listen();

    // Sends `path` to the running editor and waits until it has taken it.
    // False when no editor answers.
    bool send(const QString& path) const;

    QString serverName() const { return m_serverName; }

signals:
    void fileReceived(const QString& path);

private:
    void takeConnection();
    void readPath(QLocalSocket* socket);

    QString m_serverName;
    QLocalServer* m_server = nullptr;
};
