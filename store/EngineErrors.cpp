#include "store/EngineErrors.h"

#include <QSqlError>
#include <initializer_list>
#include <sqlite3.h>

namespace {

QString reason(int primaryCode, const QString& engineText)
{
    switch (primaryCode) {
    case SQLITE_FULL:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case SQLITE_IOERR:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    case SQLITE_READONLY:
        return QStringLiteral("読み取り専用のため書き込めません。");
    case SQLITE_CANTOPEN:
        return QStringLiteral("データベースのファイルを開けません。");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("データベースが壊れています。");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("データベースが使用中です。");
    case SQLITE_NOMEM:
        return QStringLiteral("メモリが足りません。");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("アクセスする権限がありません。");
    default:
        return QStringLiteral("データベースのエラーです（%1）。").arg(engineText);
    }
}

// Qt's driver drops the result code of a failed BEGIN or COMMIT and keeps
// only the engine's text, which for these codes is the code's own text.
int codeOfText(const QString& engineText)
{
    for (int code : {SQLITE_FULL, SQLITE_IOERR, SQLITE_READONLY, SQLITE_CANTOPEN, SQLITE_CORRUPT, SQLITE_NOTADB,
                     SQLITE_BUSY, SQLITE_LOCKED, SQLITE_NOMEM, SQLITE_PERM, SQLITE_AUTH})
        if (engineText == QLatin1String(sqlite3_errstr(code)))
            return code;
    return SQLITE_ERROR;
}

QString engineTextOf(const QSqlError& error)
{
    return error.databaseText().trimmed().isEmpty() ? error.text() : error.databaseText();
}

int primaryCodeOf(const QSqlError& error)
{
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known);
    return (known ? code : codeOfText(engineTextOf(error).trimmed())) & 0xff;
}

}  // namespace

namespace EngineErrors {

QString describe(const QString& action, int resultCode, const QString& engineText)
{
    return action + QStringLiteral(": ") + reason(resultCode & 0xff, engineText.trimmed());
}

QString describe(const QString& action, const QSqlError& error)
{
    return action + QStringLiteral(": ") + reasonOf(error);
}

QString reasonOf(const QSqlError& error)
{
    return reason(primaryCodeOf(error), engineTextOf(error).trimmed());
}

bool isStoreFault(const QSqlError& error)
{
    switch (primaryCodeOf(error)) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_NOMEM:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return false;
    default:
        return true;
    }
}

}  // namespace EngineErrors
