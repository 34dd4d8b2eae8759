#include "core/platform/Platform.h"

#include "core/platform/Launch.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <optional>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace Platform {

namespace {

// The kernel's own limit on links followed while resolving one path.
constexpr int kMaxLinks = 40;

bool g_outputClosed = false;

enum class Use { Read, Write };

// Bytes of a name that are not UTF-8 reach us as U+FFFD, and opening or
// creating that text would reach a file of another name.
void requireUsableName(const QString& path)
{
    if (path.contains(QChar::ReplacementCharacter))
        refuse(path, QStringLiteral("UTF-8 ではない文字を含むため、このファイル名は使えません。"));
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

bool statOf(const QByteArray& path, struct stat& info)
{
    return ::stat(path.isEmpty() ? "." : path.constData(), &info) == 0;
}

// World- or group-writable and sticky: everybody's folder, such as /tmp,
// where each keeps their own files.
bool isSharedStickyFolder(const struct stat& folder)
{
    return (folder.st_mode & S_ISVTX) && (folder.st_mode & (S_IWOTH | S_IWGRP));
}

bool plantedInStickyFolder(const QByteArray& folder, const struct stat& link)
{
    struct stat info;
    return statOf(folder, info) && isSharedStickyFolder(info) && link.st_uid != ::geteuid()
        && link.st_uid != info.st_uid;
}

std::optional<QByteArray> linkText(const QByteArray& link)
{
    QByteArray text(PATH_MAX, '\0');
    const ssize_t length = ::readlink(link.constData(), text.data(), size_t(text.size()));
    if (length < 0)
        return std::nullopt;
    text.truncate(length);
    return text;
}

QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// A link is followed for a read unless another user planted it in a shared
// sticky folder not theirs (the kernel's protected-symlinks rule, kept
// whatever the system's setting), so that nobody can make us publish a
// file of ours they may not read. A write follows only our own and root's
// links, anywhere: whoever owns a link decides where our write goes.
void checkLink(const QString& path, Use use, const QByteArray& folder, const QByteArray& link, const struct stat& info)
{
    if (use == Use::Read) {
        if (plantedInStickyFolder(folder, info))
            refuse(path, QStringLiteral("共有フォルダーにある他のユーザーのリンクのため読み込めません。"));
        return;
    }
    if (info.st_uid != ::geteuid() && info.st_uid != 0)
        refuse(path,
               QStringLiteral("%1 は他のユーザー（%2）のリンクのため、たどって書き込めません。")
                   .arg(QFile::decodeName(link), userName(info.st_uid)));
}

struct Walk {
    QByteArray path;  // free of links
    bool exists = false;
    struct stat info = {};
    bool lastNameFromLink = false;
    bool throughProcess = false;  // a link of /proc on the way (/dev/stdout)
    bool missing = false;         // the last name does not exist
};

// Follows `path` one component at a time, as the kernel does, checking
// every link on the way for `use`. Throws for a refused link; for a write
// also for a missing folder on the way or a loop, where a read stops and
// leaves them to opening the file.
Walk walk(const QString& path, Use use)
{
    const QByteArray given = QFile::encodeName(path);
    QList<QByteArray> pending = given.split('/');
    Walk walk;
    walk.path = given.startsWith('/') ? "/" : "";
    int links = 0;
    while (!pending.isEmpty()) {
        const QByteArray name = pending.takeFirst();
        if (name.isEmpty() || name == ".")
            continue;
        const QByteArray candidate = joined(walk.path, name);
        struct stat info;
        if (::lstat(candidate.constData(), &info) != 0) {
            if (use == Use::Read)
                return walk;
            if (errno != ENOENT || !pending.isEmpty())
                fail(path, errno);
            walk.path = candidate;
            walk.missing = true;
            return walk;
        }
        if (!S_ISLNK(info.st_mode)) {
            walk.path = candidate;
            continue;
        }
        checkLink(path, use, walk.path, candidate, info);
        const std::optional<QByteArray> text = linkText(candidate);
        if (use == Use::Read && (!text || links == kMaxLinks))
            return walk;
        if (++links > kMaxLinks)
            refuse(path, QStringLiteral("リンクをたどれないため書き込めません。"));
        if (!text)
            fail(path, errno);
        walk.throughProcess = walk.throughProcess || candidate.startsWith("/proc/");
        walk.lastNameFromLink = walk.lastNameFromLink || pending.isEmpty();
        pending = text->split('/') + pending;
        if (text->startsWith('/'))
            walk.path = "/";
    }
    if (!statOf(walk.path, walk.info)) {
        if (use == Use::Read)
            return walk;
        fail(path, errno);
    }
    walk.exists = true;
    return walk;
}

// Another user's file in a shared sticky folder whose owner is not theirs
// is never replaced (the kernel's protected-regular rule, kept even for
// root), and nothing goes into a folder another user owns and may write,
// unless the file there is ours: they could swap or read what we leave.
void checkPlace(const QString& path, const Walk& target)
{
    struct stat folder;
    if (!statOf(folderOf(target.path), folder))
        fail(path, errno);
    const uid_t me = ::geteuid();
    if (target.exists && isSharedStickyFolder(folder) && target.info.st_uid != me
        && target.info.st_uid != folder.st_uid)
        refuse(path,
               QStringLiteral("共有フォルダーにある他のユーザー（%1）のファイルのため書き込めません。")
                   .arg(userName(target.info.st_uid)));
    const bool fileIsOurs = target.exists && target.info.st_uid == me;
    if (folder.st_uid != me && folder.st_uid != 0 && (folder.st_mode & S_IWUSR) && !fileIsOurs)
        refuse(path,
               QStringLiteral("他のユーザー（%1）が書き込めるフォルダーのため書き込めません。")
                   .arg(userName(folder.st_uid)));
}

// Whether we may write the file by its permission bits (root may write
// anything, so for root only a file no one may write counts as read-only).
bool isReadOnly(const struct stat& info)
{
    const uid_t me = ::geteuid();
    if (me == 0)
        return (info.st_mode & 0222) == 0;
    if (info.st_uid == me)
        return !(info.st_mode & S_IWUSR);
    if (info.st_gid == ::getegid())
        return !(info.st_mode & S_IWGRP);
    return !(info.st_mode & S_IWOTH);
}

FileStamp stampOf(const struct stat& info)
{
    const auto ns = [](const struct timespec& time) { return qint64(time.tv_sec) * 1000000000 + time.tv_nsec; };
    return FileStamp{quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size), ns(info.st_mtim),
                     ns(info.st_ctim)};
}

[[noreturn]] void refuseNotRegular(const QString& path)
{
    refuse(path, QStringLiteral("通常のファイルではないため読み込めません。"));
}

// Opening a device may do something, opening a pipe waits for a writer: what
// is not a regular file is refused before it is opened, and checked again
// once open (without waiting) in case it changed meanwhile.
int openRegularFile(const QString& path, struct stat& info)
{
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        refuseNotRegular(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        fail(path, errno);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        refuseNotRegular(path);
    }
    return fd;
}

QByteArray readAtMost(const QString& path, int fd, qint64 limit)
{
    QByteArray content(limit, Qt::Uninitialized);
    qint64 done = 0;
    while (done < limit) {
        const ssize_t got = ::read(fd, content.data() + done, size_t(limit - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(path, errno);
        if (got == 0)
            break;
        done += got;
    }
    content.truncate(done);
    return content;
}

// The bits a new file gets from open(2) with 0666.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool sameOpenFile(int fd, int folder, const QByteArray& name)
{
    struct stat open, named;
    return ::fstat(fd, &open) == 0 && ::fstatat(folder, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0
        && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// A writer keeps a system lock on its temporary file until the rename, so
// one that nobody holds, of ours and older than any write takes, was left
// by a run that was killed in between.
constexpr char kTemporaryPrefix[] = ".wzqxprog-";
constexpr int kTemporaryRandom = 6;  // mkostemp's XXXXXX
constexpr time_t kStaleTemporarySeconds = 60;

bool isTemporaryName(const char* name)
{
    const size_t prefix = sizeof kTemporaryPrefix - 1;
    return std::strncmp(name, kTemporaryPrefix, prefix) == 0 && std::strlen(name) == prefix + kTemporaryRandom;
}

void removeStaleTemporaries(const QByteArray& folderPath)
{
    const int folder = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    DIR* entries = ::fdopendir(folder);
    if (!entries) {
        ::close(folder);
        return;
    }
    const time_t now = ::time(nullptr);
    while (const struct dirent* entry = ::readdir(entries)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        struct stat named;
        if (::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode)
            || named.st_uid != ::geteuid() || now - named.st_mtim.tv_sec < kStaleTemporarySeconds)
            continue;
        const int fd = ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat open;
        if (::fstat(fd, &open) == 0 && open.st_dev == named.st_dev && open.st_ino == named.st_ino
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && sameOpenFile(fd, folder, entry->d_name))
            ::unlinkat(folder, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(entries);
}

// Where our runs keep the locks of their outputs: $XDG_RUNTIME_DIR/wzqxprog
// when the runtime folder is ours alone (not one that `sudo -E` kept),
// else locks/ in the data folder.
QByteArray lockFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat info;
    if (runtime.startsWith('/') && ::lstat(runtime.constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0)
        return joined(runtime, "wzqxprog");
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/')) {
        QByteArray home = qgetenv("HOME");
        if (home.isEmpty())
            if (const struct passwd* user = ::getpwuid(::geteuid()))
                home = user->pw_dir;
        data = joined(home, ".local/share");
    }
    return joined(data, "wzqxprog/locks");
}

// Made as a folder for us alone where missing, with every folder on the way.
void makeFolders(const QByteArray& folder)
{
    if (folder.isEmpty() || ::mkdir(folder.constData(), 0700) == 0 || errno != ENOENT)
        return;
    const QByteArray parent = folderOf(folder);
    if (parent == folder)
        return;
    makeFolders(parent);
    ::mkdir(folder.constData(), 0700);
}

// The lock folder opened, once it is seen to be a folder of ours alone: only
// we can make, hold or remove a lock in it.
int openLockFolder(const QString& path, const QByteArray& folder)
{
    makeFolders(folder);
    const QString shown = QFile::decodeName(folder);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && (errno == ELOOP || errno == ENOTDIR))
        refuse(path, QStringLiteral("ロック用のフォルダー %1 がフォルダーではないため書き込めません。").arg(shown));
    if (fd < 0)
        refuse(path,
               QStringLiteral("ロック用のフォルダー %1 を使えないため書き込めません。%2").arg(shown, reason(errno)));
    struct stat info;
    if (::fstat(fd, &info) != 0 || info.st_uid != ::geteuid()) {
        ::close(fd);
        refuse(path,
               QStringLiteral("ロック用のフォルダー %1 が他のユーザー（%2）のものであるため書き込めません。")
                   .arg(shown, userName(info.st_uid)));
    }
    if ((info.st_mode & 077) != 0)
        ::fchmod(fd, 0700);
    return fd;
}

}  // namespace

// --- Reasons ------------------------------------------------------------

QString reason(int systemError)
{
    if (const char* text = Launch::reasonText(systemError))
        return QString::fromUtf8(text);
    return QStringLiteral("システムのエラーです（%1）。").arg(QString::fromLocal8Bit(std::strerror(systemError)));
}

void refuse(const QString& path, const QString& why)
{
    throw FileError(path + QStringLiteral(": ") + why);
}

// --- Identity -----------------------------------------------------------

FileStamp currentStamp(const QString& path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return stampOf(info);
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat first, second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

// --- Reading ------------------------------------------------------------

ReadFile readRegularFile(const QString& path, qint64 limit)
{
    requireUsableName(path);
    walk(path, Use::Read);
    struct stat info;
    const int fd = openRegularFile(path, info);
    ReadFile file;
    try {
        file.size = qint64(info.st_size);
        // One byte past the limit at most: a file that grew meanwhile still
        // shows it is too large.
        if (file.size <= limit)
            file.bytes = readAtMost(path, fd, limit + 1);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    file.stamp = stampOf(info);
    file.lastModified =
        QDateTime::fromMSecsSinceEpoch(qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000);
    return file;
}

// --- Writing ------------------------------------------------------------

OutputTarget resolveOutput(const QString& path)
{
    requireUsableName(path);
    const QByteArray given = QFile::encodeName(path);
    if (given.isEmpty())
        fail(path, ENOENT);
    if (given.endsWith('/'))
        refuse(path, QStringLiteral("通常のファイルではないため書き込めません。"));
    const Walk found = walk(path, Use::Write);
    const bool regular = found.exists && S_ISREG(found.info.st_mode);
    if (found.throughProcess && !(regular && found.info.st_uid == ::geteuid()))
        refuse(path, QStringLiteral("自分の通常のファイルではないため書き込めません（標準出力には - を指定します）。"));
    if (found.missing && found.lastNameFromLink)
        refuse(path, QStringLiteral("リンク先がないため書き込めません。"));
    if (found.exists && !regular)
        refuse(path, QStringLiteral("通常のファイルではないため書き込めません。"));
    checkPlace(path, found);
    OutputTarget target;
    target.native = found.path;
    target.exists = found.exists;
    target.readOnly = found.exists && isReadOnly(found.info);
    target.hardLinked = found.exists && found.info.st_nlink > 1;
    return target;
}

struct Replacement::Private {
    QString path;
    QByteArray target;
    QByteArray name;
    int fd = -1;
    int held = -1;  // keeps the temporary file's lock after `fd` is closed, until the rename
    bool done = false;
};

// The temporary name is short, so that a target of the longest name the
// system allows can be written.
Replacement::Replacement(const QString& path, const OutputTarget& target)
    : d(std::make_unique<Private>())
{
    d->path = path;
    d->target = target.native;
    removeStaleTemporaries(folderOf(target.native));
    d->name = folderOf(target.native) + '/' + kTemporaryPrefix + QByteArray(kTemporaryRandom, 'X');
    d->fd = ::mkostemp(d->name.data(), O_CLOEXEC);
    if (d->fd < 0)
        fail(path, errno);
    // A lock on the open file, kept by a second descriptor of it.
    if (::flock(d->fd, LOCK_EX | LOCK_NB) == 0)
        d->held = ::fcntl(d->fd, F_DUPFD_CLOEXEC, 0);
    struct stat old;
    if (!target.exists || ::stat(target.native.constData(), &old) != 0) {
        ::fchmod(d->fd, newFileMode());
        return;
    }
    // The old file's owner and group where we may (as root, or a group of
    // ours); otherwise the replacement stays ours.
    if (::fchown(d->fd, old.st_uid, old.st_gid) != 0 && ::fchown(d->fd, uid_t(-1), old.st_gid) != 0) { }
    ::fchmod(d->fd, old.st_mode & 07777);
}

Replacement::~Replacement()
{
    if (d->fd >= 0)
        ::close(d->fd);
    if (!d->done)
        ::unlink(d->name.constData());
    if (d->held >= 0)
        ::close(d->held);
}

// A short write is followed by a write of the rest, which then fails with
// the system's reason (a full disk gives ENOSPC).
void Replacement::write(const QByteArray& content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(d->fd, content.constData() + done, size_t(content.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            fail(d->path, written < 0 ? errno : ENOSPC);
        done += qsizetype(written);
    }
    if (::fsync(d->fd) != 0)
        fail(d->path, errno);
    const int fd = std::exchange(d->fd, -1);
    if (::close(fd) != 0)
        fail(d->path, errno);
}

// Puts the new file in the target's place and makes the change of name
// itself lasting.
void Replacement::commit()
{
    if (::rename(d->name.constData(), d->target.constData()) != 0)
        fail(d->path, errno);
    d->done = true;
    const int dir = ::open(folderOf(d->target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

QByteArray readBack(const QString& path, const OutputTarget& target, qint64 limit)
{
    const int fd = ::open(target.native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail(path, errno);
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return file.read(limit);
}

struct FileLock::Private {
    QString path;
    QByteArray folderPath;
    QByteArray name;
    int folder = -1;
    int fd = -1;
};

FileLock::FileLock(const QString& path, const QByteArray& lockPath)
    : d(std::make_unique<Private>())
{
    d->path = path;
    d->folderPath = folderOf(lockPath);
    d->name = lockPath.mid(lockPath.lastIndexOf('/') + 1);
}

FileLock::~FileLock()
{
    if (d->fd >= 0) {
        struct stat info;
        // Only the empty file of ours that we locked is removed.
        if (sameOpenFile(d->fd, d->folder, d->name) && ::fstat(d->fd, &info) == 0 && info.st_size == 0
            && info.st_uid == ::geteuid())
            ::unlinkat(d->folder, d->name.constData(), 0);
        ::close(d->fd);
    }
    if (d->folder >= 0)
        ::close(d->folder);
}

// The lock is a system lock (flock) on the file, so a holder that dies frees
// it at once. The last holder may have removed the file we opened: then our
// lock is on a file nobody else finds, and we try again.
bool FileLock::tryLock()
{
    if (d->folder < 0)
        d->folder = openLockFolder(d->path, d->folderPath);
    const auto notAFile = [&] {
        refuse(d->path,
               QStringLiteral("ロックファイル %1 が通常のファイルではありません。")
                   .arg(QFile::decodeName(joined(d->folderPath, d->name))));
    };
    const int fd =
        ::openat(d->folder, d->name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == ELOOP || errno == EISDIR))
        notAFile();  // a link there, never followed
    if (fd < 0)
        fail(d->path, errno);
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        notAFile();
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR)
            fail(d->path, error);
        return false;
    }
    // Locked, but the holder before us may have removed the file meanwhile.
    if (!sameOpenFile(fd, d->folder, d->name)) {
        ::close(fd);
        return false;
    }
    d->fd = fd;
    return true;
}

// Named by the identity of the output's folder and the output's name there:
// every spelling of one output finds one lock, and the name stays while
// each write puts a new file in the old one's place.
QByteArray lockPathFor(const OutputTarget& target)
{
    const QByteArray folder = folderOf(target.native);
    struct stat info;
    if (!statOf(folder, info))
        fail(QFile::decodeName(target.native), errno);
    const QByteArray name = target.native.mid(target.native.lastIndexOf('/') + 1);
    return joined(lockFolder(),
                  QByteArray::number(quint64(info.st_dev)) + '-' + QByteArray::number(quint64(info.st_ino)) + '-'
                      + QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex().left(32) + ".lock");
}

bool leadsToStandardOutput(const QString& path)
{
    struct stat named, output;
    return ::stat(QFile::encodeName(path).constData(), &named) == 0 && ::fstat(STDOUT_FILENO, &output) == 0
        && named.st_dev == output.st_dev && named.st_ino == output.st_ino;
}

// --- Standard streams and the command line ------------------------------

void prepareStandardStreams()
{
    for (const int stream : {STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(stream, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (stream == STDOUT_FILENO)
            g_outputClosed = true;
        const int opened = ::open("/dev/null", O_WRONLY);
        if (opened != stream && opened != -1) {
            ::dup2(opened, stream);
            ::close(opened);
        }
    }
    ::signal(SIGPIPE, SIG_IGN);
}

int writeStandardOutput(const QByteArray& bytes)
{
    if (g_outputClosed)
        return EBADF;
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        done += written;
    }
    return 0;
}

QByteArray readStandardInput(qint64 limit)
{
    QByteArray bytes;
    char buffer[65536];
    while (bytes.size() <= limit) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(QStringLiteral("標準入力"), errno);
        if (got == 0)
            break;
        bytes.append(buffer, qsizetype(std::min<qint64>(got, limit + 1 - bytes.size())));
    }
    return bytes;
}

QStringList commandArguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

// --- The user's own files ----------------------------------------------

void tightenPrivate(const QString& path, PrivateKind kind)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::lstat(name.constData(), &status) != 0 || status.st_uid != ::geteuid())
        return;
    if (kind == PrivateKind::Folder && S_ISDIR(status.st_mode))
        ::chmod(name.constData(), 0700);
    if (kind == PrivateKind::File && S_ISREG(status.st_mode))
        ::chmod(name.constData(), 0600);
}

bool isOursAlone(const QString& path, PrivateKind kind)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::lstat(name.constData(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR;  // nothing there, nor can there be
    // A link to nothing is refused too: opening it would make a file wherever it points.
    if (S_ISLNK(status.st_mode) && (status.st_uid != ::geteuid() || ::stat(name.constData(), &status) != 0))
        return false;
    if (status.st_uid != ::geteuid())
        return false;
    const bool used = kind == PrivateKind::Folder ? S_ISDIR(status.st_mode) : S_ISREG(status.st_mode);
    return !used || (status.st_mode & 077) == 0;
}

QString folderOthersMayChange(const QString& path)
{
    QByteArray folder = QFile::encodeName(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    const uid_t me = ::geteuid();
    for (;;) {
        struct stat info;
        if (::stat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
            const bool theirs = info.st_uid != me && info.st_uid != 0 && (info.st_mode & S_IWUSR);
            const bool everybodys = (info.st_mode & S_IWOTH) && !(info.st_mode & S_ISVTX);
            if (theirs || everybodys)
                return QFile::decodeName(folder);
        }
        const QByteArray parent = folderOf(folder);
        if (parent == folder)
            return QString();
        folder = parent;
    }
}

bool isPlainFileOrNothing(const QString& path)
{
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return true;  // nothing there, or opening it finds out why
    return S_ISREG(status.st_mode);
}

int openProblem(const QString& path)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file >= 0) {
        ::close(file);
        return 0;
    }
    return errno == ENOENT ? 0 : errno;
}

std::pair<quint64, quint64> identityOf(const QString& path)
{
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return {quint64(status.st_dev), quint64(status.st_ino)};
}

bool fitsLocalSocketName(const QString& path)
{
    return QFile::encodeName(path).size() < qsizetype(sizeof(sockaddr_un::sun_path));
}

const char* defaultQtPlatform()
{
    return "xcb";
}

// The minimal platform draws no text; offscreen reads the fonts through
// fontconfig.
const char* drawingCommandQtPlatform()
{
    return "offscreen";
}

// The folder the editor was started in, as a terminal user expects.
QString firstFileDialogFolder()
{
    return QDir::currentPath();
}

// --- Fonts --------------------------------------------------------------

QString windowFontFamily()
{
    return QStringLiteral("Noto Sans CJK JP");
}

QStringList listingFontFamilies()
{
    return {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK JP")};
}

// --- Text ---------------------------------------------------------------

std::optional<QString> decodeCp932(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return QString();
    const iconv_t converter = ::iconv_open("UTF-8", "CP932");
    if (converter == iconv_t(-1))
        return std::nullopt;
    // A CP932 character is one or two bytes, its UTF-8 at most three.
    QByteArray utf8(bytes.size() * 3, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* out = utf8.data();
    size_t outLeft = size_t(utf8.size());
    const bool whole = ::iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1) && inLeft == 0;
    ::iconv_close(converter);
    if (!whole)
        return std::nullopt;
    utf8.truncate(out - utf8.constData());
    return QString::fromUtf8(utf8);
}

// --- The user -----------------------------------------------------------

QString userName(quint64 uid)
{
    if (const struct passwd* user = ::getpwuid(uid_t(uid)))
        return QString::fromLocal8Bit(user->pw_name);
    return QString::number(uid);
}

}  // namespace Platform
