#pragma once
#include <QList>
#include <QString>

// Day codes: 0 日 (Sunday) .. 6 土 (Saturday), 7 平日 (Monday..Friday),
// 8 毎日 (every day). Only 0..6 are stored in rows.
namespace Days {

constexpr int Weekdays = 7;
constexpr int EveryDay = 8;

inline bool isGroup(int code)
{
    return code == Weekdays || code == EveryDay;
}

// "日" .. "土" for 0..6, "平日", "毎日" for 7, 8; "" otherwise.
QString name(int code);
// "日曜日" .. "土曜日" for 0..6; "" otherwise.
QString fullName(int code);
// The code of a name given by name(); -1 when unknown.
int codeOf(const QString& name);
// The single days a code stands for, ascending.
QList<int> range(int code);

}  // namespace Days
