#include "store/PrivatePaths.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace PrivatePaths {

void tighten(const QString& path, Kind kind)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::lstat(name.constData(), &status) != 0 || status.st_uid != ::geteuid())
        return;
    if (kind == Kind::Folder && S_ISDIR(status.st_mode))
        ::chmod(name.constData(), 0700);
    if (kind == Kind::StoreFile && S_ISREG(status.st_mode))
        ::chmod(name.constData(), 0600);
}

bool isOursAlone(const QString& path, Kind kind)
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
    const bool used = kind == Kind::Folder ? S_ISDIR(status.st_mode) : S_ISREG(status.st_mode);
    return !used || (status.st_mode & 077) == 0;
}

QString notOursAloneText(const QString& path)
{
    return QStringLiteral("%1 が自分だけのものではない（所有者が別のユーザーか、他のユーザーも読み書きできる）ため、"
                          "起動できません。")
        .arg(QDir::toNativeSeparators(path));
}

}  // namespace PrivatePaths
