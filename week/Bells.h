#pragma once
#include <QList>
#include <QString>
#include <optional>

// Bells from a timetable (時程から作成): a bell at the start and the end of
// every period, and a pre-bell (予鈴) some minutes before every start, added
// as time-signal or chime programs of one circuit.
namespace Bells {

// Minutes of the day, 0..1439.
struct Period {
    int start = 0, end = 0;
};

// "H:MM-H:MM[,H:MM-H:MM...]": ascending, not overlapping, each ending after
// it starts; nullopt for anything else (an empty list too).
std::optional<QList<Period>> parsePeriods(const QString& text);

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

struct Bell {
    int minute = 0;
    int tune = 0;
};
// One bell per minute, ascending: a start bell beats a pre-bell, which beats
// an end bell; a pre-bell before 0:00 is left out.
QList<Bell> BellTimes(const QList<Period>& periods, int preBell, const Tunes& tunes);

enum class Outcome { Added, OverCapacity, Refused };
struct Result {
    Outcome outcome = Outcome::Refused;
    int added = 0, skipped = 0;     // rows
    int needed = 0, remaining = 0;  // when over capacity
    QString reason;                 // when refused
};

// Adds the bells as rows of T_Week in one transaction, every day of the
// target a row each. A time the circuit already holds there (any tune) is
// skipped; when the new rows do not all fit, nothing is added.
Result AddBells(const Request& request);

}  // namespace Bells
