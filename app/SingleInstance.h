#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Holds the editor's lock for as long as it runs. A crashed editor leaves
// no stuck lock: a lock that no running process holds is taken over,
// whatever its file says.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();

    enum class Result {
        Acquired,
        HeldByRunningEditor,
        Failed,  // the lock file cannot be made (folder missing, not writable, …)
    };
    Result acquire();

    static QString defaultLockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};
