#include "store/BulkInsert.h"

#include "store/ProgramStore.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace {

sqlite3* connectionHandle()
{
    const QVariant handle = ProgramStore::database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw StoreError(QStringLiteral("The program store is not an SQLite database"));
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    if (!db)
        throw StoreError(QStringLiteral("The program store is not open"));
    return db;
}

}  // namespace

BulkInsert::BulkInsert(const QString& sql)
    : m_db(connectionHandle())
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK)
        fail();
}

BulkInsert::~BulkInsert()
{
    sqlite3_finalize(m_statement);
}

void BulkInsert::run(std::initializer_list<int> values)
{
    int index = 0;
    for (int value : values)
        if (sqlite3_bind_int(m_statement, ++index, value) != SQLITE_OK)
            fail();
    const int result = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    if (result != SQLITE_DONE)
        fail();
}

void BulkInsert::fail() const
{
    throw StoreError(QString::fromUtf8(sqlite3_errmsg(m_db)));
}
