#include "core/platform/Launch.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace Launch {

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
