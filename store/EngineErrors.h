#pragma once
#include <QString>

class QSqlError;

// SQLite's failures in the words the "Error" box shows: what could not be
// done, then the reason in Japanese ("トランザクションをコミットできません:
// ディスクの空き容量が足りません。"); an unusual reason keeps the engine's text.
namespace EngineErrors {

// `resultCode` is SQLite's result code, primary or extended.
QString describe(const QString& action, int resultCode, const QString& engineText);
// A failure reported through Qt's driver.
QString describe(const QString& action, const QSqlError& error);

}  // namespace EngineErrors
