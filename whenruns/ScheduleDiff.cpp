#include "whenruns/ScheduleDiff.h"

#include "store/ProgramTypes.h"
#include "week/Days.h"
#include "whenruns/ProgramText.h"

#include <algorithm>
#include <tuple>

namespace WhenRuns {

namespace {

QString typeText(int type)
{
    return type == TypeNone ? QStringLiteral("（なし）") : ProgramTypeName(type);
}

QString programText(const WeekRow& p, int type)
{
    if (p.SpecialNO == 0)
        return QStringLiteral("週間 ") + Days::name(p.YobiON) + QLatin1Char(' ') + programLine(type, p, true);
    return specialText(p.SpecialNO) + QLatin1Char(' ') + programLine(type, p, false);
}

QString yearDateText(const YearEntry& e)
{
    const QString monthDay = QStringLiteral("%1月%2日").arg(e.month).arg(e.day);
    return e.everyYear() ? QStringLiteral("年間 毎年") + monthDay
                         : QStringLiteral("年間 %1年").arg(e.year + 2000) + monthDay;
}

bool programBefore(const WeekRow& a, const WeekRow& b)
{
    return a.SpecialNO != b.SpecialNO ? a.SpecialNO < b.SpecialNO : rowBefore(a, b);
}

QList<WeekRow> programsOf(const Schedule& s, int circuit)
{
    QList<WeekRow> found;
    for (const WeekRow& p : s.programs)
        if (p.CircuitNO == circuit)
            found << p;
    std::stable_sort(found.begin(), found.end(), programBefore);
    return found;
}

// Walks two sorted lists together; rows on one side only are removed or added.
void diffPrograms(const Schedule& before, const Schedule& after, int circuit, CircuitChanges& changes)
{
    const QList<WeekRow> a = programsOf(before, circuit);
    const QList<WeekRow> b = programsOf(after, circuit);
    const int oldType = before.circuits[circuit].program;
    const int newType = after.circuits[circuit].program;
    qsizetype i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (j == b.size() || (i < a.size() && programBefore(a[i], b[j]))) {
            changes.removed << programText(a[i++], oldType);
        } else if (i == a.size() || programBefore(b[j], a[i])) {
            changes.added << programText(b[j++], newType);
        } else {
            ++i;
            ++j;
        }
    }
}

auto dateKey(const YearEntry& e)
{
    return std::make_tuple(e.year, e.month, e.day);
}

QList<YearEntry> entriesOf(const QList<YearEntry>& entries, int circuit)
{
    QList<YearEntry> found;
    for (const YearEntry& e : entries)
        if (e.circuit == circuit)
            found << e;
    std::stable_sort(found.begin(), found.end(), [](const YearEntry& x, const YearEntry& y) {
        return std::make_tuple(x.year, x.month, x.day, x.special) < std::make_tuple(y.year, y.month, y.day, y.special);
    });
    return found;
}

// One date's entries on both sides (normally one at most on each).
void diffDate(const QList<YearEntry>& a, const QList<YearEntry>& b, CircuitChanges& changes)
{
    if (a.size() == 1 && b.size() == 1) {
        if (a.first().special != b.first().special)
            changes.changed << yearDateText(a.first()) + QLatin1Char(' ') + specialText(a.first().special)
                    + QStringLiteral(" → ") + specialText(b.first().special);
        return;
    }
    QList<int> left, right;
    for (const YearEntry& e : a)
        left << e.special;
    for (const YearEntry& e : b)
        right << e.special;
    for (const YearEntry& e : a)
        if (!right.removeOne(e.special))
            changes.removed << yearDateText(e) + QLatin1Char(' ') + specialText(e.special);
    for (const YearEntry& e : b)
        if (!left.removeOne(e.special))
            changes.added << yearDateText(e) + QLatin1Char(' ') + specialText(e.special);
}

void diffYear(const QList<YearEntry>& before, const QList<YearEntry>& after, int circuit, CircuitChanges& changes)
{
    const QList<YearEntry> a = entriesOf(before, circuit);
    const QList<YearEntry> b = entriesOf(after, circuit);
    qsizetype i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        const bool fromA = j == b.size() || (i < a.size() && dateKey(a[i]) < dateKey(b[j]));
        const auto key = fromA ? dateKey(a[i]) : dateKey(b[j]);
        QList<YearEntry> left, right;
        while (i < a.size() && dateKey(a[i]) == key)
            left << a[i++];
        while (j < b.size() && dateKey(b[j]) == key)
            right << b[j++];
        diffDate(left, right, changes);
    }
}

void diffSettings(const CircuitInfo& a, const CircuitInfo& b, CircuitChanges& changes)
{
    if (a.program != b.program)
        changes.settings << QStringLiteral("種類: ") + typeText(a.program) + QStringLiteral(" → ")
                + typeText(b.program);
    if (a.program != TypeNone && b.program != TypeNone && a.pulseTime != b.pulseTime)
        changes.settings << QStringLiteral("出力時間／チャイム起動時間: %1秒 → %2秒").arg(a.pulseTime).arg(b.pulseTime);
}

}  // namespace

QList<CircuitChanges> DiffSchedules(const Schedule& before, const Schedule& after)
{
    QList<CircuitChanges> all;
    for (int circuit = 1; circuit <= 8; ++circuit) {
        CircuitChanges changes;
        changes.circuit = circuit;
        diffSettings(before.circuits[circuit], after.circuits[circuit], changes);
        diffPrograms(before, after, circuit, changes);
        diffYear(before.dated, after.dated, circuit, changes);
        diffYear(before.everyYear, after.everyYear, circuit, changes);
        if (!changes.isEmpty())
            all << changes;
    }
    return all;
}

QString diffText(const QList<CircuitChanges>& changes, const QString& oldName, const QString& newName)
{
    QStringList lines{QStringLiteral("--- ") + oldName, QStringLiteral("+++ ") + newName};
    for (const CircuitChanges& c : changes) {
        lines << QStringLiteral("回路 %1").arg(c.circuit);
        for (const QString& s : c.settings)
            lines << QStringLiteral("  * ") + s;
        for (const QString& s : c.removed)
            lines << QStringLiteral("  - ") + s;
        for (const QString& s : c.added)
            lines << QStringLiteral("  + ") + s;
        for (const QString& s : c.changed)
            lines << QStringLiteral("  * ") + s;
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace WhenRuns
