#pragma once
#include "store/ProgramTypes.h"
#include "whenruns/Schedule.h"

#include <QDate>
#include <QList>

// What each configured circuit runs on one date: its week programs for the
// weekday, or what a dated or every-year entry puts in
// their place. The editor has never said which of a dated and an
// every-year entry of the same date the device follows, so both are
// reported as a conflict rather than one being picked.
namespace WhenRuns {

enum class SourceKind { Week, Special, Stop, Conflict };
enum class EntryKind { Dated, EveryYear };

struct EntryRef {
    EntryKind entry = EntryKind::Dated;
    int special = 0;  // 0 停止
};

struct DaySource {
    SourceKind kind = SourceKind::Week;
    int weekday = 0;                     // 0 日 … 6 土
    int special = 0;                     // Special (1..99) and Stop (0)
    EntryKind entry = EntryKind::Dated;  // Special and Stop
    bool hasPrograms = true;             // Special: false when the number holds no programs
    QList<EntryRef> entries;             // Conflict: every entry of the date, dated first
};

// A program as it runs on a date. Special programs carry the date's weekday
// as start day and, for periods, the day their end falls on.
struct DayProgram {
    WeekRow row;
    bool fromPreviousDay = false;  // a period that began the evening before
};

struct CircuitDay {
    int circuit = 0;
    int type = 0;
    int pulseTime = 0;
    DaySource source;
    QList<DayProgram> programs;  // programs from the previous day first, then by start time
};

struct DayPreview {
    QDate date;
    QList<CircuitDay> circuits;  // configured circuits only, ascending
};

// 0 日 … 6 土.
int weekdayOf(const QDate& date);

DaySource ResolveSource(const Schedule& schedule, int circuit, const QDate& date);
DayPreview ResolveDay(const Schedule& schedule, const QDate& date);

constexpr int SecondsPerDay = 24 * 60 * 60;

// Timers and repeats run over a period; time signals and chimes do not.
inline bool hasPeriod(int type)
{
    return type == TypeTimer || type == TypeRepeat;
}

int startSecond(const WeekRow& row);
// Seconds from the midnight that begins the start day to the period's end.
// An end before the start on the same day is taken as the next day, as
// for special programs.
int periodEndSecond(const WeekRow& row);

}  // namespace WhenRuns
