#pragma once
#include <QString>
#include <functional>
#include <initializer_list>

class ScheduleDocument;
struct sqlite3;
struct sqlite3_stmt;

// Integers straight through SQLite on a document's own connection (so they
// join its running Transaction): binding and reading through Qt costs
// several times the statement itself, which matters when a whole program
// file is imported or a whole schedule read.

// One prepared INSERT run once per row.
class BulkInsert
{
public:
    // `sql` has one "?" per value; throws StoreError.
    BulkInsert(ScheduleDocument& document, const QString& sql);
    ~BulkInsert();

    void run(std::initializer_list<int> values);
    void run(const int* values, int count);

    BulkInsert(const BulkInsert&) = delete;
    BulkInsert& operator=(const BulkInsert&) = delete;

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};

// A result row of ForEachIntRow.
class IntRow
{
public:
    explicit IntRow(sqlite3_stmt* statement)
        : m_statement(statement)
    {
    }
    int at(int column) const;

private:
    sqlite3_stmt* m_statement;
};

// Runs a query of integer columns with `values` bound to its "?" in order
// and calls `row` for every result row; throws StoreError.
void ForEachIntRow(ScheduleDocument& document, const QString& sql, std::initializer_list<int> values,
                   const std::function<void(const IntRow&)>& row);
