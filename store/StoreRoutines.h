#pragma once
#include <QString>

// The store routines every window uses. They work on the store opened by
// ProgramStore::open and throw StoreError when the store fails; each one
// that writes is a single transaction.

// The device's capacity: rows of T_Week (week and special programs of all
// circuits together) and rows of T_Year. T_YearE has no limit.
constexpr int WeekCapacity = 900;
constexpr int YearCapacity = 500;

// Empties the store: T_Setting rows back to type 0, pulse 0, tune 1; every
// program, working and print table emptied; T_YearH kept. CircuitSettings
// follows T_Setting, as after every commit.
void ClearAllData();

// CircuitSettings: Program 0 and PulseTime 99 in all nine entries, Chime kept.
void ResetCircuitSettings();

// Numbers ID 1..n in the table's sort order ("T_Week", "T_WeekT", "T_Year",
// "T_YearE"); the program file writer relies on ID order = sort order.
void RenumberTable(const QString& tableName);

// True when the circuit has a row in T_Week, T_Year or T_YearE.
bool HasPrograms(int circuit);

bool YearDateExists(int circuit, int year, int month, int day);
bool EveryYearDateExists(int circuit, int month, int day);

// True when adding n rows would exceed the capacity; an empty table always
// gives false.
bool WeekCapacityExceeded(int n);
bool YearCapacityExceeded(int n);

// Rows still free: capacity minus the rows held.
int RemainingWeekCapacity();
int RemainingYearCapacity();

// True when some circuit 1..8 has a program type in CircuitSettings.
bool AnyCircuitConfigured();

int WeekRowCount();
int YearRowCount();
int EveryYearRowCount();
