#pragma once
#include "store/WeekRow.h"

#include <QList>
#include <array>

class ScheduleDocument;

// A plain copy of the schedule the store holds, free of the store: what a
// day runs, what changed between two files and the week timeline are all
// worked out on it. Two of them can sit side by side although the process
// has one store.
namespace WhenRuns {

struct CircuitInfo {
    int program = 0;  // 0 not configured, 1 報時 … 4 繰返し
    int pulseTime = 0;
};

// A dated entry (year 0..99 for 2000..2099) or an every-year entry (year -1).
struct YearEntry {
    int circuit = 0;
    int year = -1;
    int month = 0;
    int day = 0;
    int special = 0;  // 0 停止
    bool everyYear() const { return year < 0; }
};

struct Schedule {
    std::array<CircuitInfo, 9> circuits{};  // index 0 unused
    // In the order the rows were stored; whoever needs an order sorts.
    QList<WeekRow> programs;  // week and special programs
    QList<YearEntry> dated;
    QList<YearEntry> everyYear;
};

// The whole schedule of the document: circuit settings, week and special programs, dated and every-year entries.
Schedule ReadSchedule(ScheduleDocument& document);

// The week programs of one circuit, in the order they were stored.
QList<WeekRow> ReadWeekRows(ScheduleDocument& document, int circuit);

// Row order of the week rows within a circuit and special number: days, times,
// interval, tune.
bool rowBefore(const WeekRow& a, const WeekRow& b);

}  // namespace WhenRuns
