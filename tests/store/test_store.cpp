#include "TestSupport.h"
#include "store/BulkInsert.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

class TestStore : public QObject
{
    Q_OBJECT
private slots:
    void newRowsReadZeroInFieldsNotWritten()
    {
        ScratchStore store;
        ProgramStore::exec("INSERT INTO T_Week (CircuitNO, TimeONH) VALUES (1, 8)");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE ID = 0 AND YobiOFF = 0 AND TimeOFFH = 0 "
                       "AND TimeOFFM = 0 AND Repeat = 0 AND ChimeNO = 0"),
                 1);
    }

    void clearAllDataEmptiesEverythingButHeadings()
    {
        ScratchStore store;
        setCircuit(3, 2, 10, 5);
        addWeekRow(3, 0, 1, 0, 12, 0, 0, 0, 0, 0, 3);
        addYearRow(3, 14, 5, 3, 0);
        addEveryYearRow(3, 1, 1, 0);
        ProgramStore::exec("INSERT INTO T_WeekT (CircuitNO) VALUES (3)");
        ProgramStore::exec("INSERT INTO T_WeekP (SortID, Sun1) VALUES (1, 'x')");
        ProgramStore::exec("INSERT INTO T_YearP (PrintIndex, PrintNO, Mon1) VALUES (1, 1, 'x')");
        ClearAllData();
        // As a new store: settings reset, headings kept.
        QCOMPARE(count("SELECT COUNT(*) FROM T_Setting WHERE Program = 0 AND PulseTime = 0 AND Chime = 1"), 8);
        QCOMPARE(ProgramStore::scalar("SELECT Month1 FROM T_YearH WHERE PrintIndex = 2").toString(),
                 QStringLiteral("7月"));
        for (const char* table : {"T_Week", "T_WeekT", "T_WeekP", "T_Year", "T_YearE", "T_YearP"})
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM T_YearH"), 2);
        // The in-memory settings are the caller's business.
        QCOMPARE(CircuitSettings[3].Program, qint16(2));
    }

    void resetCircuitSettingsKeepsTunes()
    {
        CircuitSettings[0] = {7, 3, 4};
        CircuitSettings[8] = {5, 2, 6};
        ResetCircuitSettings();
        for (const CircuitSetting& setting : CircuitSettings) {
            QCOMPARE(setting.Program, qint16(0));
            QCOMPARE(setting.PulseTime, qint16(99));
        }
        QCOMPARE(CircuitSettings[8].Chime, qint16(6));
        QVERIFY(!AnyCircuitConfigured());
        CircuitSettings[5].Program = 4;
        QVERIFY(AnyCircuitConfigured());
        CircuitSettings[0].Program = 1;  // index 0 is never a circuit
        CircuitSettings[5].Program = 0;
        QVERIFY(!AnyCircuitConfigured());
        QVERIFY_THROWS_EXCEPTION(StoreError, CircuitSettingAt(9));
        QVERIFY_THROWS_EXCEPTION(StoreError, CircuitSettingAt(-1));
        QCOMPARE(&CircuitSettingAt(8), &CircuitSettings[8]);
    }

    // Boundaries are checked through the windows and the year runs; an empty
    // table never counts as full.
    void emptyTablesAreNeverFull()
    {
        ScratchStore store;
        QVERIFY(!WeekCapacityExceeded(1000));
        QVERIFY(!YearCapacityExceeded(1000));
    }

    void renumberFollowsSortOrder()
    {
        ScratchStore store;
        RenumberTable("T_Week");  // empty: nothing to do
        addWeekRow(2, 0, 1, 0, 9, 0, 0);
        addWeekRow(1, 0, 3, 0, 8, 0, 0);
        addWeekRow(1, 0, 1, 0, 10, 0, 0);
        RenumberTable("T_Week");
        QSqlQuery rows = ProgramStore::exec("SELECT CircuitNO, YobiON, ID FROM T_Week ORDER BY ID");
        QList<QList<int>> got;
        while (rows.next())
            got.append({rows.value(0).toInt(), rows.value(1).toInt(), rows.value(2).toInt()});
        QCOMPARE(got, (QList<QList<int>>{{1, 1, 1}, {1, 3, 2}, {2, 1, 3}}));

        addYearRow(1, 15, 1, 1, 0);
        addYearRow(1, 14, 12, 31, 0);
        addEveryYearRow(2, 1, 1, 0);
        addEveryYearRow(1, 5, 5, 3);
        RenumberTable("T_Year");
        RenumberTable("T_YearE");
        QCOMPARE(ProgramStore::scalar("SELECT Year FROM T_Year WHERE ID = 1").toInt(), 14);
        QCOMPARE(ProgramStore::scalar("SELECT CircuitNO FROM T_YearE WHERE ID = 1").toInt(), 1);
        QVERIFY_THROWS_EXCEPTION(StoreError, RenumberTable("T_Setting"));
    }

    void existenceTests()
    {
        ScratchStore store;
        QVERIFY(!HasPrograms(4));
        addEveryYearRow(4, 12, 25, 0);
        QVERIFY(HasPrograms(4));
        QVERIFY(!HasPrograms(5));
        addYearRow(5, 26, 12, 6, 7);
        QVERIFY(HasPrograms(5));
        QVERIFY(YearDateExists(5, 26, 12, 6));
        QVERIFY(!YearDateExists(5, 25, 12, 6));
        QVERIFY(!YearDateExists(4, 26, 12, 6));
        QVERIFY(EveryYearDateExists(4, 12, 25));
        QVERIFY(!EveryYearDateExists(4, 12, 24));
        addWeekRow(6, 3, 0, 0, 1, 2, 3);
        QVERIFY(HasPrograms(6));
    }

    void failedTransactionLeavesNoRow()
    {
        ScratchStore store;
        try {
            Transaction transaction;
            addWeekRow(1, 0, 1, 0, 8, 0, 0);
            ProgramStore::exec("INSERT INTO T_NoSuchTable VALUES (1)");
            transaction.commit();
            QFAIL("the bad statement should have thrown");
        } catch (const StoreError& error) {
            QVERIFY(!QString::fromUtf8(error.what()).isEmpty());
        }
        QCOMPARE(WeekRowCount(), 0);
    }

    void bulkInsertJoinsTheRunningTransaction()
    {
        ScratchStore store;
        const QString sql = "INSERT INTO T_YearE (ID, CircuitNO, Month, Day, SpecialNO) VALUES (?,?,?,?,?)";
        {
            Transaction transaction;
            BulkInsert insert(sql);
            insert.run({1, 2, 12, 25, 7});
            insert.run({2, 2, 12, 31, 0});
            // not committed: both rows go with the transaction
        }
        QCOMPARE(count("SELECT COUNT(*) FROM T_YearE"), 0);
        {
            Transaction transaction;
            BulkInsert insert(sql);
            insert.run({1, 2, 12, 25, 7});
            transaction.commit();
        }
        QCOMPARE(count("SELECT COUNT(*) FROM T_YearE WHERE CircuitNO = 2 AND Month = 12 AND Day = 25 AND SpecialNO = 7"),
                 1);
        QVERIFY_THROWS_EXCEPTION(StoreError, BulkInsert("INSERT INTO T_Nothing VALUES (?)"));
        BulkInsert tooFew(sql);
        QVERIFY_THROWS_EXCEPTION(StoreError, tooFew.run({1, 2, 3, 4, 5, 6}));  // more values than placeholders
    }

    void brokenStoreFileIsRecreated_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not a database") << QByteArray("this is not sqlite at all, just text\n").repeated(200);
        QTest::newRow("empty file") << QByteArray();
    }

    void brokenStoreFileIsRecreated()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("db/wz48prg.db");
        QDir().mkpath(dir.filePath("db"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        ProgramStore::open(path);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Setting"), 8);
        ProgramStore::close();
    }

    void storeOfAnotherShapeIsRecreated()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("wz.db");
        ProgramStore::open(path);
        ProgramStore::exec("DROP TABLE T_YearE");
        ProgramStore::close();
        ProgramStore::open(path);
        QCOMPARE(count("SELECT COUNT(*) FROM T_YearE"), 0);

        ProgramStore::exec("DELETE FROM T_Setting WHERE CircuitNO = 8");
        ProgramStore::close();
        ProgramStore::open(path);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Setting"), 8);

        // A valid store keeps what it holds until the editor empties it.
        addWeekRow(1, 0, 1, 0, 8, 0, 0);
        ProgramStore::close();
        ProgramStore::open(path);
        QCOMPARE(WeekRowCount(), 1);
        ProgramStore::close();
        QVERIFY_THROWS_EXCEPTION(StoreError, WeekRowCount());
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
