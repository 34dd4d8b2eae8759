#include "store/YearEntriesModel.h"

#include "store/BulkInsert.h"
#include "store/StoreRoutines.h"

#include <QStringList>

namespace {

using ScheduleModel::YearKind;

QString tableOf(YearKind kind)
{
    return kind == YearKind::Dated ? QStringLiteral("T_Year") : QStringLiteral("T_YearE");
}

// Every-year rows read with 0 for their year, so both kinds read alike.
QString selectFrom(YearKind kind)
{
    return kind == YearKind::Dated ? QStringLiteral("SELECT CircuitNO, Year, Month, Day, SpecialNO FROM T_Year")
                                   : QStringLiteral("SELECT CircuitNO, 0, Month, Day, SpecialNO FROM T_YearE");
}

QString dayWhere(YearKind kind)
{
    return kind == YearKind::Dated ? QStringLiteral("CircuitNO = ? AND Year = ? AND Month = ? AND Day = ?")
                                   : QStringLiteral("CircuitNO = ? AND Month = ? AND Day = ?");
}

QVariantList dayValues(YearKind kind, const YearRow& day)
{
    if (kind == YearKind::Dated)
        return {day.CircuitNO, day.Year, day.Month, day.Day};
    return {day.CircuitNO, day.Month, day.Day};
}

QList<YearRow> readRows(ScheduleDocument& document, const QString& sql, const QVariantList& values)
{
    QSqlQuery query = document.exec(sql, values);
    QList<YearRow> rows;
    while (query.next())
        rows << YearRow{query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt(), query.value(3).toInt(),
                        query.value(4).toInt()};
    return rows;
}

// The rowid of the day's first stored entry, as a subquery taking dayValues.
QString firstOn(YearKind kind)
{
    return QStringLiteral("(SELECT rowid FROM %1 WHERE %2 ORDER BY rowid LIMIT 1)").arg(tableOf(kind), dayWhere(kind));
}

}  // namespace

namespace ScheduleModel {

QList<YearRow> yearEntriesOf(ScheduleDocument& document, YearKind kind, int circuit)
{
    return readRows(document, selectFrom(kind) + QStringLiteral(" WHERE CircuitNO = ? ORDER BY rowid"), {circuit});
}

QList<YearRow> yearEntriesIn(ScheduleDocument& document, YearKind kind, int circuit, const QList<YearRow>& months)
{
    if (months.isEmpty())
        return {};
    QStringList which;
    QVariantList values{circuit};
    for (const YearRow& month : months) {
        if (kind == YearKind::Dated) {
            which << QStringLiteral("(Year = ? AND Month = ?)");
            values << month.Year;
        } else {
            which << QStringLiteral("Month = ?");
        }
        values << month.Month;
    }
    return readRows(
        document,
        selectFrom(kind)
            + QStringLiteral(" WHERE CircuitNO = ? AND (%1) ORDER BY rowid").arg(which.join(QStringLiteral(" OR "))),
        values);
}

std::optional<YearRow> firstEntryOn(ScheduleDocument& document, YearKind kind, const YearRow& day)
{
    const QList<YearRow> rows = readRows(
        document, selectFrom(kind) + QStringLiteral(" WHERE rowid = %1").arg(firstOn(kind)), dayValues(kind, day));
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

QList<int> datedYearsOf(ScheduleDocument& document, int circuit)
{
    QList<int> years;
    ForEachIntRow(document, QStringLiteral("SELECT DISTINCT Year FROM T_Year WHERE CircuitNO = ? ORDER BY Year"),
                  {circuit}, [&years](const IntRow& row) { years << row.at(0); });
    return years;
}

bool hasEveryYearEntries(ScheduleDocument& document, int circuit)
{
    return document.scalar(QStringLiteral("SELECT 1 FROM T_YearE WHERE CircuitNO = ? LIMIT 1"), {circuit}).isValid();
}

YearEntriesRun::YearEntriesRun(ScheduleDocument& document, YearKind kind)
    : m_document(document)
    , m_kind(kind)
    , m_transaction(document)
{
}

bool YearEntriesRun::rewriteFirstOn(const YearRow& day, int special)
{
    return m_document
               .exec(
                   QStringLiteral("UPDATE %1 SET SpecialNO = ? WHERE rowid = %2").arg(tableOf(m_kind), firstOn(m_kind)),
                   QVariantList{special} + dayValues(m_kind, day))
               .numRowsAffected()
        > 0;
}

bool YearEntriesRun::deleteFirstOn(const YearRow& day)
{
    return m_document
               .exec(QStringLiteral("DELETE FROM %1 WHERE rowid = %2").arg(tableOf(m_kind), firstOn(m_kind)),
                     dayValues(m_kind, day))
               .numRowsAffected()
        > 0;
}

void YearEntriesRun::add(const YearRow& row)
{
    if (m_kind == YearKind::Dated)
        m_document.exec(
            QStringLiteral("INSERT INTO T_Year (ID, CircuitNO, Year, Month, Day, SpecialNO) VALUES (0, ?, ?, ?, ?, ?)"),
            {row.CircuitNO, row.Year, row.Month, row.Day, row.SpecialNO});
    else
        m_document.exec(
            QStringLiteral("INSERT INTO T_YearE (ID, CircuitNO, Month, Day, SpecialNO) VALUES (0, ?, ?, ?, ?)"),
            {row.CircuitNO, row.Month, row.Day, row.SpecialNO});
}

void YearEntriesRun::commit()
{
    RenumberTable(m_document, tableOf(m_kind));
    m_transaction.commit();
}

void rewriteDatedDays(ScheduleDocument& document, const QList<YearRow>& days)
{
    YearEntriesRun run(document, YearKind::Dated);
    BulkInsert update(document,
                      QStringLiteral("UPDATE T_Year SET SpecialNO = ? WHERE %1").arg(dayWhere(YearKind::Dated)));
    for (const YearRow& day : days)
        update.run({day.SpecialNO, day.CircuitNO, day.Year, day.Month, day.Day});
    run.commit();
}

void addDatedEntries(ScheduleDocument& document, const QList<YearRow>& rows)
{
    YearEntriesRun run(document, YearKind::Dated);
    BulkInsert insert(
        document,
        QStringLiteral("INSERT INTO T_Year (ID, CircuitNO, Year, Month, Day, SpecialNO) VALUES (0, ?, ?, ?, ?, ?)"));
    for (const YearRow& row : rows)
        insert.run({row.CircuitNO, row.Year, row.Month, row.Day, row.SpecialNO});
    run.commit();
}

int deleteDatedDays(ScheduleDocument& document, const QList<YearRow>& days)
{
    YearEntriesRun run(document, YearKind::Dated);
    const int before = YearRowCount(document);
    BulkInsert erase(document, QStringLiteral("DELETE FROM T_Year WHERE %1").arg(dayWhere(YearKind::Dated)));
    for (const YearRow& day : days)
        erase.run({day.CircuitNO, day.Year, day.Month, day.Day});
    const int deleted = before - YearRowCount(document);
    run.commit();
    return deleted;
}

int deleteYearEntriesOf(ScheduleDocument& document, YearKind kind, int circuit, std::optional<int> year)
{
    YearEntriesRun run(document, kind);
    QVariantList values{circuit};
    QString where = QStringLiteral("CircuitNO = ?");
    if (kind == YearKind::Dated && year) {
        where += QStringLiteral(" AND Year = ?");
        values << *year;
    }
    const int deleted =
        document.exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(tableOf(kind), where), values).numRowsAffected();
    run.commit();
    return deleted;
}

}  // namespace ScheduleModel
