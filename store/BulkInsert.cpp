#include "store/BulkInsert.h"

#include "store/EngineErrors.h"
#include "store/ScheduleDocument.h"

#include <QSqlDriver>
#include <memory>
#include <sqlite3.h>

namespace {

[[noreturn]] void fail(sqlite3* db)
{
    throw StoreError(EngineErrors::describe(QStringLiteral("データベースを読み書きできません"),
                                            sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))));
}

struct Finalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
// Finalised however its user leaves, a failed bind or step included.
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

Statement prepare(sqlite3* db, const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK)
        fail(db);
    return Statement(statement);
}

void bind(sqlite3* db, sqlite3_stmt* statement, const int* values, int count)
{
    for (int index = 0; index < count; ++index)
        if (sqlite3_bind_int(statement, index + 1, values[index]) != SQLITE_OK)
            fail(db);
}

}  // namespace

BulkInsert::BulkInsert(ScheduleDocument& document, const QString& sql)
    : m_db(document.handle())
    , m_statement(prepare(m_db, sql).release())
{
}

BulkInsert::~BulkInsert()
{
    sqlite3_finalize(m_statement);
}

void BulkInsert::run(std::initializer_list<int> values)
{
    run(values.begin(), int(values.size()));
}

void BulkInsert::run(const int* values, int count)
{
    bind(m_db, m_statement, values, count);
    const int result = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    if (result != SQLITE_DONE)
        fail(m_db);
}

int IntRow::at(int column) const
{
    return sqlite3_column_int(m_statement, column);
}

void ForEachIntRow(ScheduleDocument& document, const QString& sql, std::initializer_list<int> values,
                   const std::function<void(const IntRow&)>& row)
{
    sqlite3* db = document.handle();
    const Statement statement = prepare(db, sql);
    bind(db, statement.get(), values.begin(), int(values.size()));
    const IntRow current(statement.get());
    int result;
    while ((result = sqlite3_step(statement.get())) == SQLITE_ROW)
        row(current);
    if (result != SQLITE_DONE)
        fail(db);
}
