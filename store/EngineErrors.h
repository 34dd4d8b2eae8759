#pragma once
#include <QString>

class QSqlError;

// SQLite's failures in the words the "エラー" box shows: what could not be
// done, then the reason in Japanese ("トランザクションをコミットできません:
// ディスクの空き容量が足りません。"); an unusual reason keeps the engine's text.
namespace EngineErrors {

// `resultCode` is SQLite's result code, primary or extended.
QString describe(const QString& action, int resultCode, const QString& engineText);
// A failure reported through Qt's driver.
QString describe(const QString& action, const QSqlError& error);
// The reason alone ("ディスクの空き容量が足りません。").
QString reasonOf(const QSqlError& error);

// Whether the failure lies with what the store holds (damaged, or not the
// tables a statement expects) rather than with the disk, the file's rights
// or another program holding the file, which may be over at the next try.
bool isStoreFault(const QSqlError& error);

}  // namespace EngineErrors
