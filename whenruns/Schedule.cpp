#include "whenruns/Schedule.h"
#include "store/ProgramStore.h"

#include "store/BulkInsert.h"
#include "store/SettingTable.h"

#include <tuple>

namespace WhenRuns {

namespace {

auto key(const WeekRow& r)
{
    return std::tie(r.YobiON, r.YobiOFF, r.TimeONH, r.TimeONM, r.TimeONS, r.TimeOFFH, r.TimeOFFM, r.Repeat, r.ChimeNO);
}

QList<YearEntry> readYearEntries(const QString& sql, bool dated)
{
    QList<YearEntry> entries;
    const int shift = dated ? 1 : 0;
    ForEachIntRow(ProgramStore::document(), sql, {}, [&](const IntRow& row) {
        entries << YearEntry{row.at(0), dated ? row.at(1) : -1, row.at(1 + shift), row.at(2 + shift),
                             row.at(3 + shift)};
    });
    return entries;
}

}  // namespace

bool rowBefore(const WeekRow& a, const WeekRow& b)
{
    return key(a) < key(b);
}

Schedule ReadSchedule()
{
    Schedule schedule;
    const SettingTable settings = ReadSettingTable(ProgramStore::document());
    for (int circuit = 1; circuit <= 8; ++circuit)
        schedule.circuits[circuit] = CircuitInfo{settings[circuit].Program, settings[circuit].PulseTime};

    ForEachIntRow(ProgramStore::document(), QStringLiteral("SELECT %1 FROM T_Week ORDER BY rowid").arg(WeekRowColumns()), {},
                  [&](const IntRow& row) { schedule.programs << WeekRowAt(row); });

    schedule.dated = readYearEntries(
        QStringLiteral("SELECT CircuitNO, Year, Month, Day, SpecialNO FROM T_Year ORDER BY rowid"), true);
    schedule.everyYear =
        readYearEntries(QStringLiteral("SELECT CircuitNO, Month, Day, SpecialNO FROM T_YearE ORDER BY rowid"), false);
    return schedule;
}

QList<WeekRow> ReadWeekRows(int circuit)
{
    QList<WeekRow> rows;
    ForEachIntRow(ProgramStore::document(), QStringLiteral("SELECT %1 FROM T_Week WHERE CircuitNO = ? AND SpecialNO = 0 ORDER BY rowid")
                      .arg(WeekRowColumns()),
                  {circuit}, [&](const IntRow& row) { rows << WeekRowAt(row); });
    return rows;
}

}  // namespace WhenRuns
