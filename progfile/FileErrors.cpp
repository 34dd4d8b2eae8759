#include "progfile/FileErrors.h"

#include "progfile/ProgramFileFormat.h"

#include <cerrno>
#include <cstring>

namespace FileErrors {

QString reason(int systemError)
{
    switch (systemError) {
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダーが見つかりません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスする権限がありません。");
    case EROFS:
        return QStringLiteral("読み取り専用の場所のため書き込めません。");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case EISDIR:
        return QStringLiteral("フォルダーです。");
    case ENOTDIR:
        return QStringLiteral("途中の名前がフォルダーではありません。");
    case ELOOP:
        return QStringLiteral("リンクが多すぎるか、循環しています。");
    case ENAMETOOLONG:
        return QStringLiteral("名前が長すぎます。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます。");
    case EBADF:
    case EPIPE:
        return QStringLiteral("出力先が閉じられています。");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("使用中です。");
    default:
        return QStringLiteral("システムのエラーです（%1）。").arg(QString::fromLocal8Bit(std::strerror(systemError)));
    }
}

void fail(const QString& path, int systemError)
{
    throw ProgramFileError(path + QStringLiteral(": ") + reason(systemError));
}

void requireUsableName(const QString& path)
{
    if (path.contains(QChar::ReplacementCharacter))
        throw ProgramFileError(
            QStringLiteral("%1: UTF-8 ではない文字を含むため、このファイル名は使えません。").arg(path));
}

}  // namespace FileErrors
