#include "store/WeekPrograms.h"

#include "store/ScheduleDocument.h"
#include "store/ScheduleTables.h"
#include "store/StoreRoutines.h"

#include <QSqlQuery>
#include <QStringList>
#include <array>
#include <utility>

namespace {

using ScheduleModel::WeekMatch;
using ScheduleModel::WeekSort;

const std::array<std::pair<const char*, std::optional<int> WeekMatch::*>, 12> kMatchColumns{{
    {"ID", &WeekMatch::ID},
    {"CircuitNO", &WeekMatch::CircuitNO},
    {"SpecialNO", &WeekMatch::SpecialNO},
    {"YobiON", &WeekMatch::YobiON},
    {"YobiOFF", &WeekMatch::YobiOFF},
    {"TimeONH", &WeekMatch::TimeONH},
    {"TimeONM", &WeekMatch::TimeONM},
    {"TimeONS", &WeekMatch::TimeONS},
    {"TimeOFFH", &WeekMatch::TimeOFFH},
    {"TimeOFFM", &WeekMatch::TimeOFFM},
    {"Repeat", &WeekMatch::Repeat},
    {"ChimeNO", &WeekMatch::ChimeNO},
}};

QString orderOf(WeekSort sort)
{
    switch (sort) {
    case WeekSort::Stored:
        break;
    case WeekSort::Numbered:
        return QStringLiteral("ID, rowid");
    case WeekSort::TimeThenDay:
        return QStringLiteral("TimeONH, TimeONM, TimeONS, YobiON, rowid");
    case WeekSort::MinuteThenDay:
        return QStringLiteral("TimeONH, TimeONM, YobiON, rowid");
    case WeekSort::MinuteDayRepeat:
        return QStringLiteral("TimeONH, TimeONM, YobiON, Repeat, rowid");
    case WeekSort::Times:
        return QStringLiteral("TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, rowid");
    case WeekSort::ChimeThenDay:
        return QStringLiteral("TimeONH, TimeONM, TimeONS, ChimeNO, YobiON, rowid");
    case WeekSort::PeriodRepeatThenDay:
        return QStringLiteral("TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, ChimeNO, Repeat, YobiON, rowid");
    }
    return QStringLiteral("rowid");
}

// " WHERE ..." for the match (empty when it names nothing) and its values.
std::pair<QString, QVariantList> whereOf(const WeekMatch& match)
{
    QStringList conditions;
    QVariantList values;
    for (const auto& [column, member] : kMatchColumns) {
        if (const std::optional<int>& value = match.*member) {
            conditions << QStringLiteral("%1 = ?").arg(QLatin1String(column));
            values << *value;
        }
    }
    if (match.weekdaysOnly)
        conditions << QStringLiteral("YobiON <> 0 AND YobiON <> 6");
    if (conditions.isEmpty())
        return {};
    return {QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND ")), values};
}

QList<WeekRow> readRows(QSqlQuery query)
{
    QList<WeekRow> rows;
    while (query.next())
        rows << WeekRowAt(query);
    return rows;
}

QString insertInto(const char* table)
{
    return WeekRowInsert(QLatin1String(table));
}

}  // namespace

namespace ScheduleModel {

QList<WeekRow> weekRowsMatching(ScheduleDocument& document, const WeekMatch& match, WeekSort sort)
{
    const auto [where, values] = whereOf(match);
    return readRows(document.exec(
        QStringLiteral("SELECT %1 FROM T_Week%2 ORDER BY %3").arg(WeekRowColumns(), where, orderOf(sort)), values));
}

bool hasWeekRow(ScheduleDocument& document, const WeekMatch& match)
{
    const auto [where, values] = whereOf(match);
    return document.exec(QStringLiteral("SELECT 1 FROM T_Week%1 LIMIT 1").arg(where), values).next();
}

int countWeekRows(ScheduleDocument& document, const WeekMatch& match)
{
    const auto [where, values] = whereOf(match);
    return document.scalar(QStringLiteral("SELECT COUNT(*) FROM T_Week%1").arg(where), values, 0).toInt();
}

std::optional<WeekRow> weekRowById(ScheduleDocument& document, int id)
{
    WeekMatch match;
    match.ID = id;
    const QList<WeekRow> rows = weekRowsMatching(document, match, WeekSort::Stored);
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

QList<int> specialNumbersInUse(ScheduleDocument& document, int circuit)
{
    QSqlQuery query = document.exec(QStringLiteral("SELECT DISTINCT SpecialNO FROM T_Week "
                                                   "WHERE CircuitNO = ? AND SpecialNO <> 0 ORDER BY SpecialNO"),
                                    {circuit});
    QList<int> numbers;
    while (query.next())
        numbers << query.value(0).toInt();
    return numbers;
}

void addWeekRow(ScheduleDocument& document, const WeekRow& row)
{
    document.exec(insertInto("T_Week"), WeekRowValues(row));
}

int deleteWeekRows(ScheduleDocument& document, const WeekMatch& match)
{
    const auto [where, values] = whereOf(match);
    Transaction transaction(document);
    const int deleted = document.exec(QStringLiteral("DELETE FROM T_Week%1").arg(where), values).numRowsAffected();
    renumberWeekRows(document);
    transaction.commit();
    return deleted;
}

void renumberWeekRows(ScheduleDocument& document)
{
    RenumberTable(document, QStringLiteral("T_Week"));
}

bool writeWeekRows(ScheduleDocument& document, const WeekMatch& reused, WeekSort sort, WeekColumns columns,
                   const QList<WeekRow>& rows)
{
    Transaction transaction(document);
    const auto [where, values] = whereOf(reused);
    QList<qint64> rowids;
    QSqlQuery query =
        document.exec(QStringLiteral("SELECT rowid FROM T_Week%1 ORDER BY %2").arg(where, orderOf(sort)), values);
    while (query.next())
        rowids << query.value(0).toLongLong();
    const qsizetype toAdd = std::max<qsizetype>(0, rows.size() - rowids.size());
    const bool fits = toAdd == 0 || !WeekCapacityExceeded(document, int(toAdd));
    for (qsizetype i = 0; fits && i < rows.size(); ++i) {
        const WeekRow& r = rows.at(i);
        if (i >= rowids.size())
            addWeekRow(document, r);
        else if (columns == WeekColumns::Time)
            document.exec(
                QStringLiteral("UPDATE T_Week SET CircuitNO = ?, SpecialNO = ?, YobiON = ?, TimeONH = ?, "
                               "TimeONM = ?, TimeONS = ?, ChimeNO = ? WHERE rowid = ?"),
                {r.CircuitNO, r.SpecialNO, r.YobiON, r.TimeONH, r.TimeONM, r.TimeONS, r.ChimeNO, rowids.at(i)});
        else
            document.exec(QStringLiteral("UPDATE T_Week SET CircuitNO = ?, SpecialNO = ?, Repeat = ?, YobiON = ?, "
                                         "YobiOFF = ?, TimeONH = ?, TimeONM = ?, TimeOFFH = ?, TimeOFFM = ? "
                                         "WHERE rowid = ?"),
                          {r.CircuitNO, r.SpecialNO, r.Repeat, r.YobiON, r.YobiOFF, r.TimeONH, r.TimeONM, r.TimeOFFH,
                           r.TimeOFFM, rowids.at(i)});
    }
    transaction.commit();
    return fits;
}

QList<WeekRow> replaceGroupView(ScheduleDocument& document, const QList<WeekRow>& rows)
{
    Transaction transaction(document);
    document.exec(QStringLiteral("DELETE FROM T_WeekT"));
    for (const WeekRow& row : rows)
        document.exec(insertInto("T_WeekT"), WeekRowValues(row));
    transaction.commit();
    return readRows(document.exec(QStringLiteral("SELECT %1 FROM T_WeekT ORDER BY rowid").arg(WeekRowColumns())));
}

int entriesRunning(ScheduleDocument& document, int circuit, int special)
{
    return document
        .scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT ID FROM T_Year WHERE CircuitNO = ? AND "
                               "SpecialNO = ? UNION ALL SELECT ID FROM T_YearE WHERE CircuitNO = ? AND "
                               "SpecialNO = ?)"),
                {circuit, special, circuit, special}, 0)
        .toInt();
}

void deleteEntriesRunning(ScheduleDocument& document, int circuit, int special)
{
    Transaction transaction(document);
    for (const ScheduleTable& table : ScheduleTables()) {
        if (!(table.change & (StoreChanges::Dated | StoreChanges::EveryYear)))
            continue;
        document.exec(
            QStringLiteral("DELETE FROM %1 WHERE CircuitNO = ? AND SpecialNO = ?").arg(QLatin1String(table.name)),
            {circuit, special});
        RenumberTable(document, QLatin1String(table.name));
    }
    transaction.commit();
}

}  // namespace ScheduleModel
