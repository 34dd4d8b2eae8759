#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// Which days of a span a repeating year entry falls on: every day, certain
// weekdays, the N-th or last given weekday of each month, or one day of
// each month.
namespace DateRules {

enum class Kind { EveryDay, Weekdays, NthWeekday, LastWeekday, MonthDay };

struct Rule {
    Kind kind = Kind::EveryDay;
    QList<int> weekdays;  // Weekdays: Qt's day numbers 1 (月) .. 7 (日), 日 first
    int nth = 1;          // NthWeekday: 1..5
    int weekday = 5;      // NthWeekday, LastWeekday: 1..7
    int monthDay = 1;     // MonthDay: 1..31

    bool operator==(const Rule& other) const;
};

// The days of from..to (both included) the rule gives, ascending. A month
// without the day asked for (第5 水曜日, 毎月 31日) gives none; a span
// running backwards gives none.
QList<QDate> Expand(const Rule& rule, QDate from, QDate to);

// The rule as the commands write it: "毎日", "曜日:月,水", "第1:金" (1..5),
// "最終:金", "日:15" (1..31); nullopt for anything else.
std::optional<Rule> ParseRule(const QString& text);

// The rule in the windows' words: 「期間のすべての日」, 「毎週 月・水」,
// 「第1 金曜日」, 「最終 金曜日」, 「毎月 15日」.
QString RuleText(const Rule& rule);

// 月 .. 日 for Qt's day numbers 1..7.
QString WeekdayName(int qtDay);

}  // namespace DateRules
