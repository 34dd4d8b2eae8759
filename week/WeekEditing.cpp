#include "week/WeekEditing.h"

#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "week/Days.h"

#include <QSqlQuery>

namespace {

constexpr int kDaySeconds = 24 * 60 * 60;

QList<qint64> rowIds(QSqlQuery query)
{
    QList<qint64> ids;
    while (query.next())
        ids << query.value(0).toLongLong();
    return ids;
}

// Rows matching `conditions` (fragments "Column = ?" joined by AND), in
// `order`, for the circuit and special number of the request.
QList<qint64> selectRows(ScheduleDocument& document, const EntryJob& request, const QStringList& conditions,
                         const QVariantList& values, const QString& order)
{
    QString sql = QStringLiteral("SELECT rowid FROM T_Week WHERE CircuitNO = ? AND SpecialNO = ?");
    for (const QString& condition : conditions)
        sql += QStringLiteral(" AND ") + condition;
    sql += QStringLiteral(" ORDER BY ") + order + QStringLiteral(", rowid");
    return rowIds(document.exec(sql, QVariantList{request.CircuitNO, request.SpecialNO} + values));
}

QList<qint64> rowWithId(ScheduleDocument& document, int id)
{
    return rowIds(document.exec(QStringLiteral("SELECT rowid FROM T_Week WHERE ID = ?"), {id}));
}

const QString kWeekdaysOnly = QStringLiteral("YobiON <> 0 AND YobiON <> 6");

// The days a job writes: its own day, or the days of a group. A special
// program is one row.
QList<int> daysOf(const EntryJob& request)
{
    return request.Origin == 1 ? Days::range(request.YobiON) : QList<int>{0};
}

// Writes one row per day: reusing `reused` in order, adding the rest.
// Refuses before writing anything when the added rows would not fit.
template <typename ValuesForDay>
WeekEditing::WriteResult writeDays(ScheduleDocument& document, const QList<int>& days, const QList<qint64>& reused,
                                   const QStringList& columns, ValuesForDay valuesForDay)
{
    const int toAdd = std::max<int>(0, days.size() - reused.size());
    if (toAdd > 0 && WeekCapacityExceeded(document, toAdd))
        return WeekEditing::WriteResult::Refused;
    QStringList assignments;
    QStringList marks;
    for (const QString& column : columns) {
        assignments << column + QStringLiteral(" = ?");
        marks << QStringLiteral("?");
    }
    const QString update = QStringLiteral("UPDATE T_Week SET %1 WHERE rowid = ?").arg(assignments.join(", "));
    const QString insert =
        QStringLiteral("INSERT INTO T_Week (%1) VALUES (%2)").arg(columns.join(", "), marks.join(", "));
    for (int i = 0; i < days.size(); ++i) {
        const QVariantList values = valuesForDay(days.at(i));
        if (i < reused.size())
            document.exec(update, values + QVariantList{reused.at(i)});
        else
            document.exec(insert, values);
    }
    return WeekEditing::WriteResult::Written;
}

QList<qint64> timeProgramSelection(ScheduleDocument& document, const EntryJob& r, int type,
                                   const WeekEditing::TimeProgram& p)
{
    const bool chime = type == TypeChime;
    const bool isNew = r.EditMode == 0;
    if (!Days::isGroup(r.YobiON)) {
        if (r.ID != 0)
            return rowWithId(document, r.ID);
        if (chime)
            return selectRows(document, r, {"ChimeNO = ?", "TimeONH = ?", "TimeONM = ?", "TimeONS = ?", "YobiON = ?"},
                              {p.chime, p.hour, p.minute, p.second, r.YobiON}, "TimeONH,TimeONM,TimeONS,YobiON");
        return selectRows(document, r, {"TimeONH = ?", "TimeONM = ?", "TimeONS = ?", "TimeOFFH = ?", "YobiON = ?"},
                          {p.hour, p.minute, p.second, r.TimeOFFH, r.YobiON}, "TimeONH,TimeONM,TimeONS,YobiON");
    }
    QStringList conditions;
    QVariantList values;
    if (chime) {
        conditions = QStringList{"ChimeNO = ?", "TimeONH = ?", "TimeONM = ?", "TimeONS = ?"};
        values = isNew ? QVariantList{p.chime, p.hour, p.minute, p.second}
                       : QVariantList{r.ChimeNO, r.TimeONH, r.TimeONM, r.TimeONS};
    } else {
        conditions = QStringList{"TimeONH = ?", "TimeONM = ?"};
        values = isNew ? QVariantList{p.hour, p.minute} : QVariantList{r.TimeONH, r.TimeONM};
    }
    if (r.YobiON == Days::Weekdays)
        conditions << kWeekdaysOnly;
    return selectRows(document, r, conditions, values,
                      chime ? QStringLiteral("TimeONH,TimeONM,TimeONS,YobiON")
                            : QStringLiteral("TimeONH,TimeONM,YobiON"));
}

QList<qint64> timerProgramSelection(ScheduleDocument& document, const EntryJob& r, const WeekEditing::TimerProgram& p)
{
    const QStringList timeColumns{"Repeat = ?", "TimeONH = ?", "TimeONM = ?", "TimeOFFH = ?", "TimeOFFM = ?"};
    const QVariantList boxes{p.repeat, p.onH, p.onM, p.offH, p.offM};
    if (!Days::isGroup(r.YobiON)) {
        if (r.ID != 0)
            return rowWithId(document, r.ID);
        return selectRows(document, r, timeColumns + QStringList{"YobiON = ?", "YobiOFF = ?"},
                          boxes + QVariantList{r.YobiON, p.endDay}, "TimeONH,TimeONM,YobiON,Repeat");
    }
    const QVariantList old{r.Repeat, r.TimeONH, r.TimeONM, r.TimeOFFH, r.TimeOFFM};
    QStringList conditions = timeColumns;
    if (r.YobiON == Days::Weekdays)
        conditions << kWeekdaysOnly;
    return selectRows(document, r, conditions, r.EditMode == 0 ? boxes : old, "TimeONH,TimeONM,YobiON,Repeat");
}

template <typename Job>
WeekEditing::WriteResult inTransaction(ScheduleDocument& document, Job job)
{
    Transaction transaction(document);
    const WeekEditing::WriteResult result = job();
    if (result == WeekEditing::WriteResult::Written)
        RenumberTable(document, QStringLiteral("T_Week"));
    transaction.commit();
    return result;
}

}  // namespace

namespace WeekEditing {

int MelodyLength(int melody)
{
    static const int lengths[] = {24, 37, 41, 55, 40, 39, 74};
    return melody >= 1 && melody <= 7 ? lengths[melody - 1] : 0;
}

TimeOfDay AdjustChimeEnd(TimeOfDay time, int melody, bool adjusted)
{
    const int length = MelodyLength(melody);
    const int t = time.hour * 3600 + time.minute * 60 + time.second;
    int result;
    if (adjusted)
        result = t < length ? t + kDaySeconds - length : t - length;
    else
        result = (t + length) % kDaySeconds;
    return TimeOfDay{result / 3600, result / 60 % 60, result % 60};
}

int GroupEndDay(int day, int onH, int onM, int offH, int offM)
{
    const bool pastMidnight = onH * 100 + onM > offH * 100 + offM;
    return pastMidnight ? (day + 1) % 7 : day;
}

WriteResult WriteTimeProgram(ScheduleDocument& document, const EntryJob& request, int programType,
                             const TimeProgram& program)
{
    return inTransaction(document, [&] {
        const QList<qint64> reused = timeProgramSelection(document, request, programType, program);
        const int special = request.Origin == 1 ? 0 : request.SpecialNO;
        const int chime = programType == TypeChime ? program.chime : 0;
        return writeDays(document, daysOf(request), reused,
                         {"CircuitNO", "SpecialNO", "YobiON", "TimeONH", "TimeONM", "TimeONS", "ChimeNO"},
                         [&](int day) {
                             return QVariantList{request.CircuitNO, special,        day,  program.hour,
                                                 program.minute,    program.second, chime};
                         });
    });
}

WriteResult WriteTimerProgram(ScheduleDocument& document, const EntryJob& request, const TimerProgram& program)
{
    return inTransaction(document, [&] {
        const QList<qint64> reused = timerProgramSelection(document, request, program);
        const bool week = request.Origin == 1;
        const bool group = Days::isGroup(request.YobiON);
        return writeDays(
            document, daysOf(request), reused,
            {"CircuitNO", "SpecialNO", "Repeat", "YobiON", "YobiOFF", "TimeONH", "TimeONM", "TimeOFFH", "TimeOFFM"},
            [&](int day) {
                int endDay = 0;
                if (week)
                    endDay =
                        group ? GroupEndDay(day, program.onH, program.onM, program.offH, program.offM) : program.endDay;
                return QVariantList{request.CircuitNO,
                                    week ? 0 : request.SpecialNO,
                                    week ? program.repeat : 0,
                                    day,
                                    endDay,
                                    program.onH,
                                    program.onM,
                                    program.offH,
                                    program.offM};
            });
    });
}

void DeleteWeekProgram(ScheduleDocument& document, const EntryJob& r, int day)
{
    Transaction transaction(document);
    if (!Days::isGroup(day)) {
        document.exec(QStringLiteral("DELETE FROM T_Week WHERE ID = ?"), {r.ID});
    } else {
        QString sql = QStringLiteral(
            "DELETE FROM T_Week WHERE CircuitNO = ? AND SpecialNO = 0 AND Repeat = ? AND ChimeNO = ? AND TimeONH = ? "
            "AND TimeONM = ? AND TimeONS = ? AND TimeOFFH = ? AND TimeOFFM = ?");
        if (day == Days::Weekdays)
            sql += QStringLiteral(" AND ") + kWeekdaysOnly;
        document.exec(sql, {r.CircuitNO, r.Repeat, r.ChimeNO, r.TimeONH, r.TimeONM, r.TimeONS, r.TimeOFFH, r.TimeOFFM});
    }
    RenumberTable(document, QStringLiteral("T_Week"));
    transaction.commit();
}

int DeleteAllWeekPrograms(ScheduleDocument& document, int circuit)
{
    Transaction transaction(document);
    QSqlQuery query =
        document.exec(QStringLiteral("DELETE FROM T_Week WHERE CircuitNO = ? AND SpecialNO = 0"), {circuit});
    const int deleted = query.numRowsAffected();
    RenumberTable(document, QStringLiteral("T_Week"));
    transaction.commit();
    return deleted;
}

QList<int> CopySourceDays(ScheduleDocument& document, int circuit, int exceptDay)
{
    QSqlQuery query = document.exec(QStringLiteral("SELECT DISTINCT YobiON FROM T_Week WHERE CircuitNO = ? "
                                                   "AND YobiON <> ? AND SpecialNO = 0 ORDER BY YobiON"),
                                    {circuit, exceptDay});
    QList<int> days;
    while (query.next())
        days << query.value(0).toInt();
    return days;
}

QList<int> CopySourceSpecials(ScheduleDocument& document, int circuit, int exceptSpecial)
{
    QSqlQuery query = document.exec(QStringLiteral("SELECT DISTINCT SpecialNO FROM T_Week WHERE CircuitNO = ? "
                                                   "AND SpecialNO <> ? AND SpecialNO <> 0 ORDER BY SpecialNO"),
                                    {circuit, exceptSpecial});
    QList<int> specials;
    while (query.next())
        specials << query.value(0).toInt();
    return specials;
}

CopyResult CopyPrograms(ScheduleDocument& document, int circuit, const CopySource& source, const CopyTarget& target)
{
    const QString sourceFilter =
        source.special ? QStringLiteral("SpecialNO = ?") : QStringLiteral("YobiON = ? AND SpecialNO = 0");
    QSqlQuery rows = document.exec(
        QStringLiteral("SELECT TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, ChimeNO FROM T_Week WHERE CircuitNO = ? "
                       "AND %1 ORDER BY TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, rowid")
            .arg(sourceFilter),
        {circuit, source.value});
    // Read the sources in full before the table changes under the query.
    QList<QVariantList> sources;
    while (rows.next()) {
        QVariantList row;
        for (int column = 0; column < 6; ++column)
            row << rows.value(column).toInt();
        sources << row;
    }
    const int targetDay = target.special == 0 ? target.day : 0;
    CopyResult result;
    Transaction transaction(document);
    int handled = 0;
    for (const QVariantList& sourceRow : sources) {
        const QVariantList times = sourceRow.mid(0, 5);
        const QVariantList where = QVariantList{circuit, targetDay, target.special} + times;
        const bool present = document
                                 .exec(QStringLiteral("SELECT 1 FROM T_Week WHERE CircuitNO = ? AND YobiON = ? "
                                                      "AND SpecialNO = ? AND TimeONH = ? AND TimeONM = ? AND "
                                                      "TimeONS = ? AND TimeOFFH = ? AND TimeOFFM = ? LIMIT 1"),
                                       where)
                                 .next();
        if (!present) {
            if (WeekCapacityExceeded(document, 1)) {
                result.capacityReached = true;
                result.stoppedAtFirstRow = handled == 0;
                break;
            }
            document.exec(QStringLiteral("INSERT INTO T_Week (CircuitNO, YobiON, SpecialNO, TimeONH, TimeONM, "
                                         "TimeONS, TimeOFFH, TimeOFFM, Repeat, ChimeNO, YobiOFF) "
                                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0, ?, 0)"),
                          where + QVariantList{sourceRow.at(5)});
            ++result.added;
        }
        ++handled;
    }
    RenumberTable(document, QStringLiteral("T_Week"));
    transaction.commit();
    return result;
}

QString StepName(const QString& change, int circuit, int special)
{
    if (special == 0)
        return QStringLiteral("週間プログラムの%1（回路%2）").arg(change).arg(circuit);
    return QStringLiteral("特殊プログラムの%1（回路%2・特殊番号%3）").arg(change).arg(circuit).arg(special);
}

QString EntryStepName(const EntryJob& request)
{
    return StepName(request.EditMode == -1 ? QStringLiteral("変更") : QStringLiteral("追加"), request.CircuitNO,
                    request.SpecialNO);
}

}  // namespace WeekEditing
