#include "special/SpecialPrograms.h"

#include "store/ScheduleDocument.h"
#include "store/WeekPrograms.h"

namespace SpecialPrograms {

namespace {

ScheduleModel::WeekMatch programsOf(int circuit, int special)
{
    ScheduleModel::WeekMatch match;
    match.CircuitNO = circuit;
    match.SpecialNO = special;
    return match;
}

}  // namespace

int ProgramCount(ScheduleDocument& document, int circuit, int special)
{
    return ScheduleModel::countWeekRows(document, programsOf(circuit, special));
}

int YearEntriesUsing(ScheduleDocument& document, int circuit, int special)
{
    return ScheduleModel::entriesRunning(document, circuit, special);
}

QList<int> SpecialNumbersInUse(ScheduleDocument& document, int circuit)
{
    return ScheduleModel::specialNumbersInUse(document, circuit);
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
    ScheduleModel::WeekMatch match = programsOf(circuit, special);
    match.ID = id;
    ScheduleModel::deleteWeekRows(document, match);
    const bool lastGone = ProgramCount(document, circuit, special) == 0;
    if (lastGone)
        ScheduleModel::deleteEntriesRunning(document, circuit, special);
    transaction.commit();
    return lastGone;
}

void DeleteAllSpecialPrograms(ScheduleDocument& document, int circuit, int special)
{
    if (special < 1)
        return;
    Transaction transaction(document);
    ScheduleModel::deleteWeekRows(document, programsOf(circuit, special));
    ScheduleModel::deleteEntriesRunning(document, circuit, special);
    transaction.commit();
}

}  // namespace SpecialPrograms
