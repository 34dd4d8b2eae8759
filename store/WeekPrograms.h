#pragma once
#include "store/WeekRow.h"

#include <QList>
#include <optional>

class ScheduleDocument;

// The week and special programs as typed rows, for the routines that write
// them. Routines that write join the running transaction or run in one of
// their own; only those that say so renumber. All throw StoreError.
namespace ScheduleModel {

// Which week rows a routine means: every given column equal, and with
// weekdaysOnly only rows of Monday..Friday.
struct WeekMatch {
    std::optional<int> ID, CircuitNO, SpecialNO, YobiON, YobiOFF, TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, Repeat,
        ChimeNO;
    bool weekdaysOnly = false;
};

// In which order matching rows come; rows equal in it stay in stored order.
enum class WeekSort {
    Stored,
    Numbered,
    TimeThenDay,         // start to the second, day
    MinuteThenDay,       // start to the minute, day
    MinuteDayRepeat,     // start to the minute, day, repeat interval
    Times,               // start, end
    ChimeThenDay,        // start, tune, day
    PeriodRepeatThenDay  // start, end, tune, repeat interval, day
};

QList<WeekRow> weekRowsMatching(ScheduleDocument& document, const WeekMatch& match, WeekSort sort);
bool hasWeekRow(ScheduleDocument& document, const WeekMatch& match);
int countWeekRows(ScheduleDocument& document, const WeekMatch& match);
std::optional<WeekRow> weekRowById(ScheduleDocument& document, int id);

// The special numbers the circuit uses, ascending, each once.
QList<int> specialNumbersInUse(ScheduleDocument& document, int circuit);

// Adds the row as it is (its ID too); not renumbered.
void addWeekRow(ScheduleDocument& document, const WeekRow& row);
// Deletes the matching rows and renumbers; the number deleted.
int deleteWeekRows(ScheduleDocument& document, const WeekMatch& match);
void renumberWeekRows(ScheduleDocument& document);

// Which columns writeWeekRows sets on a row it reuses.
enum class WeekColumns {
    Time,   // circuit, special, day, start with seconds, tune
    Period  // circuit, special, repeat interval, days, start, end
};
// Writes `rows` over the rows matching `reused` (taken in `sort` order), one
// for one, and adds those left over. When the added rows would pass the
// capacity nothing is written and false is returned. Not renumbered.
bool writeWeekRows(ScheduleDocument& document, const WeekMatch& reused, WeekSort sort, WeekColumns columns,
                   const QList<WeekRow>& rows);

// The group view's working copy: replaced by `rows` (one transaction) and
// read back as it holds them.
QList<WeekRow> replaceGroupView(ScheduleDocument& document, const QList<WeekRow>& rows);

// The dated and every-year entries that run the circuit's special number;
// deleting them renumbers both kinds.
int entriesRunning(ScheduleDocument& document, int circuit, int special);
void deleteEntriesRunning(ScheduleDocument& document, int circuit, int special);

}  // namespace ScheduleModel
