#pragma once
#include "whenruns/DayResolution.h"

#include <QString>

// The texts of programs and year entries as the editor's windows write
// them: times and days as in the program list grids, special numbers and
// 停止 as in the year windows.
namespace WhenRuns {

// The grid texts of one program of a circuit of `type`; fields the type
// does not have stay empty. Special programs have no day columns.
struct ProgramTexts {
    QString time;      // " 時 刻" or " 開始時刻": " 8:30", chimes " 8:30.05"
    QString endDay;    // " 終了曜日": "月"
    QString endTime;   // " 終了時刻"
    QString tune;      // " 曲番号"
    QString interval;  // "繰返し間隔(分)"
};
ProgramTexts programTexts(int type, const WeekRow& row, bool withDays = true);

// One line: " 8:30.05  曲番号 3", "22:00 ～ 土  6:00  繰返し間隔(分) 10".
QString programLine(int type, const WeekRow& row, bool withDays = true);

// "特殊番号 3" or "停止".
QString specialText(int special);
// "年間（2027年）" for a dated entry of the date's year, "年間（毎年）".
QString entryText(EntryKind entry, const QDate& date);
// "週間: 金曜日", "年間（毎年）: 特殊番号 3", "競合: 年間（2027年）停止 ／ 年間（毎年）特殊番号 1".
QString sourceText(const DaySource& source, const QDate& date);

// What the day preview says under a circuit's source: the conflict, 停止,
// a special number without programs, or a weekday with nothing to run;
// empty otherwise.
QString dayRemark(const CircuitDay& day);
QString fromPreviousDayText();

// "2027年1月1日（金）".
QString dateText(const QDate& date);

}  // namespace WhenRuns
