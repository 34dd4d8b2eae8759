#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Holds the editor's lock for as long as it runs. A crashed editor leaves
// no stuck lock: a lock that no running process holds is taken over,
// whatever its file says. The lock and its folder (the data folder) are
// the user's alone (0600, 0700).
class SingleInstance
{
public:
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();

    enum class Result {
        Acquired,
        HeldByRunningEditor,
        Failed,    // the lock file cannot be made (folder missing, not writable, …)
        NotAFile,  // something else is at the lock path (a folder, a FIFO, a link)
    };
    Result acquire();

    static QString defaultLockPath();

private:
    bool takeOverStaleLock();

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
