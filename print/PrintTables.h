#pragma once
#include <QString>
#include <QStringList>

// The print tables: the week, special and year programs of one circuit laid
// out as ready-made text cells, so that the listings only place text. Each
// builder empties its table first and writes it in one transaction.

// T_WeekP as a grid: line i holds the i-th program (in time order) of every
// day, three cells per day (Sun1 … Sat3).
void FillWeekPrintTable(int circuit);

// T_WeekP as (special number in Sun1, time text in Sun2) lines, in special
// number and time order.
void FillSpecialPrintTable(int circuit);

// T_YearP for the year (or 毎年) in PrintHandOver: page 1 months 1-6, page 2
// months 7-12, one column per month, one line per entry in day order.
void FillYearPrintTable(int circuit);

namespace PrintTexts {

// "報時プログラム" … "繰返しプログラム" by program type; "" for none.
QString programTitle(int type);
// Label_Pulse by program title: "出力時間 5秒幅", "チャイム起動時間 10秒前", ….
QString pulseText(const QString& programTitle, int pulse);
// "回 路 3".
QString circuitText(int circuit);

// The year choices of a circuit: "毎年" first when it has every-year
// entries, then "26年" … for each year with dated entries.
QStringList yearChoices(int circuit);
// PrintYear and PrintYearTitle from a year choice ("毎年" or "26年").
void setPrintYear(const QString& choice);

}  // namespace PrintTexts

namespace PrintJob {

enum Kind { Week = 1, Special = 2, Year = 3 };

// PrintKind, PrintCircuit, PrintProgramTitle and PrintPulse for a listing
// of the circuit, from CircuitSettings.
void setHandOver(int kind, int circuit);
// Fills the print tables of PrintHandOver's kind and circuit.
void fillTables();
// True when the tables filled for PrintHandOver's kind list nothing.
bool tablesEmpty();

}  // namespace PrintJob
