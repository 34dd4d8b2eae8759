#pragma once
#include "store/StoreChanges.h"

class ScheduleDocument;

// Notes every row a document's connection writes to a schedule table, so
// that a commit can announce exactly what it changed: SQLite calls back for
// each row inserted, updated or deleted (a table emptied at once included).
namespace ChangeWatch {

// Watches the document's connection from now on, noting into `noted`,
// which must live as long as the connection.
void watch(ScheduleDocument& document, StoreChanges::Changes* noted);

}  // namespace ChangeWatch
