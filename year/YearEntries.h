#pragma once
#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>
#include <optional>

class ScheduleDocument;

// Year entries of a circuit: dated (two-digit Year) and every-year. SpecialNO 0 means 停止, 1..99 runs that special
// program.
namespace YearEntries {

// An entry in words: 「停止」 or 「特殊番号 N」.
QString EntryText(int special);
// Why days that need `toAdd` new dated entries cannot be set: the capacity
// and the room left.
QString CapacityRefusalText(ScheduleDocument& document, int toAdd);

// What a day holds for a circuit: its dated entry and the every-year entry
// on its month and day, each a special number (0 = 停止).
struct DayEntries {
    std::optional<int> dated;
    std::optional<int> everyYear;
    bool any() const { return dated || everyYear; }
};
// The entries of each of `count` days from `start` (29 February's
// every-year entry only in leap years).
QVector<DayEntries> EntriesOfDays(ScheduleDocument& document, int circuit, QDate start, int count);

// The special number stored for a day, if there is an entry.
std::optional<int> DatedEntry(ScheduleDocument& document, int circuit, QDate day);
std::optional<int> EveryYearEntry(ScheduleDocument& document, int circuit, int month, int day);

// What the date dialog does with each day of a run.
enum class Action { Clear, Stop, Special };

struct RunResult {
    int added = 0;
    bool capacityReached = false;  // the run stopped before a day that needed a new row
};

// Writes the run from..to day by day into the dated entries: Clear deletes a day's
// row, Stop and Special rewrite it or add one. Before each added row the
// capacity of 500 dated rows is checked; when it is reached the run stops
// and the days already written stay. One transaction; dated entries renumbered.
RunResult WriteDatedRun(ScheduleDocument& document, int circuit, QDate from, QDate to, Action action, int special);
// The same on the every-year entries by month and day; every-year entries are not limited.
void WriteEveryYearRun(ScheduleDocument& document, int circuit, QDate from, QDate to, Action action, int special);

// A set of single days (the national holidays of a year, the days a date
// rule gives) written as one: how many need a new row, how many hold an
// entry with another number, and how many already hold the number asked for.
struct DaysPlan {
    int toAdd = 0;
    int toReplace = 0;
    int unchanged = 0;
};
DaysPlan PlanDatedDays(ScheduleDocument& document, int circuit, const QList<QDate>& days, int special);
// The special numbers (0 = 停止) of every day of `days` that holds a dated
// entry of the circuit: one, or several where rows of the day (from a file)
// disagree, in the order of the rows.
QMap<QDate, QList<int>> DatedEntriesOn(ScheduleDocument& document, int circuit, const QList<QDate>& days);
// The same for the every-year entries on the days' months and days.
QMap<QDate, QList<int>> EveryYearEntriesOn(ScheduleDocument& document, int circuit, const QList<QDate>& days);
// Several numbers in words: 「停止・特殊番号 2」.
QString EntriesText(const QList<int>& specials);

// What becomes of a day that already holds an entry.
enum class OnExisting { Overwrite, Keep };

// Stores `special` (0 = 停止) on every day, all or nothing: when the rows
// to add would pass the capacity of 500 nothing is written and false is
// returned. A row already on a day is rewritten, or with Keep left as it
// is. One transaction; dated entries renumbered.
bool WriteDatedDays(ScheduleDocument& document, int circuit, const QList<QDate>& days, int special,
                    OnExisting existing = OnExisting::Overwrite);
// Deletes the circuit's dated entries on `days`; returns the rows deleted.
// One transaction; dated entries renumbered.
int ClearDatedDays(ScheduleDocument& document, int circuit, const QList<QDate>& days);

// Deletion: the two-digit years holding dated entries of the circuit,
// ascending, and whether it has every-year entries.
QList<int> YearsWithEntries(ScheduleDocument& document, int circuit);
bool HasEveryYearEntries(ScheduleDocument& document, int circuit);
// Each deletes rows of this circuit only, renumbers and returns the number
// of rows deleted.
int DeleteAllEntries(ScheduleDocument& document, int circuit);
int DeleteYear(ScheduleDocument& document, int circuit, int twoDigitYear);
int DeleteEveryYearEntries(ScheduleDocument& document, int circuit);

}  // namespace YearEntries
