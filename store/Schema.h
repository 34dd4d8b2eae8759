#pragma once
#include <QStringList>

// The program store's tables, in one place. See docs/STORE.md for the
// meaning of every field.
namespace Schema {

// The version a store file carries (PRAGMA user_version). Bumped whenever a
// table changes, with the step from the version before in upgradeStatements.
// A store of an older version is upgraded on opening, its rows kept, so that
// a run that ended without its exit is offered back across an update; one of
// a newer version is not ours to read and counts as damaged.
constexpr int Version = 1;
// The oldest version that can still be upgraded. 0 is SQLite's own number
// for a file that never set one: its tables are those of version 1.
constexpr int OldestUpgradable = 0;

// What brings a store of version `from` (OldestUpgradable .. Version - 1) to
// `from + 1`; run with the others in one transaction.
QStringList upgradeStatements(int from);

// CREATE TABLE statements and the fixed rows every new store holds.
QStringList createStatements();
QStringList seedStatements();

// Columns every table must have for a file to count as a valid store.
struct TableColumns {
    const char* table;
    QStringList columns;
};
QList<TableColumns> expectedTables();

}  // namespace Schema
