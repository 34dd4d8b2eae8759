#include "whenruns/Schedule.h"

#include "store/ScheduleModel.h"
#include "store/SettingTable.h"

#include <tuple>

namespace WhenRuns {

namespace {

auto key(const WeekRow& r)
{
    return std::tie(r.YobiON, r.YobiOFF, r.TimeONH, r.TimeONM, r.TimeONS, r.TimeOFFH, r.TimeOFFM, r.Repeat, r.ChimeNO);
}

QList<YearEntry> yearEntries(const QList<YearRow>& rows, bool dated)
{
    QList<YearEntry> entries;
    entries.reserve(rows.size());
    for (const YearRow& row : rows)
        entries << YearEntry{row.CircuitNO, dated ? row.Year : -1, row.Month, row.Day, row.SpecialNO};
    return entries;
}

}  // namespace

bool rowBefore(const WeekRow& a, const WeekRow& b)
{
    return key(a) < key(b);
}

Schedule ReadSchedule(ScheduleDocument& document)
{
    Schedule schedule;
    const SettingTable settings = ReadSettingTable(document);
    for (int circuit = 1; circuit <= 8; ++circuit)
        schedule.circuits[circuit] = CircuitInfo{settings[circuit].Program, settings[circuit].PulseTime};
    schedule.programs = ScheduleModel::weekRows(document, ScheduleModel::Order::Stored);
    schedule.dated = yearEntries(ScheduleModel::datedEntries(document, ScheduleModel::Order::Stored), true);
    schedule.everyYear = yearEntries(ScheduleModel::everyYearEntries(document, ScheduleModel::Order::Stored), false);
    return schedule;
}

QList<WeekRow> ReadWeekRows(ScheduleDocument& document, int circuit)
{
    return ScheduleModel::weekProgramsOf(document, circuit);
}

}  // namespace WhenRuns
