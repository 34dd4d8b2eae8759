#include "store/ScheduleModel.h"

#include "store/BulkInsert.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"

#include <QVarLengthArray>
#include <QVariant>

namespace {

QString orderBy(ScheduleModel::Order order)
{
    return order == ScheduleModel::Order::Stored ? QStringLiteral("rowid") : QStringLiteral("ID, rowid");
}

QList<WeekRow> readWeekRows(ScheduleDocument& document, const QString& where, std::initializer_list<int> values,
                            ScheduleModel::Order order)
{
    QList<WeekRow> rows;
    ForEachIntRow(document,
                  QStringLiteral("SELECT %1 FROM T_Week %2 ORDER BY %3").arg(WeekRowColumns(), where, orderBy(order)),
                  values, [&](const IntRow& row) { rows << WeekRowAt(row); });
    return rows;
}

}  // namespace

namespace ScheduleModel {

QList<WeekRow> weekRows(ScheduleDocument& document, Order order)
{
    return readWeekRows(document, QString(), {}, order);
}

QList<WeekRow> weekProgramsOf(ScheduleDocument& document, int circuit)
{
    return readWeekRows(document, QStringLiteral("WHERE CircuitNO = ? AND SpecialNO = 0"), {circuit}, Order::Stored);
}

QList<YearRow> datedEntries(ScheduleDocument& document, Order order)
{
    QList<YearRow> rows;
    ForEachIntRow(
        document,
        QStringLiteral("SELECT CircuitNO, Year, Month, Day, SpecialNO FROM T_Year ORDER BY %1").arg(orderBy(order)), {},
        [&](const IntRow& row) {
            rows << YearRow{row.at(0), row.at(1), row.at(2), row.at(3), row.at(4)};
        });
    return rows;
}

QList<YearRow> everyYearEntries(ScheduleDocument& document, Order order)
{
    QList<YearRow> rows;
    ForEachIntRow(
        document,
        QStringLiteral("SELECT CircuitNO, Month, Day, SpecialNO FROM T_YearE ORDER BY %1").arg(orderBy(order)), {},
        [&](const IntRow& row) {
            rows << YearRow{row.at(0), 0, row.at(1), row.at(2), row.at(3)};
        });
    return rows;
}

void replaceWith(ScheduleDocument& document, const Content& content)
{
    Transaction transaction(document);
    ClearAllData(document);
    for (int circuit = 1; circuit <= 8; ++circuit) {
        if (content.program[circuit])
            document.exec(QStringLiteral("UPDATE T_Setting SET Program = ? WHERE CircuitNO = ?"),
                          {*content.program[circuit], circuit});
        if (content.pulseTime[circuit])
            document.exec(QStringLiteral("UPDATE T_Setting SET PulseTime = ? WHERE CircuitNO = ?"),
                          {*content.pulseTime[circuit], circuit});
    }
    BulkInsert week(document, WeekRowInsert(QStringLiteral("T_Week")));
    int id = 0;
    for (WeekRow w : content.week) {
        w.ID = ++id;
        QVarLengthArray<int, 16> values;
        for (const QVariant& value : WeekRowValues(w))
            values.append(value.toInt());
        week.run(values.constData(), int(values.size()));
    }
    BulkInsert dated(
        document,
        QStringLiteral("INSERT INTO T_Year (ID, CircuitNO, Year, Month, Day, SpecialNO) VALUES (?,?,?,?,?,?)"));
    id = 0;
    for (const YearRow& y : content.dated)
        dated.run({++id, y.CircuitNO, y.Year, y.Month, y.Day, y.SpecialNO});
    BulkInsert everyYear(
        document, QStringLiteral("INSERT INTO T_YearE (ID, CircuitNO, Month, Day, SpecialNO) VALUES (?,?,?,?,?)"));
    id = 0;
    for (const YearRow& y : content.everyYear)
        everyYear.run({++id, y.CircuitNO, y.Month, y.Day, y.SpecialNO});
    transaction.commit();
}

void setCircuitType(ScheduleDocument& document, int circuit, int program, int pulseTime)
{
    Transaction transaction(document);
    document.exec(QStringLiteral("UPDATE T_Setting SET Program = ?, PulseTime = ? WHERE CircuitNO = ?"),
                  {program, pulseTime, circuit});
    transaction.commit();
}

void setCircuits(ScheduleDocument& document, const std::array<CircuitSetting, 8>& settings)
{
    Transaction transaction(document);
    for (int circuit = 1; circuit <= 8; ++circuit) {
        const CircuitSetting& setting = settings[circuit - 1];
        document.exec(QStringLiteral("UPDATE T_Setting SET PulseTime = ?, Program = ?, Chime = ? WHERE CircuitNO = ?"),
                      {int(setting.PulseTime), int(setting.Program), int(setting.Chime), circuit});
    }
    // The commit reloads the document's circuit settings before it announces the change.
    transaction.commit();
}

}  // namespace ScheduleModel
