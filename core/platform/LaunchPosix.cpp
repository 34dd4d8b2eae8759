#include "core/platform/Launch.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Launch {

namespace {

std::string ownerName(uid_t uid)
{
    if (const struct passwd* user = ::getpwuid(uid))
        return user->pw_name;
    return std::to_string(uid);
}

bool trustedOwner(uid_t uid)
{
    return uid == ::geteuid() || uid == 0;
}

}  // namespace

std::string ownFolder()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == ssize_t(sizeof path))
        return std::string();
    const std::string program(path, size_t(length));
    return program.substr(0, program.rfind('/'));
}

bool exists(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0;
}

std::string trustedProgram(const std::string& program, std::string& why, int& error)
{
    char resolved[PATH_MAX];
    if (!::realpath(program.c_str(), resolved)) {
        error = errno;
        return std::string();
    }
    const std::string path(resolved);
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) {
        error = errno;
        return std::string();
    }
    if (!S_ISREG(status.st_mode)) {
        why = path + " は通常のファイルではありません。";
        return std::string();
    }
    if (!trustedOwner(status.st_uid)) {
        why = path + " は他のユーザー（" + ownerName(status.st_uid) + "）のファイルです。";
        return std::string();
    }
    // Every folder above, up to the root.
    for (std::string folder = path.substr(0, path.rfind('/'));; folder = folder.substr(0, folder.rfind('/'))) {
        const std::string shown = folder.empty() ? "/" : folder;
        if (::stat(shown.c_str(), &status) != 0) {
            error = errno;
            return std::string();
        }
        if (!trustedOwner(status.st_uid)) {
            why = shown + " は他のユーザー（" + ownerName(status.st_uid) + "）のフォルダーです。";
            return std::string();
        }
        if ((status.st_mode & (S_IWGRP | S_IWOTH)) && !(status.st_mode & S_ISVTX)) {
            why = shown + " は他のユーザーも書き込めるフォルダーです。";
            return std::string();
        }
        if (folder.empty())
            return path;
    }
}

int runInPlace(const std::string& program, char** argv, int& error)
{
    ::execv(program.c_str(), argv);
    error = errno;
    return -1;
}

const char* reasonText(int error)
{
    switch (error) {
    case ENOENT:
        return "ファイルまたはフォルダーが見つかりません。";
    case EACCES:
    case EPERM:
        return "アクセスする権限がありません。";
    case EROFS:
        return "読み取り専用の場所のため書き込めません。";
    case ENOSPC:
    case EDQUOT:
        return "ディスクの空き容量が足りません。";
    case EISDIR:
        return "フォルダーです。";
    case ENOTDIR:
        return "途中の名前がフォルダーではありません。";
    case ELOOP:
        return "リンクが多すぎるか、循環しています。";
    case ENAMETOOLONG:
        return "名前が長すぎます。";
    case EIO:
        return "ディスクの読み書きに失敗しました。";
    case EFBIG:
        return "ファイルが大きすぎます。";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます。";
    case EBADF:
    case EPIPE:
        return "出力先が閉じられています。";
    case EBUSY:
    case ETXTBSY:
        return "使用中です。";
    default:
        return nullptr;
    }
}

}  // namespace Launch
