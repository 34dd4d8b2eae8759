#pragma once
#include <QStringList>

// The program store's tables, in one place. See docs/STORE.md for the
// meaning of every field.
namespace Schema {

// Bumped whenever a table changes; a store file of another version is
// recreated at start-up (the store is scratch space, nothing in it is kept).
constexpr int Version = 1;

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
