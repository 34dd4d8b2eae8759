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
                       [=](const StoredProgram& p) { return p.circuit == circuit && p.special == special; });
}

// A special program has no days of its own: it starts on the date it runs.
// A period's end day becomes the day its end falls on, so that a period
// whose end is before its start on the same day ends the next day.
ProgramLists::WeekRow onDay(ProgramLists::WeekRow row, int weekday, bool special, int type)
{
    if (special) {
        row.yobiOn = weekday;
        row.yobiOff = weekday;
    }
    if (hasPeriod(type))
        row.yobiOff = (row.yobiOn + periodEndSecond(row) / SecondsPerDay) % 7;
    else if (special)
        row.yobiOff = 0;
    return row;
}

// The programs that start on the date under `source`; none for 停止 and
// for a conflict.
QList<DayProgram> ownPrograms(const Schedule& schedule, int circuit, int type, const DaySource& source)
{
    QList<DayProgram> programs;
    if (source.kind == SourceKind::Week) {
        for (const StoredProgram& p : schedule.programs)
            if (p.circuit == circuit && p.special == 0 && p.row.yobiOn == source.weekday)
                programs << DayProgram{onDay(p.row, source.weekday, false, type), false};
    } else if (source.kind == SourceKind::Special) {
        for (const StoredProgram& p : schedule.programs)
            if (p.circuit == circuit && p.special == source.special)
                programs << DayProgram{onDay(p.row, source.weekday, true, type), false};
    }
    std::stable_sort(programs.begin(), programs.end(), [type](const DayProgram& a, const DayProgram& b) {
        const int aEnd = hasPeriod(type) ? periodEndSecond(a.row) : 0;
        const int bEnd = hasPeriod(type) ? periodEndSecond(b.row) : 0;
        return std::make_tuple(startSecond(a.row), aEnd, a.row.repeat, a.row.chime)
            < std::make_tuple(startSecond(b.row), bEnd, b.row.repeat, b.row.chime);
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

int startSecond(const ProgramLists::WeekRow& row)
{
    return row.onH * 3600 + row.onM * 60 + row.onS;
}

int periodEndSecond(const ProgramLists::WeekRow& row)
{
    const int days = ((row.yobiOff - row.yobiOn) % 7 + 7) % 7;
    const int end = days * SecondsPerDay + row.offH * 3600 + row.offM * 60;
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
        if (info.program == 0)
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
