#include "store/StoreRoutines.h"

#include "store/ProgramStore.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleTables.h"
#include "store/SharedState.h"

namespace {

bool exists(const QString& sql, const QVariantList& values)
{
    return ProgramStore::exec(sql, values).next();
}

int countRows(const QString& table)
{
    return ProgramStore::scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
}

bool capacityExceeded(int rows, int n, int capacity)
{
    return rows > 0 && rows + n > capacity;
}

}  // namespace

void ClearAllData()
{
    Transaction transaction;
    ProgramStore::exec(QStringLiteral("UPDATE T_Setting SET PulseTime = 0, Program = 0, Chime = 1"));
    for (const char* table : {"T_Week", "T_WeekT", "T_WeekP", "T_Year", "T_YearE", "T_YearP"})
        ProgramStore::exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
    transaction.commit();
}

void ResetCircuitSettings()
{
    for (CircuitSetting& setting : CircuitSettings) {
        setting.Program = TypeNone;
        setting.PulseTime = 99;
    }
}

void RenumberTable(const QString& tableName)
{
    const QString order = RowOrderOf(tableName);
    Transaction transaction;
    // rowid breaks ties between equal rows so that renumbering is stable.
    ProgramStore::exec(QStringLiteral("UPDATE %1 SET ID = numbered.n FROM "
                                      "(SELECT rowid AS r, ROW_NUMBER() OVER (ORDER BY %2, rowid) AS n "
                                      "FROM %1) AS numbered WHERE %1.rowid = numbered.r")
                           .arg(tableName, order));
    transaction.commit();
}

bool HasPrograms(int circuit)
{
    for (const ScheduleTable& table : ScheduleTables())
        if (table.change != StoreChanges::Settings
            && exists(QStringLiteral("SELECT 1 FROM %1 WHERE CircuitNO = ? LIMIT 1").arg(QLatin1String(table.name)),
                      {circuit}))
            return true;
    return false;
}

bool YearDateExists(int circuit, int year, int month, int day)
{
    return exists(QStringLiteral("SELECT 1 FROM T_Year WHERE CircuitNO = ? AND Year = ? AND Month = ? "
                                 "AND Day = ? LIMIT 1"),
                  {circuit, year, month, day});
}

bool EveryYearDateExists(int circuit, int month, int day)
{
    return exists(QStringLiteral("SELECT 1 FROM T_YearE WHERE CircuitNO = ? AND Month = ? AND Day = ? LIMIT 1"),
                  {circuit, month, day});
}

int WeekRowCount()
{
    return countRows(QStringLiteral("T_Week"));
}

int YearRowCount()
{
    return countRows(QStringLiteral("T_Year"));
}

int EveryYearRowCount()
{
    return countRows(QStringLiteral("T_YearE"));
}

bool WeekCapacityExceeded(int n)
{
    return capacityExceeded(WeekRowCount(), n, WeekCapacity);
}

bool YearCapacityExceeded(int n)
{
    return capacityExceeded(YearRowCount(), n, YearCapacity);
}

int RemainingWeekCapacity()
{
    return WeekCapacity - WeekRowCount();
}

int RemainingYearCapacity()
{
    return YearCapacity - YearRowCount();
}

bool AnyCircuitConfigured()
{
    for (int circuit = 1; circuit <= 8; ++circuit)
        if (CircuitSettings[circuit].Program != TypeNone)
            return true;
    return false;
}
