#pragma once
#include "store/StoreChanges.h"

#include <QString>
#include <array>

// The four tables that hold the schedule, in one list: the circuit
// settings, the week and special programs, the dated and the every-year
// entries. Their columns are in Schema; the working and print tables
// (T_WeekT, T_WeekP, T_YearP, T_YearH) are not schedule tables.
struct ScheduleTable {
    const char* name;
    StoreChanges::Change change;  // what a write to it announces
    const char* order;            // the rows' order, for renumbering; "" for T_Setting
};

const std::array<ScheduleTable, 4>& ScheduleTables();

// The change a write to the table named `name` announces; none for a table
// that holds no schedule.
StoreChanges::Changes ChangeOfTable(const char* name);

// The renumbering order of a table (a schedule table or T_WeekT); throws
// StoreError for any other.
QString RowOrderOf(const QString& name);
