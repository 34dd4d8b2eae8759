#pragma once
#include "week/EntryJob.h"

#include <QList>

class ScheduleDocument;

// Writing, deleting and copying week and special programs. Every routine runs in
// one transaction and renumbers the week rows before it commits.
namespace WeekEditing {

// Melody lengths in seconds, 1..7; 0 for any other number.
int MelodyLength(int melody);

// The start time that makes a melody end at h:m:s (adjusted = true), or
// the time that takes that back (adjusted = false); wraps through midnight.
struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
};
TimeOfDay AdjustChimeEnd(TimeOfDay time, int melody, bool adjusted);

// End day of a group timer row starting on `day`: the next day (Sunday
// after Saturday) when the period runs past midnight.
int GroupEndDay(int day, int onH, int onM, int offH, int offM);

enum class WriteResult { Written, Refused };

// A time-signal (type 1) or chime (type 2) program from the entry dialog.
struct TimeProgram {
    int hour = 0, minute = 0, second = 0, chime = 0;
};
WriteResult WriteTimeProgram(ScheduleDocument& document, const EntryJob& request, int programType,
                             const TimeProgram& program);

// A timer (type 3) or repeat (type 4) program from the entry dialog.
struct TimerProgram {
    int onH = 0, onM = 0, offH = 0, offM = 0, repeat = 0;
    int endDay = 0;  // single-day jobs only
};
WriteResult WriteTimerProgram(ScheduleDocument& document, const EntryJob& request, const TimerProgram& program);

// Deletes the program the request describes: the row `ID` for
// a single day, or the program on every day of 平日 / 毎日.
void DeleteWeekProgram(ScheduleDocument& document, const EntryJob& request, int day);
// Deletes every week program of a circuit (special programs stay).
int DeleteAllWeekPrograms(ScheduleDocument& document, int circuit);

// Copy sources: days holding week programs of the circuit (all of them when
// exceptDay is -1), special numbers other than `exceptSpecial`.
QList<int> CopySourceDays(ScheduleDocument& document, int circuit, int exceptDay);
QList<int> CopySourceSpecials(ScheduleDocument& document, int circuit, int exceptSpecial);

struct CopySource {
    bool special = false;
    int value = 0;  // day code or special number
};
struct CopyTarget {
    int day = 0;      // 0..6, for a week target
    int special = 0;  // 0 = the week target `day`
};
struct CopyResult {
    int added = 0;
    bool capacityReached = false;
    bool stoppedAtFirstRow = false;
};
// Copies the source rows that have no row of equal time at the target; the
// capacity is checked before every added row.
CopyResult CopyPrograms(ScheduleDocument& document, int circuit, const CopySource& source, const CopyTarget& target);

// The history's name of a change to one circuit's week programs (special 0)
// or special programs: 「週間プログラムの削除（回路1）」,
// 「特殊プログラムの追加（回路1・特殊番号3）」.
QString StepName(const QString& change, int circuit, int special);
// The same for the entry dialogs' OK: an addition or a change.
QString EntryStepName(const EntryJob& request);

}  // namespace WeekEditing
