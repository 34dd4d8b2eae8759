#pragma once
#include "store/ScheduleDocument.h"

// The document of the code not yet handed one: opened and closed here.
namespace ProgramStore {

QString defaultLocation();
QString open(const QString& location);
void close();
bool isOpen();
int openings();
QString location();
ScheduleDocument& document();
QSqlDatabase database();
qint64 dataVersion();
QSqlQuery exec(const QString& sql, const QVariantList& values = {});
QVariant scalar(const QString& sql, const QVariantList& values = {}, const QVariant& fallback = {});

}  // namespace ProgramStore

const CircuitSetting& CircuitSettingAt(int index);
void LoadCircuitSettings();
void ResetCircuitSettings();
