#pragma once
#include "plan/SchoolPlan.h"
#include "settings/SpecialNames.h"

#include <QDate>
#include <QMap>

#include <optional>

// What setting a circuit's dated entries from a school's 行事予定 changes,
// worked out before anything is written: per 日課 name the days new,
// replaced, kept and cleared, the days that hold another entry, the room
// left, and the writes themselves.
namespace Plan {

using SpecialNames::DutyChoice;

// Dated entries of every circuit together.
constexpr int kDatedCapacity = 500;

// One dated row of the circuit as the store holds it (special 0: 停止).
// A day may hold several rows where a file gave it more than one.
struct DatedEntry {
    QDate date;
    int special = 0;
};

struct CurrentEntries {
    QList<DatedEntry> entries;  // the circuit's dated rows
    int rowsInAll = 0;          // the dated rows of every circuit, these included
};

// What becomes of a day that holds an entry other than the one chosen.
enum class OnExisting { Overwrite, Keep };

struct NameChanges {
    QString name;  // folded
    int days = 0;
    std::optional<DutyChoice> choice;  // nullopt: none given, its days are left out
    int added = 0;                     // days without an entry that get one
    int replaced = 0;                  // days whose other entry is overwritten
    int kept = 0;                      // days left as they are (already so, another entry kept, nothing to clear)
    int cleared = 0;                   // days whose entry is cleared
};

// A day that holds another entry than its 日課 asks for.
struct Conflict {
    QDate date;
    QString name;
    QList<int> held;  // the day's rows (0: 停止), in the order given
    DutyChoice wanted;
};

// Clear deletes the day's rows; any other choice rewrites them, or adds
// one row where the day has none.
struct DayWrite {
    QDate date;
    DutyChoice choice;
};

// A special number without a name that takes its 日課's name.
struct NameToSet {
    int special = 0;
    QString name;
};

struct Changes {
    QList<NameChanges> names;   // each 日課 once, in table order
    QStringList unchosen;       // the 日課 names without a choice, in table order
    QList<Conflict> conflicts;  // by date, whatever the answer
    QList<DayWrite> writes;     // by date, for the answer given
    QList<NameToSet> namesToSet;
    QDate firstDay;  // of the writes; invalid when there is none
    int rowsBefore = 0;
    int rowsAfter = 0;

    int room() const { return kDatedCapacity - rowsAfter; }
    bool overCapacity() const { return rowsAfter > kDatedCapacity && rowsAfter > rowsBefore; }
};

// The changes the plan's days make to the circuit's dated entries under
// `choices` (by folded 日課 name), days holding another entry treated as
// `onExisting` says. `specialNames` are the names the special numbers have.
Changes planChanges(const SchoolPlan& plan, const QMap<QString, DutyChoice>& choices, const CurrentEntries& current,
                    OnExisting onExisting, const QMap<int, QString>& specialNames = {});

// The command's --map words ("短縮=1", "通常=なし", "行事=停止"), read
// against the table's 日課 names.
struct MapWords {
    QMap<QString, DutyChoice> choices;  // by folded name
    QStringList warnings;               // names the table does not have: a script kept from another year
    std::optional<QString> refusal;     // a word that is no map, or one name mapped two ways
};
MapWords readMapWords(const QStringList& words, const SchoolPlan& plan);

// The refusal of a command run with 日課 names left without --map.
QString unchosenText(const QStringList& names);

}  // namespace Plan
