#include "progfile/OutputLock.h"

#include "progfile/FileErrors.h"
#include "progfile/FilePaths.h"
#include "progfile/ProgramFileFormat.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QThread>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

int g_waitMs = 10000;
// The locks this process holds: a writer inside a command's lock takes none.
QSet<QByteArray> g_held;

// ".NAME.lock" beside the file; a name too long for that is hashed.
QByteArray lockPathFor(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray name = target.mid(slash + 1);
    QByteArray lock = '.' + name + ".lock";
    if (lock.size() > NAME_MAX)
        lock = ".wzqxprog-" + QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex().left(32) + ".lock";
    return folder + lock;
}

bool sameFile(int fd, const QByteArray& path)
{
    struct stat open, named;
    return ::fstat(fd, &open) == 0 && ::lstat(path.constData(), &named) == 0 && open.st_dev == named.st_dev
        && open.st_ino == named.st_ino;
}

// The lock file, made if need be; never followed through a link, never a
// device or pipe.
int openLockFile(const QString& path, const QByteArray& lockPath)
{
    const auto notAFile = [&] {
        return ProgramFileError(QStringLiteral("%1: ロックファイル %2 が通常のファイルではありません。")
                                    .arg(path, QFile::decodeName(lockPath)));
    };
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0 && errno == ELOOP)
        throw notAFile();  // a link there, never followed
    if (fd < 0)
        FileErrors::fail(path, errno);  // where no lock can be made, no file can be written either
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw notAFile();
    }
    return fd;
}

}  // namespace

OutputLock::OutputLock(const QString& path)
{
    if (path == QLatin1String("-"))
        return;
    const FilePaths::Target target = FilePaths::writableTarget(path);
    const QByteArray lockPath = lockPathFor(target.path);
    if (g_held.contains(lockPath))
        return;
    QElapsedTimer waiting;
    waiting.start();
    for (;;) {
        const int fd = openLockFile(path, lockPath);
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The last holder may have removed the file we opened: then the
            // lock is on a file nobody else will find.
            if (sameFile(fd, lockPath)) {
                m_fd = fd;
                m_lockPath = lockPath;
                g_held.insert(lockPath);
                return;
            }
        } else if (errno != EWOULDBLOCK && errno != EINTR) {
            const int error = errno;
            ::close(fd);
            FileErrors::fail(path, error);
        }
        ::close(fd);
        if (waiting.elapsed() >= g_waitMs)
            throw ProgramFileError(QStringLiteral("%1: ほかの書き込みが終わらないため書き込めません。").arg(path));
        QThread::msleep(5);
    }
}

OutputLock::~OutputLock()
{
    if (m_fd < 0)
        return;
    g_held.remove(m_lockPath);
    struct stat info;
    // Only the empty file of ours that we locked is removed.
    if (sameFile(m_fd, m_lockPath) && ::fstat(m_fd, &info) == 0 && info.st_size == 0 && info.st_uid == ::geteuid())
        ::unlink(m_lockPath.constData());
    ::close(m_fd);
}

void OutputLock::setWaitForTesting(int ms)
{
    g_waitMs = ms;
}
