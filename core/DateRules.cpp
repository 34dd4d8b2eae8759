#include "core/DateRules.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace DateRules {

namespace {

const QStringList kNames{"月", "火", "水", "木", "金", "土", "日"};

// Qt's day number of a weekday's one-letter name, 0 when it is none.
int weekdayNamed(const QString& name)
{
    return int(kNames.indexOf(name)) + 1;
}

bool falls(const Rule& rule, QDate day)
{
    switch (rule.kind) {
    case Kind::EveryDay:
        return true;
    case Kind::Weekdays:
        return rule.weekdays.contains(day.dayOfWeek());
    case Kind::NthWeekday:
        return day.dayOfWeek() == rule.weekday && (day.day() - 1) / 7 + 1 == rule.nth;
    case Kind::LastWeekday:
        return day.dayOfWeek() == rule.weekday && day.day() + 7 > day.daysInMonth();
    case Kind::MonthDay:
        return day.day() == rule.monthDay;
    }
    return false;
}

std::optional<int> numberIn(const QString& text, int low, int high)
{
    static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]?$"));
    if (!digits.match(text).hasMatch() || text.toInt() < low || text.toInt() > high)
        return std::nullopt;
    return text.toInt();
}

// Weeks here start on Sunday.
void sortSundayFirst(QList<int>& days)
{
    std::sort(days.begin(), days.end(), [](int a, int b) { return a % 7 < b % 7; });
}

std::optional<QList<int>> weekdayList(const QString& text)
{
    QList<int> days;
    for (const QString& name : text.split(QLatin1Char(','))) {
        const int day = weekdayNamed(name);
        if (day == 0 || days.contains(day))
            return std::nullopt;
        days << day;
    }
    sortSundayFirst(days);
    return days;
}

}  // namespace

bool Rule::operator==(const Rule& other) const
{
    if (kind != other.kind)
        return false;
    switch (kind) {
    case Kind::EveryDay:
        return true;
    case Kind::Weekdays:
        return weekdays == other.weekdays;
    case Kind::NthWeekday:
        return nth == other.nth && weekday == other.weekday;
    case Kind::LastWeekday:
        return weekday == other.weekday;
    case Kind::MonthDay:
        return monthDay == other.monthDay;
    }
    return false;
}

QList<QDate> Expand(const Rule& rule, QDate from, QDate to)
{
    QList<QDate> days;
    if (!from.isValid() || !to.isValid())
        return days;
    for (QDate day = from; day <= to; day = day.addDays(1))
        if (falls(rule, day))
            days << day;
    return days;
}

std::optional<Rule> ParseRule(const QString& text)
{
    if (text == QStringLiteral("毎日"))
        return Rule{};
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    const QString head = text.left(colon);
    const QString value = text.mid(colon + 1);
    Rule rule;
    if (head == QStringLiteral("曜日")) {
        const std::optional<QList<int>> days = weekdayList(value);
        if (!days)
            return std::nullopt;
        rule.kind = Kind::Weekdays;
        rule.weekdays = *days;
        return rule;
    }
    if (head == QStringLiteral("日")) {
        const std::optional<int> day = numberIn(value, 1, 31);
        if (!day)
            return std::nullopt;
        rule.kind = Kind::MonthDay;
        rule.monthDay = *day;
        return rule;
    }
    rule.weekday = weekdayNamed(value);
    if (rule.weekday == 0)
        return std::nullopt;
    if (head == QStringLiteral("最終")) {
        rule.kind = Kind::LastWeekday;
        return rule;
    }
    static const QRegularExpression nth(QStringLiteral("^第([1-5])$"));
    const QRegularExpressionMatch match = nth.match(head);
    if (!match.hasMatch())
        return std::nullopt;
    rule.kind = Kind::NthWeekday;
    rule.nth = match.captured(1).toInt();
    return rule;
}

QString WeekdayName(int qtDay)
{
    return kNames.value(qtDay - 1);
}

QString RuleText(const Rule& rule)
{
    switch (rule.kind) {
    case Kind::EveryDay:
        return QStringLiteral("期間のすべての日");
    case Kind::Weekdays: {
        QList<int> days = rule.weekdays;
        sortSundayFirst(days);
        QStringList names;
        for (int day : days)
            names << WeekdayName(day);
        return QStringLiteral("毎週 ") + names.join(QStringLiteral("・"));
    }
    case Kind::NthWeekday:
        return QStringLiteral("第%1 %2曜日").arg(rule.nth).arg(WeekdayName(rule.weekday));
    case Kind::LastWeekday:
        return QStringLiteral("最終 %1曜日").arg(WeekdayName(rule.weekday));
    case Kind::MonthDay:
        return QStringLiteral("毎月 %1日").arg(rule.monthDay);
    }
    return QString();
}

}  // namespace DateRules
