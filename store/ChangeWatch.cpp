#include "store/ChangeWatch.h"

#include "store/ScheduleDocument.h"
#include "store/ScheduleTables.h"

#include <sqlite3.h>

namespace {

void rowWritten(void* noted, int, const char* database, const char* table, sqlite3_int64)
{
    if (qstrcmp(database, "main") == 0)
        *static_cast<StoreChanges::Changes*>(noted) |= ChangeOfTable(table);
}

}  // namespace

namespace ChangeWatch {

void watch(ScheduleDocument& document, StoreChanges::Changes* noted)
{
    *noted = {};
    sqlite3_update_hook(document.handle(), rowWritten, noted);
    // SQLite empties a table without triggers at once, calling back for no
    // row; a trigger (of this connection only, in its temporary schema)
    // makes it delete row by row.
    for (const ScheduleTable& table : ScheduleTables())
        document.exec(QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS wz_each_%1 AFTER DELETE ON main.%1 "
                                     "BEGIN SELECT 1; END")
                          .arg(QLatin1String(table.name)));
    *noted = {};
}

}  // namespace ChangeWatch
