#pragma once
#include <QString>
#include <QStringList>

class ScheduleDocument;

// The print tables: the week, special and year programs of one circuit laid
// out as ready-made text cells, so that the listings only place text. Each
// builder empties its table first and writes it in one transaction.

// T_WeekP as a grid: line i holds the i-th program (in time order) of every
// day, three cells per day (Sun1 … Sat3).
void FillWeekPrintTable(ScheduleDocument& document, int circuit);

// T_WeekP as (special number in Sun1, time text in Sun2) lines, in special
// number and time order.
void FillSpecialPrintTable(ScheduleDocument& document, int circuit);

struct PrintJob;

// T_YearP for the job's circuit and year (or 毎年): page 1 months 1-6, page 2
// months 7-12, one column per month, one line per entry in day order.
void FillYearPrintTable(ScheduleDocument& document, const PrintJob& job);

class ScheduleDocument;

namespace PrintTexts {

// "報時プログラム" … "繰返しプログラム" by program type; "" for none.
QString programTitle(int type);
// Label_Pulse by program title: "出力時間 5秒幅", "チャイム起動時間 10秒前", ….
QString pulseText(const QString& programTitle, int pulse);
// "回 路 3".
QString circuitText(int circuit);

// The year choices of a circuit: "毎年" first when it has every-year
// entries, then "26年" … for each year with dated entries.
QStringList yearChoices(ScheduleDocument& document, int circuit);

}  // namespace PrintTexts

// A listing to print, as the print window (or the pdf command) builds it
// for the selection dialog, the tables and the report.
struct PrintJob {
    enum Kind { Week = 1, Special = 2, Year = 3 };

    ScheduleDocument* document = nullptr;  // whose schedule is listed
    int kind = Week;
    int circuit = 0;
    QString programTitle;
    int pulse = 0;
    int year = 0;  // two-digit year, 0 for every year
    QString yearTitle;

    // A listing of the document's circuit, with its program title and pulse
    // time.
    static PrintJob forCircuit(ScheduleDocument& document, int kind, int circuit);
    // year and yearTitle from a year choice ("毎年" or "26年").
    void setYear(const QString& choice);
    bool everyYear() const;
    // Fills the print tables of the job's kind and circuit.
    void fillTables() const;
    // True when the tables filled for the job's kind list nothing.
    bool tablesEmpty() const;
};
