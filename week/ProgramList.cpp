#include "week/ProgramList.h"

#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/WeekPrograms.h"
#include "week/Days.h"

using ScheduleModel::WeekMatch;
using ScheduleModel::WeekSort;

namespace {

// Field orders of the grids (the visible ones appear in this order).
const QStringList kChimeFields{"ID",      "CircuitNO", "SpecialNO", "Repeat",   "YobiON",  "TimeONH",  "TimeONM",
                               "TimeONS", "TimeOFFH",  "TimeOFFM",  "開始時刻", "YobiOFF", "終了時刻", "ChimeNO"};
const QStringList kDayFields{"ID",       "CircuitNO", "SpecialNO", "Repeat",   "YobiON",  "開始曜日",
                             "開始時刻", "YobiOFF",   "終了曜日",  "終了時刻", "TimeONH", "TimeONM",
                             "TimeONS",  "TimeOFFH",  "TimeOFFM",  "ChimeNO"};
const QStringList kGroupDayFields{"ID",       "CircuitNO", "SpecialNO", "Repeat",   "YobiON",   "TimeONH",
                                  "TimeONM",  "TimeONS",   "TimeOFFH",  "TimeOFFM", "開始曜日", "開始時刻",
                                  "終了曜日", "YobiOFF",   "終了時刻",  "ChimeNO"};
const QStringList kSpecialFields{"ID", "CircuitNO", "SpecialNO", "Repeat", "開始時刻", "終了時刻", "ChimeNO"};

int programTypeOf(ScheduleDocument& document, int circuit)
{
    return document.circuit(circuit).Program;
}

// One display value for `field` of `row`.
QVariant fieldValue(const WeekRow& row, const QString& field, bool withSeconds, int startDay)
{
    if (field == QStringLiteral("開始時刻"))
        return withSeconds ? ProgramLists::timeText(row.TimeONH, row.TimeONM, row.TimeONS)
                           : ProgramLists::timeText(row.TimeONH, row.TimeONM);
    if (field == QStringLiteral("終了時刻"))
        return ProgramLists::timeText(row.TimeOFFH, row.TimeOFFM);
    if (field == QStringLiteral("開始曜日"))
        return Days::fullName(startDay < 0 ? row.YobiON : startDay).left(1);
    if (field == QStringLiteral("終了曜日"))
        return Days::fullName(row.YobiOFF).left(1);
    return WeekRowValue(row, field).value_or(0);
}

ProgramList readList(const QList<WeekRow>& rows, const QStringList& fields, bool withSeconds, int startDay = -1)
{
    ProgramList list;
    list.fields = fields;
    for (const WeekRow& row : rows) {
        QVariantList values;
        values.reserve(fields.size());
        for (const QString& field : fields)
            values << fieldValue(row, field, withSeconds, startDay);
        list.rows << values;
        list.ids << row.ID;
    }
    return list;
}

WeekMatch weekProgramsOf(int circuit)
{
    WeekMatch match;
    match.CircuitNO = circuit;
    match.SpecialNO = 0;
    return match;
}

ProgramList singleDayList(ScheduleDocument& document, int circuit, int day, int type)
{
    WeekMatch match = weekProgramsOf(circuit);
    match.YobiON = day;
    const QList<WeekRow> rows = ScheduleModel::weekRowsMatching(document, match, WeekSort::Numbered);
    return type == TypeChime ? readList(rows, kChimeFields, true) : readList(rows, kDayFields, false, day);
}

QList<WeekRow> groupSourceRows(ScheduleDocument& document, int circuit, int day, int type)
{
    WeekMatch match = weekProgramsOf(circuit);
    match.weekdaysOnly = day == Days::Weekdays;
    return ScheduleModel::weekRowsMatching(document, match,
                                           type == TypeChime ? WeekSort::ChimeThenDay : WeekSort::PeriodRepeatThenDay);
}

bool sameKey(const WeekRow& a, const WeekRow& b, bool chime)
{
    if (a.TimeONH != b.TimeONH || a.TimeONM != b.TimeONM || a.TimeONS != b.TimeONS)
        return false;
    if (chime)
        return a.ChimeNO == b.ChimeNO;
    return a.TimeOFFH == b.TimeOFFH && a.TimeOFFM == b.TimeOFFM && a.Repeat == b.Repeat;
}

// Timer and repeat rows may run into the next day, or into Sunday.
bool periodShapeOk(const WeekRow& row)
{
    return row.YobiOFF == row.YobiON || row.YobiOFF == row.YobiON + 1 || row.YobiOFF == 0;
}

bool completesRun(const WeekRow& row, bool chime, int groupDay)
{
    if (chime || row.YobiOFF == row.YobiON)
        return true;
    if (groupDay == Days::Weekdays)
        return row.YobiOFF == row.YobiON + 1;
    return row.YobiOFF == 0;
}

// A listed program shows its times, tune and interval; it stands for its
// row on the group's last day.
ProgramList groupList(ScheduleDocument& document, int circuit, int day, int type)
{
    const QList<WeekRow> listed = ProgramLists::CompleteRuns(groupSourceRows(document, circuit, day, type), type, day);
    QList<WeekRow> shown;
    QList<int> ids;
    for (const WeekRow& row : listed) {
        WeekRow program;
        program.CircuitNO = circuit;
        program.Repeat = row.Repeat;
        program.ChimeNO = row.ChimeNO;
        program.TimeONH = row.TimeONH;
        program.TimeONM = row.TimeONM;
        program.TimeONS = row.TimeONS;
        program.TimeOFFH = row.TimeOFFH;
        program.TimeOFFM = row.TimeOFFM;
        shown << program;
        ids << row.ID;
    }
    const QList<WeekRow> rows = ScheduleModel::replaceGroupView(document, shown);
    ProgramList list = type == TypeChime ? readList(rows, kChimeFields, true) : readList(rows, kGroupDayFields, false);
    list.ids = ids;
    return list;
}

ColumnChange hidden(const char* field)
{
    return ColumnChange{QString::fromUtf8(field), false, QString(), 0};
}

ColumnChange shown(const char* field, const char* caption, int twips)
{
    return ColumnChange{QString::fromUtf8(field), true, QString::fromUtf8(caption), twips};
}

void addHidden(GridColumns& layout, std::initializer_list<const char*> fields)
{
    for (const char* field : fields)
        layout.changes << hidden(field);
}

}  // namespace

QVariant ProgramList::value(int row, const QString& field) const
{
    const int column = indexOf(field);
    if (row < 0 || row >= rows.size() || column < 0)
        return {};
    return rows.at(row).value(column);
}

namespace ProgramLists {

QString hourText(int hour)
{
    return QString::number(hour).rightJustified(2, QLatin1Char(' '));
}

QString timeText(int hour, int minute)
{
    return hourText(hour) + QLatin1Char(':') + QString::number(minute).rightJustified(2, QLatin1Char('0'));
}

QString timeText(int hour, int minute, int second)
{
    return timeText(hour, minute) + QLatin1Char('.') + QString::number(second).rightJustified(2, QLatin1Char('0'));
}

QList<WeekRow> CompleteRuns(const QList<WeekRow>& sorted, int programType, int groupDay)
{
    const bool chime = programType == TypeTimeSignal || programType == TypeChime;
    const int first = groupDay == Days::Weekdays ? 1 : 0;
    const int last = groupDay == Days::Weekdays ? 5 : 6;
    QList<WeekRow> listed;
    WeekRow previous;
    int n = 0;
    for (const WeekRow& row : sorted) {
        if (!sameKey(row, previous, programType == TypeChime)) {
            n = first;
        } else {
            if (row.YobiON != previous.YobiON || row.YobiOFF != previous.YobiOFF)
                ++n;
            const bool dayOk = row.YobiON == n && (chime || periodShapeOk(row));
            if (!dayOk) {
                n = first;
            } else if (row.YobiON == last && completesRun(row, chime, groupDay)) {
                // A run is listed once: the last day entered twice is no second run.
                listed << row;
                n = first;
            }
        }
        previous = row;
    }
    return listed;
}

ProgramList BuildWeekList(ScheduleDocument& document, int circuit, int day)
{
    const int type = programTypeOf(document, circuit);
    return Days::isGroup(day) ? groupList(document, circuit, day, type) : singleDayList(document, circuit, day, type);
}

ProgramList BuildSpecialList(ScheduleDocument& document, int circuit, int special)
{
    WeekMatch match;
    match.CircuitNO = circuit;
    match.SpecialNO = special;
    return readList(ScheduleModel::weekRowsMatching(document, match, WeekSort::Numbered), kSpecialFields,
                    programTypeOf(document, circuit) == TypeChime);
}

GridColumns SetWeekGridColumns(ScheduleDocument& document, int circuit, int day)
{
    GridColumns layout;
    addHidden(layout, {"ID", "CircuitNO"});
    if (circuit == 0) {
        layout.grid = GridColumns::Grid::Hide;
        return layout;
    }
    addHidden(layout, {"TimeONH", "TimeONM", "TimeONS", "TimeOFFH", "TimeOFFM", "YobiON", "YobiOFF"});
    layout.grid = GridColumns::Grid::Show;
    const bool group = Days::isGroup(day);
    auto dayColumns = [&layout, group] {
        if (group) {
            addHidden(layout, {"開始曜日", "終了曜日"});
        } else {
            layout.changes << shown("開始曜日", " 開始曜日", 900) << shown("終了曜日", " 終了曜日", 900);
        }
    };
    switch (programTypeOf(document, circuit)) {
    case TypeTimeSignal:
        addHidden(layout, {"SpecialNO", "Repeat", "ChimeNO", "開始曜日", "終了曜日", "終了時刻"});
        layout.changes << shown("開始時刻", " 時 刻", 1800);
        break;
    case TypeChime:
        addHidden(layout, {"SpecialNO", "Repeat", "終了時刻"});
        layout.changes << shown("開始時刻", " 時 刻", 1800) << shown("ChimeNO", " 曲番号", 1800);
        break;
    case TypeTimer:
        addHidden(layout, {"SpecialNO", "Repeat", "ChimeNO"});
        dayColumns();
        layout.changes << shown("開始時刻", " 開始時刻", 1800) << shown("終了時刻", " 終了時刻", 1800);
        break;
    case TypeRepeat:
        addHidden(layout, {"SpecialNO", "ChimeNO"});
        layout.changes << shown("Repeat", "繰返し間隔(分)", 1350);
        dayColumns();
        layout.changes << shown("開始時刻", " 開始時刻", 1500) << shown("終了時刻", " 終了時刻", 1500);
        break;
    default:
        break;
    }
    return layout;
}

GridColumns SetSpecialGridColumns(ScheduleDocument& document, int circuit)
{
    GridColumns layout;
    addHidden(layout, {"ID", "CircuitNO"});
    if (circuit == 0) {
        layout.grid = GridColumns::Grid::Hide;
        return layout;
    }
    layout.grid = GridColumns::Grid::Show;
    switch (programTypeOf(document, circuit)) {
    case TypeTimeSignal:
        addHidden(layout, {"SpecialNO", "Repeat", "ChimeNO", "終了時刻"});
        layout.changes << shown("開始時刻", " 時 刻", 1800);
        break;
    case TypeChime:
        addHidden(layout, {"SpecialNO", "Repeat", "終了時刻"});
        layout.changes << shown("開始時刻", " 時 刻", 1800) << shown("ChimeNO", " 曲番号", 1800);
        break;
    case TypeTimer:
        addHidden(layout, {"SpecialNO", "Repeat", "ChimeNO"});
        layout.changes << shown("開始時刻", " 開始時刻", 1800) << shown("終了時刻", " 終了時刻", 1800);
        break;
    default:
        break;
    }
    return layout;
}

}  // namespace ProgramLists
