#pragma once
#include <QList>
#include <QString>
#include <optional>

class ScheduleDocument;

// Bells from a timetable (時程から作成): a bell at the start and the end of
// every period, and a pre-bell (予鈴) some minutes before every start, added
// as time-signal or chime programs of one circuit.
namespace Bells {

// Minutes of the day, 0..1439.
struct Period {
    int start = 0, end = 0;
};

// "H:MM" (0:00..23:59, the hour with or without a leading zero) as minutes.
std::optional<int> parseTime(const QString& text);
// Minutes of the day as "H:MM".
QString timeText(int minute);

// Each period ends after it starts and the next starts no earlier than that
// end; an empty list is not a timetable.
bool inOrder(const QList<Period>& periods);
// The index of the first period that ends before it starts, as one running
// past midnight would; -1 when none does.
qsizetype firstPastMidnight(const QList<Period>& periods);

// "H:MM-H:MM[,H:MM-H:MM...]" in order (see inOrder); nullopt for anything
// else.
std::optional<QList<Period>> parsePeriods(const QString& text);

// A timetable typed or pasted as a whole: its periods, or why it is none.
struct TypedTimetable {
    QList<Period> periods;
    QString error;  // in Japanese, naming the period; empty when read
};
// The periods of parsePeriods written as people type them: full-width
// digits and colons; - － ‐ − – ～ 〜 ~ or blanks (two spreadsheet cells)
// between a start and its end; , 、 ， blanks or line breaks between periods.
TypedTimetable parseTimetableText(const QString& text);

// A regular day: `count` periods of `length` minutes from `firstStart`,
// `breakLength` minutes apart, the break after period `lunchAfter` (1..;
// 0 for none) `lunchLength` minutes long instead. Nullopt when the day
// would run past 23:59 or a length is not positive.
struct QuickFill {
    int firstStart = 8 * 60 + 50;
    int length = 50, breakLength = 10, count = 6;
    int lunchAfter = 4, lunchLength = 45;
};
std::optional<QList<Period>> FillPeriods(const QuickFill& fill);

// Where the bells go: days 0..6 or a group (Days codes), or special > 0.
struct Target {
    int day = 0;
    int special = 0;
};
// "平日", "毎日", "日".."土" or "P01".."P99"; nullopt for anything else.
std::optional<Target> parseTarget(const QString& text);

struct Tunes {
    int start = 1, end = 1, preBell = 1;
};

struct Request {
    int circuit = 0;
    Target target;
    QList<Period> periods;
    int preBell = 0;             // minutes, 0 for none
    std::optional<Tunes> tunes;  // chime circuits only; 1,1,1 when not given
};

// What a bell marks; the order is the precedence on one minute.
enum class Kind { End = 1, PreBell = 2, Start = 3 };

struct Bell {
    int minute = 0;
    int tune = 0;
    Kind kind = Kind::Start;
};
// One bell per minute, ascending: a start bell beats a pre-bell, which beats
// an end bell; a pre-bell before 0:00 is left out.
QList<Bell> BellTimes(const QList<Period>& periods, int preBell, const Tunes& tunes);

enum class Outcome { Added, OverCapacity, Refused };
struct Result {
    Outcome outcome = Outcome::Refused;
    int added = 0, skipped = 0;     // rows
    int addedBells = 0;             // bells new on at least one day
    int skippedBells = 0;           // bells held on every day already
    int needed = 0, remaining = 0;  // when over capacity
    QString reason;                 // when refused
};

// What AddBells would do, read from the store and changing nothing: every
// bell with the target's days (row day codes; 0 for a special program)
// that do not hold its time yet, and the rows that makes.
struct PlannedBell {
    Bell bell;
    QList<int> newDays;
    int heldDays = 0;
};
struct Plan {
    QList<PlannedBell> bells;
    int needed = 0, skipped = 0;  // rows
    int remaining = 0;            // week rows left
    bool fits() const { return needed <= remaining; }
};
Plan PlanBells(ScheduleDocument& document, const Request& request);

// Adds the bells as week rows in one transaction, every day of the
// target a row each. A time the circuit already holds there (any tune) is
// skipped; when the new rows do not all fit, nothing is added.
Result AddBells(ScheduleDocument& document, const Request& request);

}  // namespace Bells
