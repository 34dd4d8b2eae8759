#include "week/ProgramList.h"

#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "week/Days.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const QString kRawFields =
    QStringLiteral("ID,CircuitNO,SpecialNO,Repeat,YobiON,YobiOFF,TimeONH,TimeONM,TimeONS,TimeOFFH,TimeOFFM,ChimeNO");

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

// One display value for `field` of the current row of `query`.
QVariant fieldValue(const QSqlQuery& query, const QString& field, bool withSeconds, int startDay)
{
    auto raw = [&query](const char* name) { return query.value(QLatin1String(name)).toInt(); };
    if (field == QStringLiteral("開始時刻"))
        return withSeconds ? ProgramLists::timeText(raw("TimeONH"), raw("TimeONM"), raw("TimeONS"))
                           : ProgramLists::timeText(raw("TimeONH"), raw("TimeONM"));
    if (field == QStringLiteral("終了時刻"))
        return ProgramLists::timeText(raw("TimeOFFH"), raw("TimeOFFM"));
    if (field == QStringLiteral("開始曜日"))
        return Days::fullName(startDay < 0 ? raw("YobiON") : startDay).left(1);
    if (field == QStringLiteral("終了曜日"))
        return Days::fullName(raw("YobiOFF")).left(1);
    return query.value(field).toInt();
}

ProgramList readList(QSqlQuery& query, const QStringList& fields, bool withSeconds, int startDay = -1)
{
    ProgramList list;
    list.fields = fields;
    while (query.next()) {
        QVariantList row;
        row.reserve(fields.size());
        for (const QString& field : fields)
            row << fieldValue(query, field, withSeconds, startDay);
        list.rows << row;
    }
    return list;
}

ProgramList singleDayList(ScheduleDocument& document, int circuit, int day, int type)
{
    QSqlQuery query = document.exec(
        QStringLiteral("SELECT %1 FROM T_Week WHERE CircuitNO = ? AND YobiON = ? AND SpecialNO = 0 ORDER BY ID")
            .arg(kRawFields),
        {circuit, day});
    return type == TypeChime ? readList(query, kChimeFields, true) : readList(query, kDayFields, false, day);
}

QList<WeekRow> groupSourceRows(ScheduleDocument& document, int circuit, int day, int type)
{
    const QString weekdaysOnly = day == Days::Weekdays ? QStringLiteral(" AND YobiON <> 0 AND YobiON <> 6") : QString();
    const QString order = type == TypeChime
        ? QStringLiteral("TimeONH,TimeONM,TimeONS,ChimeNO,YobiON")
        : QStringLiteral("TimeONH,TimeONM,TimeONS,TimeOFFH,TimeOFFM,ChimeNO,Repeat,YobiON");
    QSqlQuery query =
        document.exec(QStringLiteral("SELECT %1 FROM T_Week WHERE CircuitNO = ? AND SpecialNO = 0%2 ORDER BY %3, rowid")
                          .arg(WeekRowColumns(), weekdaysOnly, order),
                      {circuit});
    QList<WeekRow> rows;
    while (query.next())
        rows << WeekRowAt(query);
    return rows;
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

ProgramList groupList(ScheduleDocument& document, int circuit, int day, int type)
{
    const QList<WeekRow> listed = ProgramLists::CompleteRuns(groupSourceRows(document, circuit, day, type), type, day);
    Transaction transaction(document);
    document.exec(QStringLiteral("DELETE FROM T_WeekT"));
    for (const WeekRow& row : listed)
        document.exec(
            QStringLiteral("INSERT INTO T_WeekT (ID, CircuitNO, SpecialNO, Repeat, ChimeNO, TimeONH, "
                           "TimeONM, TimeONS, TimeOFFH, TimeOFFM, YobiON, YobiOFF) "
                           "VALUES (0, ?, 0, ?, ?, ?, ?, ?, ?, ?, 0, 0)"),
            {circuit, row.Repeat, row.ChimeNO, row.TimeONH, row.TimeONM, row.TimeONS, row.TimeOFFH, row.TimeOFFM});
    transaction.commit();
    QSqlQuery query = document.exec(QStringLiteral("SELECT %1 FROM T_WeekT ORDER BY rowid").arg(kRawFields));
    return type == TypeChime ? readList(query, kChimeFields, true) : readList(query, kGroupDayFields, false);
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
    QSqlQuery query = document.exec(
        QStringLiteral("SELECT %1 FROM T_Week WHERE CircuitNO = ? AND SpecialNO = ? ORDER BY ID").arg(kRawFields),
        {circuit, special});
    return readList(query, kSpecialFields, programTypeOf(document, circuit) == TypeChime);
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
