#pragma once
#include "store/StoreChanges.h"

// Notes every row the store's connection writes to a schedule table, so
// that a commit can announce exactly what it changed: SQLite calls back for
// each row inserted, updated or deleted (a table emptied at once included).
namespace ChangeWatch {

// Watches the connection ProgramStore has just opened.
void watch();

// The changes noted since the last take (or forget), and forgets them.
StoreChanges::Changes take();
// Forgets them (a transaction rolled back).
void forget();

}  // namespace ChangeWatch
