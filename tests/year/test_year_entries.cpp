#include "TestSupport.h"
#include "store/ProgramStore.h"
#include "store/StoreRoutines.h"
#include "year/YearEntries.h"

#include <QSqlQuery>
#include <QtTest>

using namespace TestSupport;
using YearEntries::Action;

namespace {

QStringList rows(const QString& sql)
{
    QStringList result;
    QSqlQuery query = ProgramStore::exec(sql);
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < 6 && query.value(i).isValid(); ++i)
            fields << query.value(i).toString();
        result << fields.join(',');
    }
    return result;
}

}  // namespace

class TestYearEntries : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_store = std::make_unique<ScratchStore>(); }
    void cleanup() { m_store.reset(); }

    void datedRunAcrossTheNewYear()
    {
        addYearRow(1, 26, 12, 30, 0);  // rewritten without a new row
        const auto result = YearEntries::WriteDatedRun(1, QDate(2026, 12, 28), QDate(2027, 1, 3), Action::Special, 5);
        QCOMPARE(result.added, 6);
        QVERIFY(!result.capacityReached);
        QCOMPARE(rows("SELECT Year, Month, Day, SpecialNO FROM T_Year ORDER BY ID"),
                 (QStringList{"26,12,28,5", "26,12,29,5", "26,12,30,5", "26,12,31,5", "27,1,1,5", "27,1,2,5", "27,1,3,5"}));

        // Clearing a run deletes only the days that have a row.
        YearEntries::WriteDatedRun(1, QDate(2027, 1, 2), QDate(2027, 1, 10), Action::Clear, 0);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year"), 5);
    }

    // Circuit 1's 停止 on 8/1 is among the rows stored; the run is 8/from..8/to of 2027.
    void capacityStopsARun_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("added");
        QTest::addColumn<bool>("reached");
        QTest::newRow("493 stored, 7 new days") << 493 << 2 << 8 << 7 << false;
        QTest::newRow("500 stored, existing day") << 500 << 1 << 1 << 0 << false;
        QTest::newRow("500 stored, then a new day") << 500 << 1 << 3 << 0 << true;
    }

    void capacityStopsARun()
    {
        QFETCH(int, stored);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, added);
        QFETCH(bool, reached);
        Transaction filling;
        addYearRow(1, 27, 8, 1, 0);
        for (int i = 1; i < stored; ++i)
            addYearRow(2, 30 + i / 300, 1 + i / 28 % 10, 1 + i % 28, 0);
        filling.commit();
        const auto result = YearEntries::WriteDatedRun(1, QDate(2027, 8, from), QDate(2027, 8, to), Action::Special, 5);
        QCOMPARE(result.added, added);
        QCOMPARE(result.capacityReached, reached);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND SpecialNO = 5"), added + (from == 1));
        QCOMPARE(YearRowCount(), stored + added);
    }

    void everyYearRunOverTheLeapDay()
    {
        YearEntries::WriteEveryYearRun(3, QDate(2028, 2, 28), QDate(2028, 3, 1), Action::Stop, 0);
        QCOMPARE(rows("SELECT ID, CircuitNO, Month, Day, SpecialNO FROM T_YearE ORDER BY ID"),
                 (QStringList{"1,3,2,28,0", "2,3,2,29,0", "3,3,3,1,0"}));
        QCOMPARE(YearEntries::EveryYearEntry(3, 2, 29), std::optional<int>(0));
        QCOMPARE(YearRowCount(), 0);
    }

    // The window tests check what goes; here the IDs left are renumbered.
    void deletionRenumbers()
    {
        for (int circuit : {1, 2}) {
            addYearRow(circuit, 26, 5, 1, 0);
            addYearRow(circuit, 27, 5, 1, 0);
        }
        YearEntries::DeleteYear(1, 26);
        QCOMPARE(rows("SELECT ID, CircuitNO, Year FROM T_Year ORDER BY ID"), (QStringList{"1,1,27", "2,2,26", "3,2,27"}));
        QCOMPARE(YearEntries::DeleteAllEntries(2), 2);
        QCOMPARE(rows("SELECT ID, CircuitNO, Year FROM T_Year"), QStringList{"1,1,27"});
    }

private:
    std::unique_ptr<ScratchStore> m_store;
};

QTEST_MAIN(TestYearEntries)
#include "test_year_entries.moc"
