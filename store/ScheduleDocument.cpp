#include "store/ScheduleDocument.h"

#include "core/platform/Platform.h"
#include "store/ChangeWatch.h"
#include "store/EngineErrors.h"
#include "store/PrivatePaths.h"
#include "store/ProgramTypes.h"
#include "store/Schema.h"
#include "store/SettingTable.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QStandardPaths>

#include <memory>
#include <utility>

StoreError::StoreError(const QString& description)
    : std::runtime_error(description.toStdString())
{
}

StoreNotPrivate::StoreNotPrivate(const QString& path)
    : StoreError(PrivatePaths::notOursAloneText(path))
{
}

StoreNotUpgraded::StoreNotUpgraded(const QString& location, const QString& reason)
    : StoreError(QStringLiteral("データベース %1 を新しい形式に更新できないため、起動できません。\r\n%2\r\n"
                                "データベースはそのまま残してあります。")
                     .arg(QDir::toNativeSeparators(location), reason))
{
}

namespace {

// The store file and the files SQLite keeps beside it.
const QStringList kStoreFiles{QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};

const QString kCannotUse = QStringLiteral("データベースを読み書きできません");
const QString kCannotBegin = QStringLiteral("トランザクションを開始できません");
const QString kCannotCommit = QStringLiteral("トランザクションをコミットできません");

void run(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw StoreError(EngineErrors::describe(kCannotUse, query.lastError()));
}

// -1 when it cannot be read.
int storedVersion(QSqlDatabase& db)
{
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next())
        return -1;
    return version.value(0).toInt();
}

bool hasExpectedTables(QSqlDatabase& db)
{
    for (const auto& table : Schema::expectedTables()) {
        const QSqlRecord record = db.record(QLatin1String(table.table));
        for (const QString& column : table.columns)
            if (record.indexOf(column) < 0)
                return false;
    }
    QSqlQuery settings(db);
    if (!settings.exec(QStringLiteral("SELECT COUNT(*), MIN(CircuitNO), MAX(CircuitNO), "
                                      "COUNT(DISTINCT CircuitNO) FROM T_Setting"))
        || !settings.next())
        return false;
    return settings.value(0).toInt() == 8 && settings.value(1).toInt() == 1 && settings.value(2).toInt() == 8
        && settings.value(3).toInt() == 8;
}

// Runs one statement; the error, none when it ran.
QSqlError runStep(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    query.exec(sql);
    return query.lastError();
}

// A store of an older version brought to this one in one transaction, its
// rows kept. False, with nothing changed, when its tables are not those the
// upgrade expects. When the engine cannot do it (a full disk, a busy or
// read-only file) the store is no damaged one: StoreNotUpgraded, nothing
// changed either.
bool upgraded(QSqlDatabase& db, int version, const QString& location)
{
    const auto failed = [&db, &location](const QSqlError& error) {
        db.rollback();
        if (EngineErrors::isStoreFault(error))
            return false;
        throw StoreNotUpgraded(location, EngineErrors::reasonOf(error));
    };
    if (!db.transaction())
        return failed(db.lastError());
    for (int from = version; from < Schema::Version; ++from)
        for (const QString& sql : Schema::upgradeStatements(from))
            if (const QSqlError error = runStep(db, sql); error.isValid())
                return failed(error);
    if (!hasExpectedTables(db)) {
        db.rollback();
        return false;
    }
    if (const QSqlError error = runStep(db, QStringLiteral("PRAGMA user_version = %1").arg(Schema::Version));
        error.isValid())
        return failed(error);
    return db.commit() || failed(db.lastError());
}

bool isValidStore(QSqlDatabase& db, const QString& location)
{
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next()
        || check.value(0).toString() != QLatin1String("ok"))
        return false;
    check.finish();
    const int version = storedVersion(db);
    if (version == Schema::Version)
        return hasExpectedTables(db);
    return version >= Schema::OldestUpgradable && version < Schema::Version && upgraded(db, version, location);
}

void createTables(QSqlDatabase& db)
{
    if (!db.transaction())
        throw StoreError(EngineErrors::describe(kCannotBegin, db.lastError()));
    try {
        for (const QString& sql : Schema::createStatements() + Schema::seedStatements())
            run(db, sql);
        run(db, QStringLiteral("PRAGMA user_version = %1").arg(Schema::Version));
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit())
        throw StoreError(EngineErrors::describe(kCannotCommit, db.lastError()));
}

void requireOursAlone(const QString& path, Platform::PrivateKind kind)
{
    Platform::tightenPrivate(path, kind);
    if (!Platform::isOursAlone(path, kind))
        throw StoreNotPrivate(path);
}

// The store holds the user's schedules: only the user may read it, and
// nobody else may have planted it. SQLite gives its logs the store file's
// own mode, so a new store file is made here, private from the start; one
// left by an older run is tightened.
void makePrivate(const QString& location)
{
    const QString folder = QFileInfo(location).absolutePath();
    QDir().mkpath(folder);
    requireOursAlone(folder, Platform::PrivateKind::Folder);
    for (const QString& suffix : kStoreFiles)
        requireOursAlone(location + suffix, Platform::PrivateKind::File);
    QFile store(location);
    if (!store.exists())
        store.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner);
}

QSqlDatabase openConnection(const QString& connection, const QString& location)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(location);
    if (!db.open())
        throw StoreError(EngineErrors::describe(QStringLiteral("データベースを開けません"), db.lastError()));
    // The store holds the user's unsaved work until a clean exit empties it,
    // and the next start offers it back after a crash, a kill or a power
    // cut. The write-ahead log keeps the file consistent through all three;
    // with synchronous = FULL every commit is on disk before the window goes
    // on, so not even the last change is lost. It costs one sync per commit:
    // the windows commit once per user action and a file import once in all.
    run(db, QStringLiteral("PRAGMA journal_mode = WAL"));
    run(db, QStringLiteral("PRAGMA synchronous = FULL"));
    return db;
}

void removeConnection(const QString& connection)
{
    if (!QSqlDatabase::contains(connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

void removeStoreFiles(const QString& location)
{
    for (const QString& suffix : kStoreFiles) {
        const QString path = location + suffix;
        if (QFileInfo::exists(path) && !QFile::remove(path))
            throw StoreError(QStringLiteral("データベース %1 を作り直せません。").arg(QDir::toNativeSeparators(path)));
    }
}

// Whether the file or its log holds anything; an empty store file is one
// made and never written.
bool holdsData(const QString& location)
{
    return QFileInfo(location).size() > 0 || QFileInfo(location + QStringLiteral("-wal")).size() > 0;
}

// A store that cannot be used may still hold the last run's work: it is
// renamed with its logs, never removed, so that it can be mended. The
// shared-memory index is left behind; SQLite rebuilds it from the log.
QString keepAside(const QString& location)
{
    const QString stamped = location + QStringLiteral(".damaged-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString copy = stamped;
    for (int n = 2; QFileInfo::exists(copy); ++n)
        copy = stamped + QLatin1Char('-') + QString::number(n);
    for (const QString& suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal")})
        if (QFileInfo::exists(location + suffix) && !QFile::rename(location + suffix, copy + suffix))
            throw StoreError(QStringLiteral("壊れたデータベース %1 を %2 として残せません。")
                                 .arg(QDir::toNativeSeparators(location), QDir::toNativeSeparators(copy)));
    return copy;
}

}  // namespace

ScheduleDocument::ScheduleDocument(const QString& location)
    // The address tells the documents alive together apart.
    : m_connection(QStringLiteral("wzstore-%1").arg(quintptr(this), 0, 16))
{
    const bool inMemory = location == QLatin1String(":memory:");
    if (!inMemory)
        makePrivate(location);  // before anything is read from it
    const bool heldData = !inMemory && holdsData(location);
    bool valid = false;
    try {
        valid = isValidStore(*std::make_unique<QSqlDatabase>(openConnection(m_connection, location)), location);
    } catch (const StoreNotUpgraded&) {
        removeConnection(m_connection);
        throw;
    } catch (const StoreError&) {
    }
    try {
        if (!valid) {
            // Set aside while the failed connection still holds the files:
            // closing it would fold the log into the store file and delete it.
            if (heldData)
                m_keptAside = keepAside(location);
            removeConnection(m_connection);
            if (!inMemory) {
                removeStoreFiles(location);
                makePrivate(location);
            }
            QSqlDatabase db = openConnection(m_connection, location);
            createTables(db);
        }
        ChangeWatch::watch(*this, &m_noted);
    } catch (...) {
        removeConnection(m_connection);
        throw;
    }
    m_location = location;
}

ScheduleDocument::~ScheduleDocument()
{
    removeConnection(m_connection);
}

QString ScheduleDocument::defaultLocation()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QDir(base).filePath(QStringLiteral("db/wz48prg.db"));
}

const CircuitSetting& ScheduleDocument::circuit(int circuit) const
{
    if (circuit < 0 || circuit >= static_cast<int>(m_circuits.size()))
        throw StoreError(QStringLiteral("Subscript out of range (circuit %1)").arg(circuit));
    return m_circuits[static_cast<size_t>(circuit)];
}

void ScheduleDocument::resetCircuits()
{
    for (CircuitSetting& setting : m_circuits) {
        setting.Program = TypeNone;
        setting.PulseTime = 99;
    }
}

void ScheduleDocument::reloadCircuits()
{
    const SettingTable table = ReadSettingTable(*this);
    for (int circuit = 1; circuit <= 8; ++circuit)
        m_circuits[circuit] = table[circuit];
}

qint64 ScheduleDocument::dataVersion()
{
    return scalar(QStringLiteral("PRAGMA data_version")).toLongLong();
}

QSqlDatabase ScheduleDocument::database() const
{
    if (!QSqlDatabase::contains(m_connection))
        throw StoreError(QStringLiteral("データベースが開かれていません。"));
    return QSqlDatabase::database(m_connection, false);
}

sqlite3* ScheduleDocument::handle() const
{
    const QVariant handle = database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw StoreError(QStringLiteral("データベースが SQLite のものではありません。"));
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    if (!db)
        throw StoreError(QStringLiteral("データベースが開かれていません。"));
    return db;
}

QSqlQuery ScheduleDocument::exec(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw StoreError(EngineErrors::describe(kCannotUse, query.lastError()));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw StoreError(EngineErrors::describe(kCannotUse, query.lastError()));
    // A statement of its own commits at once.
    if (m_transactionDepth == 0)
        announce();
    return query;
}

QVariant ScheduleDocument::scalar(const QString& sql, const QVariantList& values, const QVariant& fallback)
{
    QSqlQuery query = exec(sql, values);
    return query.next() ? query.value(0) : fallback;
}

// After a commit: the circuit settings follow the store before anybody
// hears of the change.
void ScheduleDocument::announce()
{
    const StoreChanges::Changes changes = std::exchange(m_noted, {});
    if (!changes)
        return;
    if (changes & StoreChanges::Settings)
        reloadCircuits();
    emit changed(changes);
}

Transaction::Transaction(ScheduleDocument& document)
    : m_document(document)
{
    if (m_document.m_transactionDepth == 0) {
        QSqlDatabase db = m_document.database();
        if (!db.transaction())
            throw StoreError(EngineErrors::describe(kCannotBegin, db.lastError()));
        m_outermost = true;
        m_document.m_noted = {};
    }
    ++m_document.m_transactionDepth;
}

Transaction::~Transaction()
{
    release();
    if (!m_outermost || m_done)
        return;
    m_document.m_noted = {};
    m_document.database().rollback();
}

void Transaction::release()
{
    if (!m_released) {
        m_released = true;
        --m_document.m_transactionDepth;
    }
}

void Transaction::commit()
{
    if (m_done)
        return;
    m_done = true;
    if (!m_outermost)
        return;
    QSqlDatabase db = m_document.database();
    if (!db.commit()) {
        const QString error = EngineErrors::describe(kCannotCommit, db.lastError());
        db.rollback();
        m_document.m_noted = {};
        throw StoreError(error);
    }
    // Released first: what the listeners do is no part of this transaction.
    release();
    m_document.announce();
}
