#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& lockPath)
    : m_lock(std::make_unique<QLockFile>(lockPath))
{
    QDir().mkpath(QFileInfo(lockPath).absolutePath());
    // Only a dead owner makes the lock stale, however long the editor runs.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Result SingleInstance::acquire()
{
    if (m_lock->tryLock(0))
        return Result::Acquired;
    // QLockFile takes over a lock only when the file names a dead process;
    // a crash before the owner wrote its name leaves an empty file for ever.
    // The owner keeps a system lock on the file for as long as it lives, and
    // removeStaleLockFile() removes the file only when it can take that
    // lock: a live editor is never displaced, any other leftover is.
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->removeStaleLockFile() && m_lock->tryLock(0))
        return Result::Acquired;
    return m_lock->error() == QLockFile::LockFailedError ? Result::HeldByRunningEditor : Result::Failed;
}

QString SingleInstance::defaultLockPath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QDir(base).filePath(QStringLiteral("wzqxprog.lock"));
}
