#include "store/StoreRoutines.h"

#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/ScheduleTables.h"

namespace {

bool exists(ScheduleDocument& document, const QString& sql, const QVariantList& values)
{
    return document.exec(sql, values).next();
}

int countRows(ScheduleDocument& document, const QString& table)
{
    return document.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
}

bool capacityExceeded(int rows, int n, int capacity)
{
    return rows > 0 && rows + n > capacity;
}

}  // namespace

void ClearAllData(ScheduleDocument& document)
{
    Transaction transaction(document);
    document.exec(QStringLiteral("UPDATE T_Setting SET PulseTime = 0, Program = 0, Chime = 1"));
    for (const char* table : {"T_Week", "T_WeekT", "T_WeekP", "T_Year", "T_YearE", "T_YearP"})
        document.exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
    transaction.commit();
}

void RenumberTable(ScheduleDocument& document, const QString& tableName)
{
    const QString order = RowOrderOf(tableName);
    Transaction transaction(document);
    // rowid breaks ties between equal rows so that renumbering is stable.
    document.exec(QStringLiteral("UPDATE %1 SET ID = numbered.n FROM "
                                 "(SELECT rowid AS r, ROW_NUMBER() OVER (ORDER BY %2, rowid) AS n "
                                 "FROM %1) AS numbered WHERE %1.rowid = numbered.r")
                      .arg(tableName, order));
    transaction.commit();
}

bool HasPrograms(ScheduleDocument& document, int circuit)
{
    for (const ScheduleTable& table : ScheduleTables())
        if (table.change != StoreChanges::Settings
            && exists(document,
                      QStringLiteral("SELECT 1 FROM %1 WHERE CircuitNO = ? LIMIT 1").arg(QLatin1String(table.name)),
                      {circuit}))
            return true;
    return false;
}

bool YearDateExists(ScheduleDocument& document, int circuit, int year, int month, int day)
{
    return exists(document,
                  QStringLiteral("SELECT 1 FROM T_Year WHERE CircuitNO = ? AND Year = ? AND Month = ? "
                                 "AND Day = ? LIMIT 1"),
                  {circuit, year, month, day});
}

bool EveryYearDateExists(ScheduleDocument& document, int circuit, int month, int day)
{
    return exists(document,
                  QStringLiteral("SELECT 1 FROM T_YearE WHERE CircuitNO = ? AND Month = ? AND Day = ? LIMIT 1"),
                  {circuit, month, day});
}

int WeekRowCount(ScheduleDocument& document)
{
    return countRows(document, QStringLiteral("T_Week"));
}

int YearRowCount(ScheduleDocument& document)
{
    return countRows(document, QStringLiteral("T_Year"));
}

int EveryYearRowCount(ScheduleDocument& document)
{
    return countRows(document, QStringLiteral("T_YearE"));
}

bool WeekCapacityExceeded(ScheduleDocument& document, int n)
{
    return capacityExceeded(WeekRowCount(document), n, WeekCapacity);
}

bool YearCapacityExceeded(ScheduleDocument& document, int n)
{
    return capacityExceeded(YearRowCount(document), n, YearCapacity);
}

int RemainingWeekCapacity(ScheduleDocument& document)
{
    return WeekCapacity - WeekRowCount(document);
}

int RemainingYearCapacity(ScheduleDocument& document)
{
    return YearCapacity - YearRowCount(document);
}

bool AnyCircuitConfigured(const ScheduleDocument& document)
{
    for (int circuit = 1; circuit <= 8; ++circuit)
        if (document.circuits()[circuit].Program != TypeNone)
            return true;
    return false;
}
