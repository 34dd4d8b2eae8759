#include "app/SingleInstance.h"

#include "core/platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& lockPath)
    : m_path(lockPath)
    , m_lock(std::make_unique<QLockFile>(lockPath))
{
    const QString folder = QFileInfo(lockPath).absolutePath();
    // The data folder holds the user's unsaved schedules: not made where
    // another user could move it away or put theirs in its place.
    m_othersFolder = Platform::folderOthersMayChange(QFileInfo(folder).path());
    if (!m_othersFolder.isEmpty())
        return;
    QDir().mkpath(folder);
    Platform::tightenPrivate(folder, Platform::PrivateKind::Folder);
    // Only a dead owner makes the lock stale, however long the editor runs.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Result SingleInstance::acquire()
{
    // Something that is no folder there makes the lock fail below.
    if (!m_othersFolder.isEmpty())
        return Result::InOthersFolder;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (QFileInfo(folder).isDir() && !Platform::isOursAlone(folder, Platform::PrivateKind::Folder))
        return Result::FolderNotOurs;
    // QLockFile opens and reads whatever is at its path: a folder looks like a
    // lock held for ever, and reading a FIFO blocks for ever.
    if (!Platform::isPlainFileOrNothing(m_path))
        return Result::NotAFile;
    if (!m_lock->tryLock(0) && !takeOverStaleLock()) {
        if (m_lock->error() != QLockFile::LockFailedError)
            return Result::Failed;
        // A lock we may not even open is no editor of ours running.
        return canOpenLockFile() ? Result::HeldByRunningEditor : Result::CannotOpen;
    }
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    return Result::Acquired;
}

bool SingleInstance::takeOverStaleLock()
{
    // QLockFile takes over a lock only when the file names a dead process;
    // a crash before the owner wrote its name leaves an empty file for ever.
    // The owner keeps a system lock on the file for as long as it lives, and
    // removeStaleLockFile() removes the file only when it can take that
    // lock: a live editor is never displaced, any other leftover is.
    return m_lock->error() == QLockFile::LockFailedError && m_lock->removeStaleLockFile() && m_lock->tryLock(0);
}

bool SingleInstance::canOpenLockFile()
{
    // Gone since counts as openable: its holder has just ended.
    m_openError = Platform::openProblem(m_path);
    return m_openError == 0;
}

QString SingleInstance::defaultLockPath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QDir(base).filePath(QStringLiteral("wzqxprog.lock"));
}
