#include "plan/PlanChanges.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace Plan {

namespace {

bool holdsOnly(const QList<int>& held, int special)
{
    return std::all_of(held.cbegin(), held.cend(), [special](int entry) { return entry == special; });
}

}  // namespace

Changes planChanges(const SchoolPlan& plan, const QMap<QString, DutyChoice>& choices, const CurrentEntries& current,
                    OnExisting onExisting, const QMap<int, QString>& specialNames)
{
    QHash<QDate, QList<int>> held;
    for (const DatedEntry& entry : current.entries)
        held[entry.date] << entry.special;

    Changes changes;
    changes.rowsBefore = std::max(current.rowsInAll, int(current.entries.size()));
    changes.rowsAfter = changes.rowsBefore;
    QHash<QString, int> nameIndex;
    QSet<int> named(specialNames.keyBegin(), specialNames.keyEnd());
    for (const NameCount& count : plan.names) {
        NameChanges name;
        name.name = count.name;
        name.days = count.days;
        const auto chosen = choices.constFind(SpecialNames::foldName(count.name));
        if (chosen != choices.cend())
            name.choice = *chosen;
        else
            changes.unchosen << count.name;
        nameIndex.insert(count.name, int(changes.names.size()));
        changes.names << name;
        if (name.choice && name.choice->kind == DutyChoice::Special && !named.contains(name.choice->special)
            && !SpecialNames::nameProblem(count.name)) {
            changes.namesToSet << NameToSet{name.choice->special, count.name};
            named.insert(name.choice->special);
        }
    }

    for (const PlanDay& day : plan.days) {
        const auto index = nameIndex.constFind(day.name);
        if (index == nameIndex.cend() || !changes.names.at(*index).choice)
            continue;
        NameChanges& name = changes.names[*index];
        const DutyChoice choice = *name.choice;
        const QList<int> entries = held.value(day.date);
        if (choice.kind == DutyChoice::Clear) {
            if (entries.isEmpty()) {
                ++name.kept;
            } else {
                ++name.cleared;
                changes.writes << DayWrite{day.date, choice};
                changes.rowsAfter -= int(entries.size());
            }
        } else if (entries.isEmpty()) {
            ++name.added;
            changes.writes << DayWrite{day.date, choice};
            ++changes.rowsAfter;
        } else if (holdsOnly(entries, *choice.stored())) {
            ++name.kept;
        } else {
            changes.conflicts << Conflict{day.date, day.name, entries, choice};
            if (onExisting == OnExisting::Keep) {
                ++name.kept;
            } else {
                ++name.replaced;
                changes.writes << DayWrite{day.date, choice};
            }
        }
    }

    const auto byDate = [](const auto& a, const auto& b) { return a.date < b.date; };
    std::stable_sort(changes.writes.begin(), changes.writes.end(), byDate);
    std::stable_sort(changes.conflicts.begin(), changes.conflicts.end(), byDate);
    if (!changes.writes.isEmpty())
        changes.firstDay = changes.writes.first().date;
    return changes;
}

MapWords readMapWords(const QStringList& words, const SchoolPlan& plan)
{
    static const QRegularExpression number(QStringLiteral("^[1-9][0-9]?$"));
    MapWords result;
    QSet<QString> tableNames;
    for (const NameCount& count : plan.names)
        tableNames.insert(SpecialNames::foldName(count.name));
    for (const QString& word : words) {
        const int equals = int(word.lastIndexOf(u'='));
        const QString name = SpecialNames::foldName(word.left(std::max(equals, 0)));
        if (equals < 0 || name.isEmpty()) {
            result.refusal = QStringLiteral("--map には 名前=なし、名前=停止、名前=特殊番号（1～99）"
                                            "のいずれかの形で指定してください（「%1」）。")
                                 .arg(word);
            return result;
        }
        const QString what = SpecialNames::foldName(word.mid(equals + 1));
        DutyChoice choice;
        if (what == QStringLiteral("なし")) {
            choice = DutyChoice::clear();
        } else if (what == QStringLiteral("停止")) {
            choice = DutyChoice::stop();
        } else if (number.match(what).hasMatch()) {
            choice = DutyChoice::runSpecial(what.toInt());
        } else {
            result.refusal = QStringLiteral("--map「%1」: 「=」の後には なし、停止、特殊番号（1～99）の"
                                            "いずれかを指定してください。")
                                 .arg(word);
            return result;
        }
        const auto earlier = result.choices.constFind(name);
        if (earlier != result.choices.cend() && *earlier != choice) {
            result.refusal = QStringLiteral("--map で日課「%1」に異なる指定が二つあります。").arg(name);
            return result;
        }
        if (earlier == result.choices.cend() && !tableNames.contains(name))
            result.warnings << QStringLiteral("--map の日課「%1」は表にありません。").arg(name);
        result.choices.insert(name, choice);
    }
    return result;
}

QString unchosenText(const QStringList& names)
{
    QStringList quoted;
    for (const QString& name : names)
        quoted << QStringLiteral("「%1」").arg(name);
    return QStringLiteral(
               "日課 %1 をどう設定するかの指定がありません。--map 名前=なし|停止|特殊番号 で指定してください。")
        .arg(quoted.join(QString()));
}

}  // namespace Plan
