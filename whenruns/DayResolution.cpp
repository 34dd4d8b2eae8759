#include "whenruns/DayResolution.h"

#include <algorithm>
#include <tuple>

namespace WhenRuns {

namespace {

QList<EntryRef> entriesOf(const Schedule& schedule, int circuit, const QDate& date)
{
    QList<EntryRef> found;
    auto add = [&found](EntryKind kind, int special) {
        const EntryRef entry{kind, special};
        const bool seen = std::any_of(found.cbegin(), found.cend(), [&entry](const EntryRef& e) {
            return e.entry == entry.entry && e.special == entry.special;
        });
        if (!seen)
            found << entry;
    };
    for (const YearEntry& e : schedule.dated)
        if (e.circuit == circuit && e.year + 2000 == date.year() && e.month == date.month() && e.day == date.day())
            add(EntryKind::Dated, e.special);
    for (const YearEntry& e : schedule.everyYear)
        if (e.circuit == circuit && e.month == date.month() && e.day == date.day())
            add(EntryKind::EveryYear, e.special);
    return found;
}

bool holdsPrograms(const Schedule& schedule, int circuit, int special)
{
    return std::any_of(schedule.programs.cbegin(), schedule.programs.cend(),
                       [=](const WeekRow& p) { return p.CircuitNO == circuit && p.SpecialNO == special; });
}

// A special program has no days of its own: it starts on the date it runs.
// A period's end day becomes the day its end falls on, so that a period
// whose end is before its start on the same day ends the next day.
WeekRow onDay(WeekRow row, int weekday, bool special, int type)
{
    if (special) {
        row.YobiON = weekday;
        row.YobiOFF = weekday;
    }
    if (hasPeriod(type))
        row.YobiOFF = (row.YobiON + periodEndSecond(row) / SecondsPerDay) % 7;
    else if (special)
        row.YobiOFF = 0;
    return row;
}

// The programs that start on the date under `source`; none for 停止 and
// for a conflict.
QList<DayProgram> ownPrograms(const Schedule& schedule, int circuit, int type, const DaySource& source)
{
    QList<DayProgram> programs;
    if (source.kind == SourceKind::Week) {
        for (const WeekRow& p : schedule.programs)
            if (p.CircuitNO == circuit && p.SpecialNO == 0 && p.YobiON == source.weekday)
                programs << DayProgram{onDay(p, source.weekday, false, type), false};
    } else if (source.kind == SourceKind::Special) {
        for (const WeekRow& p : schedule.programs)
            if (p.CircuitNO == circuit && p.SpecialNO == source.special)
                programs << DayProgram{onDay(p, source.weekday, true, type), false};
    }
    std::stable_sort(programs.begin(), programs.end(), [type](const DayProgram& a, const DayProgram& b) {
        const int aEnd = hasPeriod(type) ? periodEndSecond(a.row) : 0;
        const int bEnd = hasPeriod(type) ? periodEndSecond(b.row) : 0;
        return std::make_tuple(startSecond(a.row), aEnd, a.row.Repeat, a.row.ChimeNO)
            < std::make_tuple(startSecond(b.row), bEnd, b.row.Repeat, b.row.ChimeNO);
    });
    return programs;
}

// Periods of the day before that are still running after midnight.
QList<DayProgram> continuing(const Schedule& schedule, int circuit, int type, const QDate& date)
{
    QList<DayProgram> running;
    if (!hasPeriod(type))
        return running;
    const QDate before = date.addDays(-1);
    for (DayProgram program : ownPrograms(schedule, circuit, type, ResolveSource(schedule, circuit, before))) {
        if (periodEndSecond(program.row) > SecondsPerDay) {
            program.fromPreviousDay = true;
            running << program;
        }
    }
    return running;
}

}  // namespace

int weekdayOf(const QDate& date)
{
    return date.dayOfWeek() % 7;
}

int startSecond(const WeekRow& row)
{
    return row.TimeONH * 3600 + row.TimeONM * 60 + row.TimeONS;
}

int periodEndSecond(const WeekRow& row)
{
    const int days = ((row.YobiOFF - row.YobiON) % 7 + 7) % 7;
    const int end = days * SecondsPerDay + row.TimeOFFH * 3600 + row.TimeOFFM * 60;
    return end < startSecond(row) ? end + SecondsPerDay : end;
}

DaySource ResolveSource(const Schedule& schedule, int circuit, const QDate& date)
{
    DaySource source;
    source.weekday = weekdayOf(date);
    const QList<EntryRef> entries = entriesOf(schedule, circuit, date);
    if (entries.isEmpty())
        return source;
    if (entries.size() > 1) {
        source.kind = SourceKind::Conflict;
        source.entries = entries;
        return source;
    }
    source.entry = entries.first().entry;
    source.special = entries.first().special;
    if (source.special == 0) {
        source.kind = SourceKind::Stop;
        return source;
    }
    source.kind = SourceKind::Special;
    source.hasPrograms = holdsPrograms(schedule, circuit, source.special);
    return source;
}

DayPreview ResolveDay(const Schedule& schedule, const QDate& date)
{
    DayPreview preview;
    preview.date = date;
    for (int circuit = 1; circuit <= 8; ++circuit) {
        const CircuitInfo& info = schedule.circuits[circuit];
        if (info.program == TypeNone)
            continue;
        CircuitDay day;
        day.circuit = circuit;
        day.type = info.program;
        day.pulseTime = info.pulseTime;
        day.source = ResolveSource(schedule, circuit, date);
        day.programs = continuing(schedule, circuit, info.program, date)
            + ownPrograms(schedule, circuit, info.program, day.source);
        preview.circuits << day;
    }
    return preview;
}

}  // namespace WhenRuns
