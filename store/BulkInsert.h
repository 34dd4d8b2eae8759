#pragma once
#include <QString>
#include <initializer_list>

struct sqlite3;
struct sqlite3_stmt;

// One prepared INSERT run once per row, with integers bound straight
// through SQLite on the store's own connection (so it joins the running
// Transaction). Binding through Qt costs several times the insert itself,
// which matters when a whole program file is imported.
class BulkInsert
{
public:
    // `sql` has one "?" per value; throws StoreError.
    explicit BulkInsert(const QString& sql);
    ~BulkInsert();

    void run(std::initializer_list<int> values);

    BulkInsert(const BulkInsert&) = delete;
    BulkInsert& operator=(const BulkInsert&) = delete;

private:
    [[noreturn]] void fail() const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};
