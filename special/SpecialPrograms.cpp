#include "special/SpecialPrograms.h"

#include "store/ProgramStore.h"
#include "store/ScheduleTables.h"
#include "store/StoreRoutines.h"

#include <QSqlQuery>

namespace SpecialPrograms {

namespace {

void deleteYearEntries(int circuit, int special)
{
    for (const ScheduleTable& table : ScheduleTables()) {
        if (!(table.change & (StoreChanges::Dated | StoreChanges::EveryYear)))
            continue;
        ProgramStore::exec(
            QStringLiteral("DELETE FROM %1 WHERE CircuitNO = ? AND SpecialNO = ?").arg(QLatin1String(table.name)),
            {circuit, special});
        RenumberTable(ProgramStore::document(), QLatin1String(table.name));
    }
}

}  // namespace

int ProgramCount(int circuit, int special)
{
    return ProgramStore::scalar(QStringLiteral("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = ? AND SpecialNO = ?"),
                                {circuit, special}, 0)
        .toInt();
}

int YearEntriesUsing(int circuit, int special)
{
    return ProgramStore::scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT ID FROM T_Year WHERE CircuitNO = ? AND "
                                               "SpecialNO = ? UNION ALL SELECT ID FROM T_YearE WHERE CircuitNO = ? AND "
                                               "SpecialNO = ?)"),
                                {circuit, special, circuit, special}, 0)
        .toInt();
}

QList<int> SpecialNumbersInUse(int circuit)
{
    QSqlQuery query = ProgramStore::exec(QStringLiteral("SELECT DISTINCT SpecialNO FROM T_Week "
                                                        "WHERE CircuitNO = ? AND SpecialNO <> 0 ORDER BY SpecialNO"),
                                         {circuit});
    QList<int> numbers;
    while (query.next())
        numbers << query.value(0).toInt();
    return numbers;
}

int FirstFreeSpecialNumber(int circuit)
{
    int free = 1;
    for (int number : SpecialNumbersInUse(circuit)) {
        if (number != free)
            break;
        ++free;
    }
    return free;
}

// Special number 0 stands for the week programs and for 停止 entries: never
// deleted through here.
bool DeleteSpecialProgram(int id, int circuit, int special)
{
    if (special < 1)
        return false;
    Transaction transaction(ProgramStore::document());
    ProgramStore::exec(QStringLiteral("DELETE FROM T_Week WHERE ID = ? AND CircuitNO = ? AND SpecialNO = ?"),
                       {id, circuit, special});
    const bool lastGone = ProgramCount(circuit, special) == 0;
    if (lastGone)
        deleteYearEntries(circuit, special);
    RenumberTable(ProgramStore::document(), QStringLiteral("T_Week"));
    transaction.commit();
    return lastGone;
}

void DeleteAllSpecialPrograms(int circuit, int special)
{
    if (special < 1)
        return;
    Transaction transaction(ProgramStore::document());
    ProgramStore::exec(QStringLiteral("DELETE FROM T_Week WHERE CircuitNO = ? AND SpecialNO = ?"), {circuit, special});
    deleteYearEntries(circuit, special);
    RenumberTable(ProgramStore::document(), QStringLiteral("T_Week"));
    transaction.commit();
}

}  // namespace SpecialPrograms
