#pragma once
#include "store/WeekRow.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class ScheduleDocument;

// The rows a program list grid shows: raw fields of the week rows (or of their working copy)
// plus the display texts 開始時刻, 終了時刻, 開始曜日, 終了曜日.
struct ProgramList {
    QStringList fields;
    QList<QVariantList> rows;
    // The ID of the week row each row stands for: its own, or in a group
    // view the program's row on the group's last day.
    QList<int> ids;

    int indexOf(const QString& field) const { return fields.indexOf(field); }
    QVariant value(int row, const QString& field) const;
};

// How a column routine reshapes a grid. A caption of "" keeps the caption.
struct ColumnChange {
    QString field;
    bool visible = false;
    QString caption;
    int widthTwips = 0;
};

struct GridColumns {
    enum class Grid { Keep, Hide, Show };
    Grid grid = Grid::Keep;
    QList<ColumnChange> changes;
};

namespace ProgramLists {

// " 8" for 8: the hour right-aligned in two characters.
QString hourText(int hour);
// " 8:05", or " 8:05.30" with seconds.
QString timeText(int hour, int minute);
QString timeText(int hour, int minute, int second);

// The week programs of a circuit for a day code (-1 none, 0..6 a day, 7
// 平日, 8 毎日). The group views rebuild the working copy with one row per program
// present on every day of the group. The circuit's type comes from
// CircuitSettings; circuit 0 gives no rows.
ProgramList BuildWeekList(ScheduleDocument& document, int circuit, int day);
ProgramList BuildSpecialList(ScheduleDocument& document, int circuit, int special);

// Column layouts; circuit 0 hides the grid.
GridColumns SetWeekGridColumns(ScheduleDocument& document, int circuit, int day);
GridColumns SetSpecialGridColumns(ScheduleDocument& document, int circuit);

// The programs the group walk lists, for rows already sorted by the group
// order. Exposed for tests; see BuildWeekList.
QList<WeekRow> CompleteRuns(const QList<WeekRow>& sorted, int programType, int groupDay);

}  // namespace ProgramLists
