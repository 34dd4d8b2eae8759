#include "store/ChangeWatch.h"

#include "store/BulkInsert.h"
#include "store/ProgramStore.h"
#include "store/ScheduleTables.h"

#include <sqlite3.h>

namespace {

StoreChanges::Changes g_noted;

void rowWritten(void*, int, const char* database, const char* table, sqlite3_int64)
{
    if (qstrcmp(database, "main") == 0)
        g_noted |= ChangeOfTable(table);
}

}  // namespace

namespace ChangeWatch {

void watch()
{
    g_noted = {};
    sqlite3_update_hook(ConnectionHandle(), rowWritten, nullptr);
    // SQLite empties a table without triggers at once, calling back for no
    // row; a trigger (of this connection only, in its temporary schema)
    // makes it delete row by row.
    for (const ScheduleTable& table : ScheduleTables())
        ProgramStore::exec(QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS wz_each_%1 AFTER DELETE ON main.%1 "
                                          "BEGIN SELECT 1; END")
                               .arg(QLatin1String(table.name)));
}

StoreChanges::Changes take()
{
    return std::exchange(g_noted, {});
}

void forget()
{
    g_noted = {};
}

}  // namespace ChangeWatch
