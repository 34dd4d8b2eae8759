#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Holds the editor's lock for as long as it runs. A crashed editor leaves
// no stuck lock: a lock whose process is gone is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();

    // False when another editor holds the lock.
    bool acquire();

    static QString defaultLockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};
