#include "year/YearEntries.h"

#include "core/Dates.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "store/YearEntriesModel.h"

#include <QHash>
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

using ScheduleModel::YearKind;

constexpr int kCentury = 2000;

// The day's slot in `days`, or null when the date is not real or not shown.
DayEntries* slotOf(QVector<DayEntries>& days, QDate start, int year, int month, int day)
{
    if (!IsRealDate(year, month, day))
        return nullptr;
    const qint64 offset = start.daysTo(QDate(year, month, day));
    return offset >= 0 && offset < days.size() ? &days[int(offset)] : nullptr;
}

YearRow dayOf(int circuit, QDate day, int special = 0)
{
    return YearRow{circuit, day.year() - kCentury, day.month(), day.day(), special};
}

std::optional<int> specialOf(const std::optional<YearRow>& row)
{
    return row ? std::optional<int>(row->SpecialNO) : std::nullopt;
}

enum class DayOutcome { Unchanged, Written, Added, Refused };

// Adds, rewrites or deletes the entry of one day; the dated entries refuse
// an added row at capacity.
DayOutcome writeDay(ScheduleDocument& document, ScheduleModel::YearEntriesRun& run, const YearRow& day, Action action,
                    bool limited)
{
    if (action == Action::Clear)
        return run.deleteFirstOn(day) ? DayOutcome::Written : DayOutcome::Unchanged;
    if (run.rewriteFirstOn(day, day.SpecialNO))
        return DayOutcome::Written;
    if (limited && YearCapacityExceeded(document, 1))
        return DayOutcome::Refused;
    run.add(day);
    return DayOutcome::Added;
}

int stored(Action action, int special)
{
    return action == Action::Special ? special : 0;
}

}  // namespace

QVector<DayEntries> EntriesOfDays(ScheduleDocument& document, int circuit, QDate start, int count)
{
    QVector<DayEntries> days(std::max(count, 0));
    if (count <= 0)
        return days;
    // Only the months the view touches are read, so the time does not grow
    // with the entries elsewhere in the year.
    QList<YearRow> months;
    const QDate last = start.addDays(count - 1);
    for (QDate month(start.year(), start.month(), 1); month <= last; month = month.addMonths(1))
        months << dayOf(circuit, month);
    for (const YearRow& row : ScheduleModel::yearEntriesIn(document, YearKind::Dated, circuit, months))
        if (DayEntries* day = slotOf(days, start, kCentury + row.Year, row.Month, row.Day); day && !day->dated)
            day->dated = row.SpecialNO;
    // A view reaches at most into the year after its first day.
    for (const YearRow& row : ScheduleModel::yearEntriesIn(document, YearKind::EveryYear, circuit, months))
        for (int year : {start.year(), start.year() + 1})
            if (DayEntries* day = slotOf(days, start, year, row.Month, row.Day); day && !day->everyYear)
                day->everyYear = row.SpecialNO;
    return days;
}

std::optional<int> DatedEntry(ScheduleDocument& document, int circuit, QDate day)
{
    return specialOf(ScheduleModel::firstEntryOn(document, YearKind::Dated, dayOf(circuit, day)));
}

std::optional<int> EveryYearEntry(ScheduleDocument& document, int circuit, int month, int day)
{
    return specialOf(ScheduleModel::firstEntryOn(document, YearKind::EveryYear, YearRow{circuit, 0, month, day, 0}));
}

RunResult WriteDatedRun(ScheduleDocument& document, int circuit, QDate from, QDate to, Action action, int special)
{
    RunResult result;
    ScheduleModel::YearEntriesRun run(document, YearKind::Dated);
    for (QDate day = from; day.isValid() && day <= to; day = day.addDays(1)) {
        const DayOutcome outcome = writeDay(document, run, dayOf(circuit, day, stored(action, special)), action, true);
        if (outcome == DayOutcome::Refused) {
            result.capacityReached = true;
            break;
        }
        if (outcome == DayOutcome::Added)
            ++result.added;
    }
    run.commit();
    return result;
}

void WriteEveryYearRun(ScheduleDocument& document, int circuit, QDate from, QDate to, Action action, int special)
{
    ScheduleModel::YearEntriesRun run(document, YearKind::EveryYear);
    for (QDate day = from; day.isValid() && day <= to; day = day.addDays(1))
        writeDay(document, run, dayOf(circuit, day, stored(action, special)), action, false);
    run.commit();
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
    for (const YearRow& row : ScheduleModel::yearEntriesOf(document, YearKind::Dated, circuit)) {
        const int key = dayKey(row.Year, row.Month, row.Day);
        const auto found = entries.constFind(key);
        entries.insert(key, found == entries.constEnd() || *found == row.SpecialNO ? row.SpecialNO : -1);
    }
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

// The days of `days` that `wanted` picks, as rows of the circuit holding `special`.
QList<YearRow> daysOf(int circuit, const QList<QDate>& days, int special, const std::function<bool(QDate)>& wanted)
{
    QList<YearRow> rows;
    for (const QDate& day : days)
        if (wanted(day))
            rows << dayOf(circuit, day, special);
    return rows;
}

}  // namespace

DaysPlan PlanDatedDays(ScheduleDocument& document, int circuit, const QList<QDate>& days, int special)
{
    return plan(datedEntries(document, circuit), days, special);
}

namespace {

// The distinct numbers of each key in stored order.
QHash<int, QList<int>> numbersByKey(const QList<YearRow>& rows, const std::function<int(const YearRow&)>& key)
{
    QHash<int, QList<int>> numbers;
    for (const YearRow& row : rows) {
        QList<int>& held = numbers[key(row)];
        if (!held.contains(row.SpecialNO))
            held << row.SpecialNO;
    }
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
    return onDays(numbersByKey(ScheduleModel::yearEntriesOf(document, YearKind::Dated, circuit),
                               [](const YearRow& row) { return dayKey(row.Year, row.Month, row.Day); }),
                  days, [](QDate day) { return dayKey(day); });
}

QMap<QDate, QList<int>> EveryYearEntriesOn(ScheduleDocument& document, int circuit, const QList<QDate>& days)
{
    if (days.isEmpty())
        return {};
    return onDays(numbersByKey(ScheduleModel::yearEntriesOf(document, YearKind::EveryYear, circuit),
                               [](const YearRow& row) { return row.Month * 100 + row.Day; }),
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
        ScheduleModel::rewriteDatedDays(document, daysOf(circuit, days, special, [&](QDate day) {
                                            return held(day) && entries.value(dayKey(day)) != special;
                                        }));
    ScheduleModel::addDatedEntries(document, daysOf(circuit, days, special, [&](QDate day) { return !held(day); }));
    transaction.commit();
    return true;
}

int ClearDatedDays(ScheduleDocument& document, int circuit, const QList<QDate>& days)
{
    return ScheduleModel::deleteDatedDays(document, daysOf(circuit, days, 0, [](QDate) { return true; }));
}

QList<int> YearsWithEntries(ScheduleDocument& document, int circuit)
{
    return ScheduleModel::datedYearsOf(document, circuit);
}

bool HasEveryYearEntries(ScheduleDocument& document, int circuit)
{
    return ScheduleModel::hasEveryYearEntries(document, circuit);
}

int DeleteAllEntries(ScheduleDocument& document, int circuit)
{
    Transaction transaction(document);
    const int deleted = ScheduleModel::deleteYearEntriesOf(document, YearKind::EveryYear, circuit)
        + ScheduleModel::deleteYearEntriesOf(document, YearKind::Dated, circuit);
    transaction.commit();
    return deleted;
}

int DeleteYear(ScheduleDocument& document, int circuit, int twoDigitYear)
{
    return ScheduleModel::deleteYearEntriesOf(document, YearKind::Dated, circuit, twoDigitYear);
}

int DeleteEveryYearEntries(ScheduleDocument& document, int circuit)
{
    return ScheduleModel::deleteYearEntriesOf(document, YearKind::EveryYear, circuit);
}

}  // namespace YearEntries
