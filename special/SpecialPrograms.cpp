#include "special/SpecialPrograms.h"

#include "store/ScheduleDocument.h"
#include "store/ScheduleTables.h"
#include "store/StoreRoutines.h"

#include <QSqlQuery>

namespace SpecialPrograms {

namespace {

void deleteYearEntries(ScheduleDocument& document, int circuit, int special)
{
    for (const ScheduleTable& table : ScheduleTables()) {
        if (!(table.change & (StoreChanges::Dated | StoreChanges::EveryYear)))
            continue;
        document.exec(
            QStringLiteral("DELETE FROM %1 WHERE CircuitNO = ? AND SpecialNO = ?").arg(QLatin1String(table.name)),
            {circuit, special});
        RenumberTable(document, QLatin1String(table.name));
    }
}

}  // namespace

int ProgramCount(ScheduleDocument& document, int circuit, int special)
{
    return document
        .scalar(QStringLiteral("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = ? AND SpecialNO = ?"), {circuit, special},
                0)
        .toInt();
}

int YearEntriesUsing(ScheduleDocument& document, int circuit, int special)
{
    return document
        .scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT ID FROM T_Year WHERE CircuitNO = ? AND "
                               "SpecialNO = ? UNION ALL SELECT ID FROM T_YearE WHERE CircuitNO = ? AND "
                               "SpecialNO = ?)"),
                {circuit, special, circuit, special}, 0)
        .toInt();
}

QList<int> SpecialNumbersInUse(ScheduleDocument& document, int circuit)
{
    QSqlQuery query = document.exec(QStringLiteral("SELECT DISTINCT SpecialNO FROM T_Week "
                                                   "WHERE CircuitNO = ? AND SpecialNO <> 0 ORDER BY SpecialNO"),
                                    {circuit});
    QList<int> numbers;
    while (query.next())
        numbers << query.value(0).toInt();
    return numbers;
}

int FirstFreeSpecialNumber(ScheduleDocument& document, int circuit)
{
    int free = 1;
    for (int number : SpecialNumbersInUse(document, circuit)) {
        if (number != free)
            break;
        ++free;
    }
    return free;
}

// Special number 0 stands for the week programs and for 停止 entries: never
// deleted through here.
bool DeleteSpecialProgram(ScheduleDocument& document, int id, int circuit, int special)
{
    if (special < 1)
        return false;
    Transaction transaction(document);
    document.exec(QStringLiteral("DELETE FROM T_Week WHERE ID = ? AND CircuitNO = ? AND SpecialNO = ?"),
                  {id, circuit, special});
    const bool lastGone = ProgramCount(document, circuit, special) == 0;
    if (lastGone)
        deleteYearEntries(document, circuit, special);
    RenumberTable(document, QStringLiteral("T_Week"));
    transaction.commit();
    return lastGone;
}

void DeleteAllSpecialPrograms(ScheduleDocument& document, int circuit, int special)
{
    if (special < 1)
        return;
    Transaction transaction(document);
    document.exec(QStringLiteral("DELETE FROM T_Week WHERE CircuitNO = ? AND SpecialNO = ?"), {circuit, special});
    deleteYearEntries(document, circuit, special);
    RenumberTable(document, QStringLiteral("T_Week"));
    transaction.commit();
}

}  // namespace SpecialPrograms
