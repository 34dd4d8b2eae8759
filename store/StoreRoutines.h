#pragma once
#include <QString>

class ScheduleDocument;

// The store routines every window uses. They work on the store opened by
// a document and throw StoreError when the store fails; each one
// that writes is a single transaction.

// The device's capacity: rows of T_Week (week and special programs of all
// circuits together) and rows of T_Year. T_YearE has no limit.
constexpr int WeekCapacity = 900;
constexpr int YearCapacity = 500;

// Empties the store: T_Setting rows back to type 0, pulse 0, tune 1; every
// program, working and print table emptied; T_YearH kept. CircuitSettings
// follows T_Setting, as after every commit.
void ClearAllData(ScheduleDocument& document);

// Numbers ID 1..n in the table's sort order ("T_Week", "T_WeekT", "T_Year",
// "T_YearE"); the program file writer relies on ID order = sort order.
void RenumberTable(ScheduleDocument& document, const QString& tableName);

// True when the circuit has a row in T_Week, T_Year or T_YearE.
bool HasPrograms(ScheduleDocument& document, int circuit);

bool YearDateExists(ScheduleDocument& document, int circuit, int year, int month, int day);
bool EveryYearDateExists(ScheduleDocument& document, int circuit, int month, int day);

// True when adding n rows would exceed the capacity; an empty table always
// gives false.
bool WeekCapacityExceeded(ScheduleDocument& document, int n);
bool YearCapacityExceeded(ScheduleDocument& document, int n);

// Rows still free: capacity minus the rows held.
int RemainingWeekCapacity(ScheduleDocument& document);
int RemainingYearCapacity(ScheduleDocument& document);

// True when some circuit 1..8 has a program type in the document's circuit settings.
bool AnyCircuitConfigured(const ScheduleDocument& document);

int WeekRowCount(ScheduleDocument& document);
int YearRowCount(ScheduleDocument& document);
int EveryYearRowCount(ScheduleDocument& document);
