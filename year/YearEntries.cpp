#include "year/YearEntries.h"

#include "core/Dates.h"
#include "store/BulkInsert.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"

#include <QHash>
#include <QSqlQuery>
#include <algorithm>
#include <functional>

namespace YearEntries {

QString EntryText(int special)
{
    return special == 0 ? QStringLiteral("停止") : QStringLiteral("特殊番号 %1").arg(special);
}

QString CapacityRefusalText(ScheduleDocument& document, int toAdd)
{
    return QStringLiteral("年間プログラムの設定可能数%1を超えてしまうため作成できません。\r\n"
                          "新たに設定する日は%2日、設定できるのはあと%3日です。")
        .arg(YearCapacity)
        .arg(toAdd)
        .arg(std::max(0, RemainingYearCapacity(document)));
}

namespace {

constexpr int kCentury = 2000;

// The day's slot in `days`, or null when the date is not real or not shown.
DayEntries* slotOf(QVector<DayEntries>& days, QDate start, int year, int month, int day)
{
    if (!IsRealDate(year, month, day))
        return nullptr;
    const qint64 offset = start.daysTo(QDate(year, month, day));
    return offset >= 0 && offset < days.size() ? &days[int(offset)] : nullptr;
}

std::optional<int> firstValue(QSqlQuery query)
{
    if (!query.next())
        return std::nullopt;
    return query.value(0).toInt();
}

// One day's row: `where` with `key` finds it, `columns` (bound from `key`)
// describe a new one.
struct DayRow {
    QString table;
    QString where;
    QVariantList key;
    QString columns;
    QString marks;
};

enum class DayOutcome { Unchanged, Written, Added, Refused };

// Adds, rewrites or deletes the row of one day; a limited table refuses an
// added row at capacity.
DayOutcome writeDay(ScheduleDocument& document, const DayRow& row, Action action, int special, bool limited)
{
    const std::optional<int> rowid =
        firstValue(document.exec(QStringLiteral("SELECT rowid FROM %1 WHERE %2").arg(row.table, row.where), row.key));
    if (rowid) {
        if (action == Action::Clear)
            document.exec(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(row.table), {*rowid});
        else
            document.exec(QStringLiteral("UPDATE %1 SET SpecialNO = ? WHERE rowid = ?").arg(row.table),
                          {special, *rowid});
        return DayOutcome::Written;
    }
    if (action == Action::Clear)
        return DayOutcome::Unchanged;
    if (limited && YearCapacityExceeded(document, 1))
        return DayOutcome::Refused;
    document.exec(
        QStringLiteral("INSERT INTO %1 (ID, %2, SpecialNO) VALUES (0, %3, ?)").arg(row.table, row.columns, row.marks),
        row.key + QVariantList{special});
    return DayOutcome::Added;
}

int stored(Action action, int special)
{
    return action == Action::Special ? special : 0;
}

int deleteRows(ScheduleDocument& document, const char* table, const QString& where, const QVariantList& values)
{
    QSqlQuery query = document.exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(QLatin1String(table), where), values);
    return query.numRowsAffected();
}

}  // namespace

QVector<DayEntries> EntriesOfDays(ScheduleDocument& document, int circuit, QDate start, int count)
{
    QVector<DayEntries> days(std::max(count, 0));
    if (count <= 0)
        return days;
    // Only the months the view touches are read, so the time does not grow
    // with the entries elsewhere in the year.
    QStringList datedMonths;
    QStringList monthMarks;
    QVariantList datedValues{circuit};
    QVariantList monthValues{circuit};
    const QDate last = start.addDays(count - 1);
    for (QDate month(start.year(), start.month(), 1); month <= last; month = month.addMonths(1)) {
        datedMonths << QStringLiteral("(Year = ? AND Month = ?)");
        datedValues << month.year() - kCentury << month.month();
        monthMarks << QStringLiteral("?");
        monthValues << month.month();
    }
    QSqlQuery dated = document.exec(QStringLiteral("SELECT Year, Month, Day, SpecialNO FROM T_Year WHERE "
                                                   "CircuitNO = ? AND (%1) ORDER BY Year, Month, Day, rowid")
                                        .arg(datedMonths.join(QStringLiteral(" OR "))),
                                    datedValues);
    while (dated.next())
        if (DayEntries* day =
                slotOf(days, start, kCentury + dated.value(0).toInt(), dated.value(1).toInt(), dated.value(2).toInt());
            day && !day->dated)
            day->dated = dated.value(3).toInt();
    // A view reaches at most into the year after its first day.
    QSqlQuery everyYear = document.exec(QStringLiteral("SELECT Month, Day, SpecialNO FROM T_YearE WHERE "
                                                       "CircuitNO = ? AND Month IN (%1) ORDER BY Month, Day, rowid")
                                            .arg(monthMarks.join(QStringLiteral(", "))),
                                        monthValues);
    while (everyYear.next())
        for (int year : {start.year(), start.year() + 1})
            if (DayEntries* day = slotOf(days, start, year, everyYear.value(0).toInt(), everyYear.value(1).toInt());
                day && !day->everyYear)
                day->everyYear = everyYear.value(2).toInt();
    return days;
}

std::optional<int> DatedEntry(ScheduleDocument& document, int circuit, QDate day)
{
    return firstValue(document.exec(QStringLiteral("SELECT SpecialNO FROM T_Year WHERE CircuitNO = ? AND "
                                                   "Year = ? AND Month = ? AND Day = ? ORDER BY rowid LIMIT 1"),
                                    {circuit, day.year() - kCentury, day.month(), day.day()}));
}

std::optional<int> EveryYearEntry(ScheduleDocument& document, int circuit, int month, int day)
{
    return firstValue(document.exec(QStringLiteral("SELECT SpecialNO FROM T_YearE WHERE CircuitNO = ? AND "
                                                   "Month = ? AND Day = ? ORDER BY rowid LIMIT 1"),
                                    {circuit, month, day}));
}

RunResult WriteDatedRun(ScheduleDocument& document, int circuit, QDate from, QDate to, Action action, int special)
{
    RunResult result;
    Transaction transaction(document);
    for (QDate day = from; day.isValid() && day <= to; day = day.addDays(1)) {
        const DayRow row{QStringLiteral("T_Year"),
                         QStringLiteral("CircuitNO = ? AND Year = ? AND Month = ? AND Day = ? ORDER BY rowid LIMIT 1"),
                         {circuit, day.year() - kCentury, day.month(), day.day()},
                         QStringLiteral("CircuitNO, Year, Month, Day"),
                         QStringLiteral("?, ?, ?, ?")};
        const DayOutcome outcome = writeDay(document, row, action, stored(action, special), true);
        if (outcome == DayOutcome::Refused) {
            result.capacityReached = true;
            break;
        }
        if (outcome == DayOutcome::Added)
            ++result.added;
    }
    RenumberTable(document, QStringLiteral("T_Year"));
    transaction.commit();
    return result;
}

void WriteEveryYearRun(ScheduleDocument& document, int circuit, QDate from, QDate to, Action action, int special)
{
    Transaction transaction(document);
    for (QDate day = from; day.isValid() && day <= to; day = day.addDays(1)) {
        const DayRow row{QStringLiteral("T_YearE"),
                         QStringLiteral("CircuitNO = ? AND Month = ? AND Day = ? ORDER BY rowid LIMIT 1"),
                         {circuit, day.month(), day.day()},
                         QStringLiteral("CircuitNO, Month, Day"),
                         QStringLiteral("?, ?, ?")};
        writeDay(document, row, action, stored(action, special), false);
    }
    RenumberTable(document, QStringLiteral("T_YearE"));
    transaction.commit();
}

namespace {

int dayKey(int year, int month, int day)
{
    return (year * 100 + month) * 100 + day;
}

int dayKey(QDate day)
{
    return dayKey(day.year() - kCentury, day.month(), day.day());
}

// Every dated entry of the circuit by its day: the number, or -1 when rows
// of one day (from a file) disagree.
QHash<int, int> datedEntries(ScheduleDocument& document, int circuit)
{
    QHash<int, int> entries;
    ForEachIntRow(document,
                  QStringLiteral("SELECT Year, Month, Day, SpecialNO FROM T_Year WHERE CircuitNO = ? ORDER BY rowid"),
                  {circuit}, [&entries](const IntRow& row) {
                      const int key = dayKey(row.at(0), row.at(1), row.at(2));
                      const auto found = entries.constFind(key);
                      entries.insert(key, found == entries.constEnd() || *found == row.at(3) ? row.at(3) : -1);
                  });
    return entries;
}

DaysPlan plan(const QHash<int, int>& entries, const QList<QDate>& days, int special)
{
    DaysPlan plan;
    for (const QDate& day : days) {
        const auto found = entries.constFind(dayKey(day));
        if (found == entries.constEnd())
            ++plan.toAdd;
        else if (*found != special)
            ++plan.toReplace;
        else
            ++plan.unchanged;
    }
    return plan;
}

void runForDays(ScheduleDocument& document, const QString& sql, const QList<QDate>& days, int circuit,
                std::optional<int> special, const std::function<bool(QDate)>& wanted)
{
    BulkInsert statement(document, sql);
    for (const QDate& day : days) {
        if (!wanted(day))
            continue;
        if (special)
            statement.run({*special, circuit, day.year() - kCentury, day.month(), day.day()});
        else
            statement.run({circuit, day.year() - kCentury, day.month(), day.day()});
    }
}

}  // namespace

DaysPlan PlanDatedDays(ScheduleDocument& document, int circuit, const QList<QDate>& days, int special)
{
    return plan(datedEntries(document, circuit), days, special);
}

namespace {

// The distinct numbers of each key in row order, read from `sql` whose
// column `number` holds the number.
QHash<int, QList<int>> numbersByKey(ScheduleDocument& document, const QString& sql, int circuit, int number,
                                    const std::function<int(const IntRow&)>& key)
{
    QHash<int, QList<int>> numbers;
    ForEachIntRow(document, sql, {circuit}, [&](const IntRow& row) {
        QList<int>& held = numbers[key(row)];
        if (!held.contains(row.at(number)))
            held << row.at(number);
    });
    return numbers;
}

QMap<QDate, QList<int>> onDays(const QHash<int, QList<int>>& numbers, const QList<QDate>& days,
                               const std::function<int(QDate)>& key)
{
    QMap<QDate, QList<int>> on;
    for (const QDate& day : days)
        if (const auto found = numbers.constFind(key(day)); found != numbers.constEnd())
            on.insert(day, *found);
    return on;
}

}  // namespace

QMap<QDate, QList<int>> DatedEntriesOn(ScheduleDocument& document, int circuit, const QList<QDate>& days)
{
    if (days.isEmpty())
        return {};
    return onDays(numbersByKey(document,
                               QStringLiteral("SELECT Year, Month, Day, SpecialNO FROM T_Year WHERE CircuitNO = ? "
                                              "ORDER BY rowid"),
                               circuit, 3, [](const IntRow& row) { return dayKey(row.at(0), row.at(1), row.at(2)); }),
                  days, [](QDate day) { return dayKey(day); });
}

QMap<QDate, QList<int>> EveryYearEntriesOn(ScheduleDocument& document, int circuit, const QList<QDate>& days)
{
    if (days.isEmpty())
        return {};
    return onDays(numbersByKey(document,
                               QStringLiteral("SELECT Month, Day, SpecialNO FROM T_YearE WHERE CircuitNO = ? "
                                              "ORDER BY rowid"),
                               circuit, 2, [](const IntRow& row) { return row.at(0) * 100 + row.at(1); }),
                  days, [](QDate day) { return day.month() * 100 + day.day(); });
}

QString EntriesText(const QList<int>& specials)
{
    QStringList texts;
    for (int special : specials)
        texts << EntryText(special);
    return texts.join(QStringLiteral("・"));
}

bool WriteDatedDays(ScheduleDocument& document, int circuit, const QList<QDate>& days, int special, OnExisting existing)
{
    Transaction transaction(document);
    const QHash<int, int> entries = datedEntries(document, circuit);
    if (plan(entries, days, special).toAdd > RemainingYearCapacity(document))
        return false;
    const auto held = [&entries](QDate day) { return entries.contains(dayKey(day)); };
    if (existing == OnExisting::Overwrite)
        runForDays(document,
                   QStringLiteral("UPDATE T_Year SET SpecialNO = ? WHERE CircuitNO = ? AND Year = ? AND Month = ? "
                                  "AND Day = ?"),
                   days, circuit, special,
                   [&](QDate day) { return held(day) && entries.value(dayKey(day)) != special; });
    runForDays(
        document,
        QStringLiteral("INSERT INTO T_Year (ID, SpecialNO, CircuitNO, Year, Month, Day) VALUES (0, ?, ?, ?, ?, ?)"),
        days, circuit, special, [&](QDate day) { return !held(day); });
    RenumberTable(document, QStringLiteral("T_Year"));
    transaction.commit();
    return true;
}

int ClearDatedDays(ScheduleDocument& document, int circuit, const QList<QDate>& days)
{
    Transaction transaction(document);
    const int before = YearRowCount(document);
    runForDays(document,
               QStringLiteral("DELETE FROM T_Year WHERE CircuitNO = ? AND Year = ? AND Month = ? AND Day = ?"), days,
               circuit, std::nullopt, [](QDate) { return true; });
    const int deleted = before - YearRowCount(document);
    RenumberTable(document, QStringLiteral("T_Year"));
    transaction.commit();
    return deleted;
}

QList<int> YearsWithEntries(ScheduleDocument& document, int circuit)
{
    QSqlQuery query =
        document.exec(QStringLiteral("SELECT DISTINCT Year FROM T_Year WHERE CircuitNO = ? ORDER BY Year"), {circuit});
    QList<int> years;
    while (query.next())
        years << query.value(0).toInt();
    return years;
}

bool HasEveryYearEntries(ScheduleDocument& document, int circuit)
{
    return firstValue(document.exec(QStringLiteral("SELECT 1 FROM T_YearE WHERE CircuitNO = ? LIMIT 1"), {circuit}))
        .has_value();
}

int DeleteAllEntries(ScheduleDocument& document, int circuit)
{
    Transaction transaction(document);
    const int deleted = deleteRows(document, "T_YearE", QStringLiteral("CircuitNO = ?"), {circuit})
        + deleteRows(document, "T_Year", QStringLiteral("CircuitNO = ?"), {circuit});
    RenumberTable(document, QStringLiteral("T_YearE"));
    RenumberTable(document, QStringLiteral("T_Year"));
    transaction.commit();
    return deleted;
}

int DeleteYear(ScheduleDocument& document, int circuit, int twoDigitYear)
{
    Transaction transaction(document);
    const int deleted =
        deleteRows(document, "T_Year", QStringLiteral("CircuitNO = ? AND Year = ?"), {circuit, twoDigitYear});
    RenumberTable(document, QStringLiteral("T_Year"));
    transaction.commit();
    return deleted;
}

int DeleteEveryYearEntries(ScheduleDocument& document, int circuit)
{
    Transaction transaction(document);
    const int deleted = deleteRows(document, "T_YearE", QStringLiteral("CircuitNO = ?"), {circuit});
    RenumberTable(document, QStringLiteral("T_YearE"));
    transaction.commit();
    return deleted;
}

}  // namespace YearEntries
