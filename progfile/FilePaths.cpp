#include "progfile/FilePaths.h"

#include "progfile/FileErrors.h"
#include "progfile/ProgramFileFormat.h"

#include <QFile>
#include <QList>

#include <cerrno>
#include <climits>
#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace FilePaths {

namespace {

// The kernel's own limit on links followed while resolving one path.
constexpr int kMaxLinks = 40;

enum class Use { Read, Write };

[[noreturn]] void refuse(const QString& path, const QString& why)
{
    throw ProgramFileError(path + QStringLiteral(": ") + why);
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
    Target target;
    bool lastNameFromLink = false;
    bool throughProcess = false;  // a link of /proc on the way (/dev/stdout)
    bool missing = false;         // the last name does not exist
};

// Follows `path` to its end, checking every link on the way for `use`.
// Throws for a refused link; for a write also for a missing folder on the
// way or a loop, where a read stops and leaves them to opening the file.
Walk walk(const QString& path, Use use)
{
    const QByteArray given = QFile::encodeName(path);
    QList<QByteArray> pending = given.split('/');
    Walk walk;
    Target& target = walk.target;
    target.path = given.startsWith('/') ? "/" : "";
    int links = 0;
    while (!pending.isEmpty()) {
        const QByteArray name = pending.takeFirst();
        if (name.isEmpty() || name == ".")
            continue;
        const QByteArray candidate = joined(target.path, name);
        struct stat info;
        if (::lstat(candidate.constData(), &info) != 0) {
            if (use == Use::Read)
                return walk;
            if (errno != ENOENT || !pending.isEmpty())
                FileErrors::fail(path, errno);
            target.path = candidate;
            walk.missing = true;
            return walk;
        }
        if (!S_ISLNK(info.st_mode)) {
            target.path = candidate;
            continue;
        }
        checkLink(path, use, target.path, candidate, info);
        const std::optional<QByteArray> text = linkText(candidate);
        if (use == Use::Read && (!text || links == kMaxLinks))
            return walk;
        if (++links > kMaxLinks)
            refuse(path, QStringLiteral("リンクをたどれないため書き込めません。"));
        if (!text)
            FileErrors::fail(path, errno);
        walk.throughProcess = walk.throughProcess || candidate.startsWith("/proc/");
        walk.lastNameFromLink = walk.lastNameFromLink || pending.isEmpty();
        pending = text->split('/') + pending;
        if (text->startsWith('/'))
            target.path = "/";
    }
    if (!statOf(target.path, target.info)) {
        if (use == Use::Read)
            return walk;
        FileErrors::fail(path, errno);
    }
    target.exists = true;
    return walk;
}

// The rules for the folder the new file goes into and the file it replaces.
void checkPlace(const QString& path, const Target& target)
{
    struct stat folder;
    if (!statOf(folderOf(target.path), folder))
        FileErrors::fail(path, errno);
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

}  // namespace

bool FileStamp::operator==(const FileStamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size && modifiedNs == other.modifiedNs
        && changedNs == other.changedNs;
}

FileStamp stampOf(const struct stat& info)
{
    const auto ns = [](const struct timespec& time) { return qint64(time.tv_sec) * 1000000000 + time.tv_nsec; };
    return FileStamp{quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size), ns(info.st_mtim),
                     ns(info.st_ctim)};
}

FileStamp currentStamp(const QString& path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return stampOf(info);
}

Target writableTarget(const QString& path)
{
    const QByteArray given = QFile::encodeName(path);
    if (given.isEmpty())
        FileErrors::fail(path, ENOENT);
    if (given.endsWith('/'))
        refuse(path, QStringLiteral("通常のファイルではないため書き込めません。"));
    const Walk found = walk(path, Use::Write);
    const Target& target = found.target;
    const bool regular = target.exists && S_ISREG(target.info.st_mode);
    if (found.throughProcess && !(regular && target.info.st_uid == ::geteuid()))
        refuse(path, QStringLiteral("自分の通常のファイルではないため書き込めません（標準出力には - を指定します）。"));
    if (found.missing && found.lastNameFromLink)
        refuse(path, QStringLiteral("リンク先がないため書き込めません。"));
    if (target.exists && !regular)
        refuse(path, QStringLiteral("通常のファイルではないため書き込めません。"));
    checkPlace(path, target);
    return target;
}

void checkReadablePath(const QString& path)
{
    walk(path, Use::Read);
}

QString userName(uid_t uid)
{
    if (const struct passwd* user = ::getpwuid(uid))
        return QString::fromLocal8Bit(user->pw_name);
    return QString::number(uid);
}

}  // namespace FilePaths
