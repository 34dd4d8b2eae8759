#include "TestSupport.h"
#include "store/ProgramStore.h"
#include "store/StoreRoutines.h"
#include "year/YearEntries.h"

#include <QSqlQuery>
#include <QtTest>

using namespace TestSupport;
using YearEntries::Action;

namespace {

// The marked days of a view as "M/D" texts.
QStringList markedDays(int circuit, QDate start, int count)
{
    const QVector<bool> marks = YearEntries::MarkedDays(circuit, start, count);
    QStringList days;
    for (int i = 0; i < marks.size(); ++i)
        if (marks.at(i))
            days << start.addDays(i).toString(QStringLiteral("yy/M/d"));
    return days;
}

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

    void marks_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QStringList>("expected");
        // Every-year 2/29 and 1/2, dated 27/12/30 and 28/1/5; circuit 2's entries never show.
        QTest::newRow("February of a leap year") << QDate(2028, 1, 30) << QStringList{"28/2/29"};
        QTest::newRow("February of a common year") << QDate(2027, 1, 31) << QStringList{};
        QTest::newRow("late December into January")
            << QDate(2027, 11, 28) << QStringList{"27/12/30", "28/1/2", "28/1/5"};
        QTest::newRow("January tail of the year before") << QDate(2026, 12, 27) << QStringList{"27/1/2"};
    }

    void marks()
    {
        QFETCH(QDate, start);
        QFETCH(QStringList, expected);
        addEveryYearRow(1, 2, 29, 0);
        addEveryYearRow(1, 1, 2, 3);
        addYearRow(1, 27, 12, 30, 0);
        addYearRow(1, 28, 1, 5, 4);
        addYearRow(2, 28, 1, 6, 0);
        addEveryYearRow(2, 2, 28, 0);
        QCOMPARE(markedDays(1, start, 42), expected);
    }

    void datedRunAcrossTheNewYear()
    {
        addYearRow(1, 26, 12, 30, 0);  // rewritten without a new row
        const auto result = YearEntries::WriteDatedRun(1, QDate(2026, 12, 28), QDate(2027, 1, 3), Action::Special, 5);
        QCOMPARE(result.added, 6);
        QVERIFY(!result.capacityReached);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE Year = 26 AND SpecialNO = 5"), 4);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE Year = 27 AND SpecialNO = 5"), 3);
        QCOMPARE(rows("SELECT ID, Year, Month, Day FROM T_Year WHERE Day = 30"), QStringList{"3,26,12,30"});

        // Clearing a run deletes only the days that have a row.
        YearEntries::WriteDatedRun(1, QDate(2027, 1, 2), QDate(2027, 1, 10), Action::Clear, 0);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year"), 5);
    }

    void capacityStopsARun_data()
    {
        QTest::addColumn<int>("stored");  // T_Year rows, circuit 1's 停止 on 8/1 among them
        QTest::addColumn<int>("lastDay");  // the run is 8/1..8/lastDay of 2027, or 8/2.. below
        QTest::addColumn<bool>("fromSecond");
        QTest::addColumn<int>("added");
        QTest::addColumn<bool>("reached");
        QTest::newRow("495 stored, 7 new days") << 495 << 8 << true << 5 << true;
        QTest::newRow("493 stored, 7 new days") << 493 << 8 << true << 7 << false;
        QTest::newRow("500 stored, existing day") << 500 << 1 << false << 0 << false;
        QTest::newRow("500 stored, then a new day") << 500 << 3 << false << 0 << true;
    }

    void capacityStopsARun()
    {
        QFETCH(int, stored);
        QFETCH(int, lastDay);
        QFETCH(bool, fromSecond);
        QFETCH(int, added);
        QFETCH(bool, reached);
        Transaction filling;
        addYearRow(1, 27, 8, 1, 0);
        for (int i = 1; i < stored; ++i)
            addYearRow(2, 30 + i / 300, 1 + i / 28 % 10, 1 + i % 28, 0);
        filling.commit();
        const QDate from(2027, 8, fromSecond ? 2 : 1);
        const auto result = YearEntries::WriteDatedRun(1, from, QDate(2027, 8, lastDay), Action::Special, 5);
        QCOMPARE(result.added, added);
        QCOMPARE(result.capacityReached, reached);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND SpecialNO = 5"), added + (fromSecond ? 0 : 1));
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
