#pragma once
#include "store/StoreChanges.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <stdexcept>

// A failure of the store (file, SQL engine). Carries the engine's own
// description, which the program-wide handler shows in its "エラー" box.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString& description);
};

// The store's folder or one of its files is not the user's alone (another
// user owns it, or others may read or write it): nothing there is read.
class StoreNotPrivate : public StoreError
{
public:
    explicit StoreNotPrivate(const QString& path);
};

// A store of an older version that the engine could not upgrade (a full
// disk, a read-only or busy file): it was left as it was, to be upgraded at
// a later opening. Names the store and the reason.
class StoreNotUpgraded : public StoreError
{
public:
    StoreNotUpgraded(const QString& location, const QString& reason);
};

// The process-wide program store: one SQLite connection, opened once.
// Every routine that changes rows runs in one transaction (see Transaction).
namespace ProgramStore {

// Where the editor keeps its store when nobody says otherwise:
// <per-user data folder>/db/wz48prg.db
QString defaultLocation();

// Opens (and when needed creates or recreates) the store at `location`.
// ":memory:" gives a private store that lives as long as the process.
// A store of an older version is upgraded with its rows (docs/STORE.md);
// when the engine cannot do that now, it throws StoreNotUpgraded with the
// store untouched.
// A file that is unreadable or not a store of this program is renamed to
// `<location>.damaged-YYYYMMDD-HHMMSS` (its write-ahead log beside it as
// `<that name>-wal`) and a fresh store is made; the new name is returned,
// "" when nothing was kept aside. The store, its logs and its folder are
// the user's alone (0600, 0700): ours are tightened (never through a link),
// and anything of another user's, or a link to what others may read, is
// refused untouched with StoreNotPrivate. Throws StoreError when the damaged
// store cannot be kept aside or even a fresh store cannot be made.
QString open(const QString& location);
void close();
bool isOpen();
// How many stores this process has opened; what was learnt of a store
// holds only while this stays the same.
int openings();
QString location();

QSqlDatabase database();

// Changes whenever another connection (another process, a tool) commits to
// the store; the commits of this program's own connection leave it as it is.
qint64 dataVersion();

// Prepares `sql` with bound values and runs it; throws StoreError on failure.
QSqlQuery exec(const QString& sql, const QVariantList& values = {});
// The first column of the first row, or `fallback` when there is no row.
QVariant scalar(const QString& sql, const QVariantList& values = {}, const QVariant& fallback = {});

}  // namespace ProgramStore

// One store transaction: commits on commit(), rolls back when destroyed
// uncommitted (for instance when a StoreError flies through it). Nested
// Transactions join the outermost one. After the outermost commit the
// store announces through StoreChanges every schedule table the
// transaction wrote (the connection notes each row written; nobody
// declares anything), the circuit settings reloaded first when T_Setting
// was among them. A statement run outside a transaction is announced alike.
class Transaction
{
public:
    Transaction();
    ~Transaction();
    void commit();

    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    void release();

    bool m_outermost = false;
    bool m_done = false;
    bool m_released = false;
};
