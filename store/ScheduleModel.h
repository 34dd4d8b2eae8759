#pragma once
#include "store/CircuitSetting.h"
#include "store/WeekRow.h"
#include "store/YearRow.h"

#include <QList>
#include <array>
#include <optional>

class ScheduleDocument;

// The schedule of a document as typed rows: the only code that knows how
// the store keeps them. Every routine that writes is one transaction (or
// joins the running one) and keeps each kind of row numbered in its order;
// all throw StoreError when the store fails.
namespace ScheduleModel {

// In which order rows are read: as they were stored, or by their number
// (the order of the program file and of the lists).
enum class Order { Stored, Numbered };

// Every week and special program.
QList<WeekRow> weekRows(ScheduleDocument& document, Order order);
// The week programs (special 0) of one circuit, in stored order.
QList<WeekRow> weekProgramsOf(ScheduleDocument& document, int circuit);
QList<YearRow> datedEntries(ScheduleDocument& document, Order order);
QList<YearRow> everyYearEntries(ScheduleDocument& document, Order order);

// A whole program file's content, rows in the order they are to be numbered.
struct Content {
    // What the file says of each circuit (index 0 unused); nullopt keeps the
    // setting as it was (emptied).
    std::array<std::optional<int>, 9> program{};
    std::array<std::optional<int>, 9> pulseTime{};
    QList<WeekRow> week;
    QList<YearRow> dated;
    QList<YearRow> everyYear;
};
// 読込: the schedule emptied (ClearAllData) and replaced by `content`.
void replaceWith(ScheduleDocument& document, const Content& content);

// A circuit's type and pulse time (its tune kept).
void setCircuitType(ScheduleDocument& document, int circuit, int program, int pulseTime);
// 初期設定: all eight circuits (index 0 of `settings` is circuit 1).
void setCircuits(ScheduleDocument& document, const std::array<CircuitSetting, 8>& settings);

}  // namespace ScheduleModel
