#include "whenruns/Schedule.h"

#include "store/BulkInsert.h"
#include "store/SettingTable.h"

#include <tuple>

namespace WhenRuns {

namespace {

const QString kRowFields =
    QStringLiteral("YobiON, YobiOFF, TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, Repeat, ChimeNO");

// The nine row fields starting at column `first`.
ProgramLists::WeekRow weekRow(const IntRow& row, int first)
{
    return ProgramLists::WeekRow{row.at(first),     row.at(first + 1), row.at(first + 2),
                                 row.at(first + 3), row.at(first + 4), row.at(first + 5),
                                 row.at(first + 6), row.at(first + 7), row.at(first + 8)};
}

auto key(const ProgramLists::WeekRow& r)
{
    return std::tie(r.yobiOn, r.yobiOff, r.onH, r.onM, r.onS, r.offH, r.offM, r.repeat, r.chime);
}

QList<YearEntry> readYearEntries(const QString& sql, bool dated)
{
    QList<YearEntry> entries;
    const int shift = dated ? 1 : 0;
    ForEachIntRow(sql, {}, [&](const IntRow& row) {
        entries << YearEntry{row.at(0), dated ? row.at(1) : -1, row.at(1 + shift), row.at(2 + shift),
                             row.at(3 + shift)};
    });
    return entries;
}

}  // namespace

bool rowBefore(const ProgramLists::WeekRow& a, const ProgramLists::WeekRow& b)
{
    return key(a) < key(b);
}

Schedule ReadSchedule()
{
    Schedule schedule;
    const SettingTable settings = ReadSettingTable();
    for (int circuit = 1; circuit <= 8; ++circuit)
        schedule.circuits[circuit] = CircuitInfo{settings[circuit].Program, settings[circuit].PulseTime};

    ForEachIntRow(QStringLiteral("SELECT CircuitNO, SpecialNO, %1 FROM T_Week ORDER BY rowid").arg(kRowFields), {},
                  [&](const IntRow& row) {
                      schedule.programs << StoredProgram{row.at(0), row.at(1), weekRow(row, 2)};
                  });

    schedule.dated = readYearEntries(
        QStringLiteral("SELECT CircuitNO, Year, Month, Day, SpecialNO FROM T_Year ORDER BY rowid"), true);
    schedule.everyYear =
        readYearEntries(QStringLiteral("SELECT CircuitNO, Month, Day, SpecialNO FROM T_YearE ORDER BY rowid"), false);
    return schedule;
}

QList<ProgramLists::WeekRow> ReadWeekRows(int circuit)
{
    QList<ProgramLists::WeekRow> rows;
    ForEachIntRow(
        QStringLiteral("SELECT %1 FROM T_Week WHERE CircuitNO = ? AND SpecialNO = 0 ORDER BY rowid").arg(kRowFields),
        {circuit}, [&](const IntRow& row) { rows << weekRow(row, 0); });
    return rows;
}

}  // namespace WhenRuns
