#pragma once
#include "plan/Table.h"

#include <QDate>

#include <optional>

namespace Plan {

// The 日課 column the user (or --column) picks where no header reads 日課:
// by its header text, or by its number counted from 1.
struct ColumnChoice {
    QString header;
    std::optional<int> number;
    bool isSet() const { return number || !header.isEmpty(); }
    // "3" (or "３") is the third column; any other text a header.
    static ColumnChoice fromArgument(const QString& argument);
};

// Where the table keeps what is read from it (0-based indices).
struct Layout {
    int headerRow = -1;   // -1: the dates begin on the first row
    int dateColumn = -1;  // the first column whose cells read as dates
    int dutyColumn = -1;  // the choice, else the one headed 日課; -1 when neither names one
    int columnCount = 0;
    QStringList headers;  // the header row, a cell per column (empty texts without a header)
};

// Finds the header row and the columns. Refuses (TableError) an empty
// table, one without a date column, and a choice naming no column.
Layout findLayout(const Grid& grid, const ColumnChoice& choice = ColumnChoice());

struct PlanOptions {
    int schoolYear = 0;  // the 年度 of month/day dates; 0: the one a title above the header names
    ColumnChoice column;
};

struct PlanDay {
    QDate date;
    QString name;  // folded (foldName)
    int row = 0;   // the first row naming it, from 1 as the sheet shows
};

struct NameCount {
    QString name;
    int days = 0;
};

struct SchoolPlan {
    Layout layout;
    int schoolYear = 0;      // what month/day dates were read in (0: none given or found)
    QList<PlanDay> days;     // each day once, in table order; days without a 日課 are left out
    QList<NameCount> names;  // each 日課 once, in the order it first comes, with its number of days
    int skippedRows = 0;     // rows below the header with something in them but no date
    int unnamedDays = 0;     // days whose 日課 cells are all empty: they stay as they are
};

// Reads the table. Refuses (TableError, naming the row and cell) what
// findLayout refuses, no 日課 column, a date refused by readCellDate and
// one day in two rows with different 日課 (naming both rows).
SchoolPlan readPlan(const Grid& grid, const PlanOptions& options = PlanOptions());

}  // namespace Plan
