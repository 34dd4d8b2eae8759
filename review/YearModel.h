#pragma once
#include "whenruns/Schedule.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

// What a circuit runs on each day of a 年度, laid out as the year calendar
// draws it: twelve month grids from April, weeks from Sunday.
namespace Review {

enum class DayKind { Week, Stop, Special, Conflict };

struct CalendarDay {
    QDate date;
    DayKind kind = DayKind::Week;
    int special = 0;   // Special: 1..99
    QString label;     // "停止", "特3", "競合"; empty for the week programs
    QString name;      // Special: its 日課 name, if it has one
    bool runs = true;  // false when nothing starts that day (停止, an empty special or weekday, a conflict)
    QString holiday;   // the national holiday's official name
    int band = -1;     // the break (index into YearModel::breaks) the day lies in
    int month = 0;     // 0 April … 11 March
    int row = 0;       // week of the month grid, 0..5
    int column = 0;    // 0 日 … 6 土
};

// A break: days on which nothing runs, from a 停止 to a 停止, holding at
// least two of them (a summer holiday entered on weekdays only is one
// break when its weekends run nothing).
struct Break {
    QDate first;
    QDate last;
};

struct YearModel {
    int schoolYear = 0;
    int circuit = 0;
    int type = 0;
    QList<CalendarDay> days;  // every day of the 年度 in date order
    QList<Break> breaks;
    QMap<int, QString> specials;  // the special numbers shown, with their 日課 names (for the legend)
};

// The circuit's 年度 (2000..2098); names: 日課 names by special number.
YearModel BuildYearModel(const WhenRuns::Schedule& schedule, int circuit, int schoolYear,
                         const QMap<int, QString>& names = {});

// Why the calendar of the circuit and 年度 cannot be drawn, or empty.
QString CalendarRefusal(const WhenRuns::Schedule& schedule, int circuit, int schoolYear);

// A holiday's name for a small cell: "勤労感謝", "振休", "即位礼".
QString shortHolidayName(const QString& name);

// The legend's name of a kind: "週間プログラム", "停止", "特殊番号", "競合".
QString kindName(DayKind kind);

}  // namespace Review
