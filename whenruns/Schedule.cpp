#include "whenruns/Schedule.h"

#include "store/ProgramStore.h"
#include "store/SettingTable.h"

#include <tuple>

namespace WhenRuns {

namespace {

const QString kRowFields =
    QStringLiteral("YobiON, YobiOFF, TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, Repeat, ChimeNO");

// The nine row fields starting at column `first`.
ProgramLists::WeekRow rowAt(const QSqlQuery& query, int first)
{
    auto at = [&query, first](int i) { return query.value(first + i).toInt(); };
    return ProgramLists::WeekRow{at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8)};
}

auto key(const ProgramLists::WeekRow& r)
{
    return std::tie(r.yobiOn, r.yobiOff, r.onH, r.onM, r.onS, r.offH, r.offM, r.repeat, r.chime);
}

QList<YearEntry> readYearEntries(const QString& sql, bool dated)
{
    QList<YearEntry> entries;
    QSqlQuery query = ProgramStore::exec(sql);
    while (query.next()) {
        const int year = dated ? query.value(1).toInt() : -1;
        const int shift = dated ? 1 : 0;
        entries << YearEntry{query.value(0).toInt(), year, query.value(1 + shift).toInt(),
                             query.value(2 + shift).toInt(), query.value(3 + shift).toInt()};
    }
    return entries;
}

}  // namespace

bool rowBefore(const ProgramLists::WeekRow& a, const ProgramLists::WeekRow& b)
{
    return key(a) < key(b);
}

bool sameRow(const ProgramLists::WeekRow& a, const ProgramLists::WeekRow& b)
{
    return key(a) == key(b);
}

Schedule ReadSchedule()
{
    Schedule schedule;
    const SettingTable settings = ReadSettingTable();
    for (int circuit = 1; circuit <= 8; ++circuit)
        schedule.circuits[circuit] = CircuitInfo{settings[circuit].Program, settings[circuit].PulseTime};

    QSqlQuery week = ProgramStore::exec(
        QStringLiteral("SELECT CircuitNO, SpecialNO, %1 FROM T_Week ORDER BY CircuitNO, SpecialNO, %1, rowid")
            .arg(kRowFields));
    while (week.next())
        schedule.programs << StoredProgram{week.value(0).toInt(), week.value(1).toInt(), rowAt(week, 2)};

    schedule.dated = readYearEntries(
        QStringLiteral("SELECT CircuitNO, Year, Month, Day, SpecialNO FROM T_Year "
                       "ORDER BY CircuitNO, Year, Month, Day, rowid"),
        true);
    schedule.everyYear = readYearEntries(
        QStringLiteral("SELECT CircuitNO, Month, Day, SpecialNO FROM T_YearE ORDER BY CircuitNO, Month, Day, rowid"),
        false);
    return schedule;
}

QList<ProgramLists::WeekRow> ReadWeekRows(int circuit)
{
    QList<ProgramLists::WeekRow> rows;
    QSqlQuery query = ProgramStore::exec(
        QStringLiteral("SELECT %1 FROM T_Week WHERE CircuitNO = ? AND SpecialNO = 0 ORDER BY %1, rowid")
            .arg(kRowFields),
        {circuit});
    while (query.next())
        rows << rowAt(query, 0);
    return rows;
}

}  // namespace WhenRuns
