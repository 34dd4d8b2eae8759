#pragma once
#include "whenruns/DayResolution.h"

#include <QDate>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

// 年間チェック: what in the year programs of a 年度 is likely a mistake,
// each finding with its circuit and days, and the room left in the store.
// Written out as text for a terminal or as one JSON object, as the day
// report is: {"schoolYear", "title", "circuits": [1, …], "findings": [{"kind":
// "holiday-runs" | "empty-special" | "dated-outside" | "dated-and-every-year",
// "circuit", "days": ["2028-05-03", …], "holiday", "special", "name",
// "entries": [{"entry": "dated" | "every-year", "special"}], "text"}], "room":
// {"weekAndSpecial", "weekAndSpecialCapacity", "dated", "datedCapacity"}};
// a key that does not belong to the finding's kind is null.
namespace Review {

enum class FindingKind {
    HolidayRuns,        // a national holiday on which the week programs still run
    EmptySpecial,       // a year entry's special number holds no programs on its circuit
    DatedOutside,       // dated entries of another 年度
    DatedAndEveryYear,  // a dated and an every-year entry on one day
};

struct Finding {
    FindingKind kind = FindingKind::HolidayRuns;
    int circuit = 0;
    QList<QDate> days;                  // ascending
    QString holiday;                    // HolidayRuns: the holiday's name
    int special = 0;                    // EmptySpecial
    QString name;                       // EmptySpecial: its 日課 name, if it has one
    QList<WhenRuns::EntryRef> entries;  // DatedAndEveryYear: dated first
};

// Shown, not counted as a finding.
struct RoomLeft {
    int weekAndSpecial = 0;  // of 900
    int dated = 0;           // of 500
};

struct YearReview {
    int schoolYear = 0;
    QList<int> circuits;      // the circuits looked at
    QList<Finding> findings;  // by circuit, then kind
    RoomLeft room;
};

// The review of the configured circuits (or of `circuit` alone) for a
// 年度 of 2000..2098; names: 日課 names by special number.
YearReview ReviewYear(const WhenRuns::Schedule& schedule, int schoolYear, int circuit = 0,
                      const QMap<int, QString>& names = {});

// One line without the circuit, e.g.
// "2028年4月29日（土） 昭和の日: 祝日ですが週間プログラム（土曜日）が実行されます。".
QString findingText(const Finding& finding, int schoolYear);
QString reviewText(const YearReview& review);
QJsonObject reviewJson(const YearReview& review);

}  // namespace Review
