#pragma once
#include "store/CircuitSetting.h"
#include "store/StoreChanges.h"

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <stdexcept>

struct sqlite3;

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

// One schedule being edited: its store (a connection of its own, so that
// several documents live in one process), its transactions, what they
// changed and the circuit settings as the last commit left them. The editor
// has one, every command one (or two) of its own on a private in-memory
// store. Features read and change the schedule through the model
// (ScheduleModel.h); only store/ runs SQL on a document.
class ScheduleDocument : public QObject
{
    Q_OBJECT
public:
    // Opens (and when needed creates or recreates) the store at `location`;
    // ":memory:" gives a private store that lives as long as the document.
    // A store of an older version is upgraded with its rows (docs/STORE.md);
    // when the engine cannot do that now, it throws StoreNotUpgraded with
    // the store untouched. A file that is unreadable or not a store of this
    // program is renamed to `<location>.damaged-YYYYMMDD-HHMMSS` (its
    // write-ahead log beside it as `<that name>-wal`) and a fresh store is
    // made (keptAside() names it). The store, its logs and its folder are
    // the user's alone (0600, 0700): ours are tightened (never through a
    // link), and anything of another user's, or a link to what others may
    // read, is refused untouched with StoreNotPrivate. Throws StoreError when
    // the damaged store cannot be kept aside or even a fresh store cannot be
    // made.
    explicit ScheduleDocument(const QString& location);
    ~ScheduleDocument() override;

    ScheduleDocument(const ScheduleDocument&) = delete;
    ScheduleDocument& operator=(const ScheduleDocument&) = delete;

    // Where the editor keeps its store when nobody says otherwise:
    // <per-user data folder>/db/wz48prg.db
    static QString defaultLocation();

    QString location() const { return m_location; }
    // Where a damaged store found at opening was kept, "" when none.
    QString keptAside() const { return m_keptAside; }

    // The circuit settings as the last commit left them (index 0 unused);
    // changed only through the model, reloaded by the commit that wrote them.
    const CircuitSettingArray& circuits() const { return m_circuits; }
    // Checked: a circuit outside 0..8 throws StoreError.
    const CircuitSetting& circuit(int circuit) const;
    // Every circuit as not set up yet (type 0, pulse 99, tune kept), until
    // the store's settings are loaded (reloadCircuits).
    void resetCircuits();
    void reloadCircuits();

    // Changes whenever another connection (another process, a tool) commits
    // to the store; the commits of this document's own connection leave it
    // as it is.
    qint64 dataVersion();

    // The store's own (for store/ alone).
    QSqlDatabase database() const;
    sqlite3* handle() const;
    // Prepares `sql` with bound values and runs it; throws StoreError.
    QSqlQuery exec(const QString& sql, const QVariantList& values = {});
    // The first column of the first row, or `fallback` when there is no row.
    QVariant scalar(const QString& sql, const QVariantList& values = {}, const QVariant& fallback = {});

signals:
    // Every committed transaction that wrote a schedule table, once, after
    // its commit, with the kinds it wrote (the document notes them itself);
    // a rolled-back one says nothing. The circuit settings are reloaded
    // before it is emitted when they were written.
    void changed(StoreChanges::Changes changes);

private:
    friend class Transaction;
    void announce();

    QString m_connection;
    QString m_location;
    QString m_keptAside;
    int m_transactionDepth = 0;
    StoreChanges::Changes m_noted;
    CircuitSettingArray m_circuits{};
};

// One transaction on a document: commits on commit(), rolls back when
// destroyed uncommitted (for instance when a StoreError flies through it).
// Nested Transactions join the outermost one, whose commit announces what
// the transaction wrote (ScheduleDocument::changed). A statement run
// outside a transaction is announced alike.
class Transaction
{
public:
    explicit Transaction(ScheduleDocument& document);
    ~Transaction();
    void commit();

    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    void release();

    ScheduleDocument& m_document;
    bool m_outermost = false;
    bool m_done = false;
    bool m_released = false;
};
