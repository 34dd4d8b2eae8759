#include "TestSupport.h"
#include "store/BulkInsert.h"
#include "store/ScheduleDocument.h"
#include "store/ProgramTypes.h"
#include "store/Schema.h"
#include "store/CircuitSetting.h"
#include "store/StoreRoutines.h"

#include <QProcess>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

class TestStore : public QObject
{
    Q_OBJECT
private slots:
    // Fields not written read 0; clearing leaves the store as new, headings
    // kept. The in-memory settings are cleared apart, their tunes kept.
    void newRowsAndClearing()
    {
        ScratchStore store;
        const QString fresh = storeSnapshot();
        Scratch::exec("INSERT INTO T_Week (CircuitNO, TimeONH) VALUES (1, 8)");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE ID + YobiOFF + TimeOFFH + TimeOFFM + Repeat + ChimeNO = 0"), 1);
        setCircuit(3, 2, 10, 5);
        addRows({{3, 14, 5, 3, 0}, {3, 1, 1, 0}});
        Scratch::exec("INSERT INTO T_WeekT (CircuitNO) VALUES (3)");
        Scratch::exec("INSERT INTO T_WeekP (SortID, Sun1) VALUES (1, 'x')");
        Scratch::exec("INSERT INTO T_YearP (PrintIndex, PrintNO, Mon1) VALUES (1, 1, 'x')");
        ClearAllData(Scratch::document());
        QCOMPARE(storeSnapshot(), fresh);
        QCOMPARE(count("SELECT (SELECT COUNT(*) FROM T_WeekT) + (SELECT COUNT(*) FROM T_WeekP) + (SELECT COUNT(*) FROM T_YearP)"), 0);
        QCOMPARE(Scratch::scalar("SELECT group_concat(Month1) FROM T_YearH").toString(), QStringLiteral("1月,7月"));
        QCOMPARE(Scratch::document().circuits()[3].Program, qint16(0));  // the settings follow the table

        setCircuit(8, 2, 5, 6);
        Scratch::document().resetCircuits();
        for (const CircuitSetting& setting : Scratch::document().circuits())
            QVERIFY(setting.Program == TypeNone && setting.PulseTime == 99);
        QVERIFY(Scratch::document().circuits()[8].Chime == 6 && !AnyCircuitConfigured(Scratch::document()));
        setCircuit(8, 0, 0);
        setCircuit(5, 4, 0);
        QVERIFY(AnyCircuitConfigured(Scratch::document()));
        setCircuit(5, 0, 0);
        QVERIFY(!AnyCircuitConfigured(Scratch::document()));
        QVERIFY_THROWS_EXCEPTION(StoreError, Scratch::document().circuit(9));
        QVERIFY_THROWS_EXCEPTION(StoreError, Scratch::document().circuit(-1));
    }

    // Capacity boundaries are checked through the windows and the year runs;
    // an empty table never counts as full.
    void queriesAndRenumbering()
    {
        ScratchStore store;
        QVERIFY(!WeekCapacityExceeded(Scratch::document(), 1000) && !YearCapacityExceeded(Scratch::document(), 1000));
        RenumberTable(Scratch::document(), "T_Week");  // empty: nothing to do
        addRows({{2, 0, 1, 0, 9, 0, 0}, {1, 0, 3, 0, 8, 0, 0}, {6, 3, 0, 0, 1, 2, 3}, {1, 0, 1, 0, 10, 0, 0},
                 {5, 26, 12, 6, 7}, {1, 15, 1, 1, 0}, {1, 14, 12, 31, 0}, {4, 12, 25, 0}, {2, 1, 1, 0}, {1, 5, 5, 3}});
        QCOMPARE((QList<bool>{HasPrograms(Scratch::document(), 4), HasPrograms(Scratch::document(), 5), HasPrograms(Scratch::document(), 6), HasPrograms(Scratch::document(), 7)}),
                 (QList<bool>{true, true, true, false}));
        QCOMPARE((QList<bool>{YearDateExists(Scratch::document(), 5, 26, 12, 6), YearDateExists(Scratch::document(), 5, 25, 12, 6), YearDateExists(Scratch::document(), 4, 26, 12, 6),
                              EveryYearDateExists(Scratch::document(), 4, 12, 25), EveryYearDateExists(Scratch::document(), 4, 12, 24)}),
                 (QList<bool>{true, false, false, true, false}));

        for (const char* table : {"T_Week", "T_Year", "T_YearE"})
            RenumberTable(Scratch::document(), table);
        QCOMPARE(Scratch::scalar("SELECT (SELECT group_concat(CircuitNO || ':' || YobiON || ':' || ID, ' ') "
                                      "FROM (SELECT * FROM T_Week ORDER BY ID)) || ', year ' || "
                                      "(SELECT Year FROM T_Year WHERE ID = 1) || ', every year circuit ' || "
                                      "(SELECT CircuitNO FROM T_YearE WHERE ID = 1)")
                     .toString(),
                 QStringLiteral("1:1:1 1:3:2 2:1:3 6:0:4, year 14, every year circuit 1"));
        QVERIFY_THROWS_EXCEPTION(StoreError, RenumberTable(Scratch::document(), "T_Setting"));
    }

    // A failed transaction takes its rows (bulk inserted ones too) and says nothing; a commit announces once.
    // A statement failing to prepare, bind (a value too many) or step throws and is finalised (else the
    // sanitizer build finds a leak).
    void transactionsAndBulkInserts()
    {
        ScratchStore store;
        QStringList heard;
        QObject listener;
        connect(&Scratch::document(), &ScheduleDocument::changed, &listener, [&](StoreChanges::Changes changes) {
            heard << QString::number(changes.toInt());
            Transaction own(Scratch::document());  // rolled back
            addWeekRow(8, 0, 1, 0, 8, 0, 0);
        });
        const QString sql = "INSERT INTO T_YearE (ID, CircuitNO, Month, Day, SpecialNO) VALUES (?,?,?,?,?)";
        QVERIFY_THROWS_EXCEPTION(StoreError, [&] {
            Transaction transaction(Scratch::document());
            addWeekRow(1, 0, 1, 0, 8, 0, 0);
            BulkInsert(Scratch::document(), sql).run({1, 2, 12, 25, 7});
            Scratch::exec("INSERT INTO T_NoSuchTable VALUES (1)");
            transaction.commit();
        }());
        {
            Transaction transaction(Scratch::document());
            BulkInsert insert(Scratch::document(), sql);
            insert.run({1, 2, 12, 25, 7});
            Transaction(Scratch::document()).commit();
            insert.run({2, 2, 12, 31, 0});
            transaction.commit();
        }
        QCOMPARE(QString("%1 %2 %3").arg(heard.join(' ')).arg(WeekRowCount(Scratch::document()) + EveryYearRowCount(Scratch::document())).arg(storeSnapshot().section('\n', -3)),
                 "8 2 1,2,12,25,7\n2,2,12,31,0\n--");
        // Nobody declares what a write changes: the store sees it, in a statement of its own too, and a table
        // emptied at once. The circuit settings have followed T_Setting when the listeners hear of it; working
        // tables are no news.
        heard.clear();
        for (const char* write : {"DELETE FROM T_YearE", "UPDATE T_Setting SET Program = 3 WHERE CircuitNO = 5",
                                  "INSERT INTO T_WeekT (CircuitNO) VALUES (1)", "DELETE FROM T_WeekT"})
            Scratch::exec(write);
        QCOMPARE(heard.join(' ') + " " + QString::number(Scratch::document().circuits()[5].Program), "8 1 3");
        for (const char* query : {"SELECT FROM T_YearE", "SELECT ?", "SELECT abs(-9223372036854775807 - ?) + ?"})
            QVERIFY_THROWS_EXCEPTION(StoreError, ForEachIntRow(Scratch::document(), query, {1, 2}, [](const IntRow&) {}));

        // A full disk in the user's words, through Qt and straight through SQLite alike.
        Scratch::exec("PRAGMA max_page_count = " + Scratch::scalar("PRAGMA page_count").toString());
        const QString full = "データベースを読み書きできません: ディスクの空き容量が足りません。";
        const auto failure = [](const std::function<void()>& work) {
            try {
                work();
            } catch (const StoreError& error) {
                return QString::fromUtf8(error.what());
            }
            return QStringLiteral("no failure");
        };
        QCOMPARE(failure([] {
                     Scratch::exec("INSERT INTO T_WeekT (CircuitNO) SELECT 1 FROM T_Setting a, T_Setting b, T_Setting c, T_Setting d");
                 }),
                 full);
        QCOMPARE(failure([&] {
                     BulkInsert insert(Scratch::document(), sql);
                     for (int id = 3; id < 999; ++id)
                         insert.run({id, 1, 1, 1, 0});
                 }),
                 full);
    }

    // What another user owns, or a link to what others may read, is neither opened nor tightened nor kept aside:
    // it is refused as it is, named. Our own folder in the store's place is kept aside with its mode.
    void storesNotOursAloneAreLeftAsTheyAre_data()
    {
        QTest::addColumn<QString>("planted");  // what, and "4321" when another user owns it
        QTest::addColumn<QString>("refused");  // the path named; "" when it is kept aside
        QTest::newRow("another user's store") << "store 4321" << "db/wz48prg.db";
        QTest::newRow("another user's log") << "wal 4321" << "db/wz48prg.db-wal";
        QTest::newRow("another user's store folder") << "folder 4321" << "db";
        QTest::newRow("link to our store that others may read") << "link" << "db/wz48prg.db";
        QTest::newRow("another user's link to our store") << "link 4321" << "db/wz48prg.db";
        QTest::newRow("our open folder in the store's place") << "folder" << "";
    }

    void storesNotOursAloneAreLeftAsTheyAre()
    {
        QFETCH(QString, planted); QFETCH(QString, refused);
        if (::geteuid() != 0)
            QSKIP("needs root to plant another user's files");
        QTemporaryDir dir;
        const QString db = dir.filePath("db");
        const QString path = db + "/wz48prg.db";
        QVERIFY(QDir().mkpath(db) && QFile::setPermissions(db, QFile::Permissions(0x7700)));
        QString thing = path;  // whose owner, mode and content must stay
        if (planted.startsWith("store") || planted.startsWith("wal"))
            thing = writeBytes(path + (planted.startsWith("wal") ? "-wal" : ""), "theirs");
        if (planted.startsWith("link"))
            QVERIFY(QFile::link(thing = writeBytes(dir.filePath("target"), "ours"), path));
        if (planted.startsWith("folder"))
            QVERIFY(QDir().mkpath(thing = planted == "folder" ? path : db));
        const int mode = planted.startsWith("folder") ? 0755 : planted == "link" ? 0644 : planted == "link 4321" ? 0600 : 0666;
        QVERIFY(::chmod(QFile::encodeName(thing), mode) == 0);
        const QString owned = planted.startsWith("link") ? path : thing;
        QVERIFY(!planted.endsWith("4321") || ::lchown(QFile::encodeName(owned), 4321, 4321) == 0);
        const auto state = [&] {
            struct stat status{};
            ::stat(QFile::encodeName(thing), &status);
            const QString content = QFileInfo(thing).isFile() ? QString(readBytes(thing)) : QString();
            return QString("%1 %2 %3 %4 %5").arg(status.st_uid).arg(status.st_mode, 0, 8)
                .arg(content, QFileInfo(path).symLinkTarget(), QDir(db).entryList(QDir::AllEntries | QDir::System).join(','));
        };
        const QString before = state();
        if (refused.isEmpty()) {
            const QString kept = Scratch::open(path);
            Scratch::close();
            QVERIFY(QFileInfo(kept).isDir() && (QFile::permissions(kept) & QFile::Permissions(0xff)) == QFile::Permissions(0x55));
            return;
        }
        try {
            Scratch::open(path);
            QFAIL("opened");
        } catch (const StoreNotPrivate& failure) {
            QCOMPARE(QString::fromUtf8(failure.what()), dir.filePath(refused) + " が自分だけのものではない（所有者が別のユーザーか、"
                                                                                  "他のユーザーも読み書きできる）ため、起動できません。");
        }
        QCOMPARE(state(), before);
    }

    // A valid store keeps what it holds until the editor empties it and is the user's alone; a
    // file that is no store of this shape, or of a newer version, is kept aside as it was (an empty one is no work)
    // and replaced. (An older version's store is upgraded and offered back: tests/app.)
    void storeFileIsCheckedOnOpening()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("db/wz48prg.db");
        QCOMPARE(Scratch::open(path), QString());
        const QString fresh = storeSnapshot();
        addWeekRow(1, 0, 1, 0, 8, 0, 0);
        Scratch::close();
        QFile::setPermissions(path, QFile::Permissions(0x6644));  // 0644
        QCOMPARE(Scratch::open(path), QString());
        QCOMPARE(WeekRowCount(Scratch::document()), 1);
        for (const QString& file : {dir.filePath("db"), path, path + "-wal", path + "-shm"})
            QCOMPARE(QFile::permissions(file) & QFile::Permissions(0xff), QFile::Permissions());  // nobody else's
        const QByteArray text = QByteArray("this is not sqlite at all, just text\n").repeated(200);
        for (const QByteArray& damage : {QByteArray("DROP TABLE T_YearE"), QByteArray("DELETE FROM T_Setting WHERE CircuitNO = 8"),
                                         "PRAGMA user_version = " + QByteArray::number(Schema::Version + 1), text, QByteArray()}) {
            const bool sql = damage.startsWith("D") || damage.startsWith("PRAGMA");
            if (sql)
                Scratch::exec(damage);
            Scratch::close();
            const QByteArray before = sql ? readBytes(path) : readBytes(writeBytes(path, damage));
            const QString copy = Scratch::open(path);
            QCOMPARE(copy.isEmpty() ? QByteArray("none kept") : readBytes(copy), before.isEmpty() ? "none kept" : before);
            QCOMPARE(storeSnapshot(), fresh);
            addWeekRow(1, 0, 1, 0, 8, 0, 0);
        }
        Scratch::close();
        QVERIFY_THROWS_EXCEPTION(StoreError, WeekRowCount(Scratch::document()));
    }

    // A store of the version before, left by a killed editor on a full disk, is no damaged store: it stays as it is,
    // the failure names it and says why, and once there is room it is upgraded with its rows.
    void upgradeWithoutRoomLeavesTheStore()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("db");
        QVERIFY(QDir().mkpath(db));
        if (::geteuid() != 0 || QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=512k,mode=0700", "tmpfs", db}) != 0)
            QSKIP("needs to mount a small tmpfs");
        const auto unmount = qScopeGuard([&db] {
            Scratch::close();
            QSqlDatabase::removeDatabase("killed");
            QProcess::execute("umount", {db});
        });
        const QString path = db + "/wz48prg.db";
        Scratch::open(path);
        addWeekRow(1, 0, 1, 0, 8, 0, 0);
        // The killed editor's log stays beside the store: this connection, still open, keeps it from being folded in.
        QSqlDatabase killed = QSqlDatabase::addDatabase("QSQLITE", "killed");
        killed.setDatabaseName(path);
        QVERIFY(killed.open() && QSqlQuery(killed).exec(QString("PRAGMA user_version = %1").arg(Schema::Version - 1)));
        Scratch::close();
        QFile filler(db + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) > 0) {
        }
        try {
            Scratch::open(path);
            QFAIL("opened");
        } catch (const StoreNotUpgraded& failure) {
            QCOMPARE(QString::fromUtf8(failure.what()), "データベース " + path + " を新しい形式に更新できないため、起動できません。\r\n"
                                                        "ディスクの空き容量が足りません。\r\nデータベースはそのまま残してあります。");
        }
        QVERIFY(!Scratch::isOpen());
        QCOMPARE(QDir(db).entryList({"*.damaged-*"}), QStringList());
        QVERIFY(filler.remove());
        QCOMPARE(Scratch::open(path), QString());
        QCOMPARE(std::pair(WeekRowCount(Scratch::document()), Scratch::scalar("PRAGMA user_version").toInt()), std::pair(1, Schema::Version));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
