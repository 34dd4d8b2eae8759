#include "TestSupport.h"
#include "print/PrintTables.h"
#include "store/ProgramStore.h"
#include "store/StoreRoutines.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace TestSupport;

namespace {

// Every line of a print table as "key cell=text …", empty cells left out.
QStringList dump(const QString& sql, int keyColumns)
{
    QStringList lines;
    QSqlQuery query = ProgramStore::exec(sql);
    while (query.next()) {
        QStringList parts;
        for (int i = 0; i < keyColumns; ++i)
            parts << query.value(i).toString();
        for (int i = keyColumns; i < query.record().count(); ++i)
            if (!query.value(i).toString().isEmpty())
                parts << query.record().fieldName(i) + QLatin1Char('=') + query.value(i).toString();
        lines << parts.join(QLatin1Char(' '));
    }
    return lines;
}

struct Case {
    const char* name;
    int type;                // of circuit 1
    QList<QList<int>> rows;  // week rows as the arguments of addWeekRow
    QStringList expected;
};

}  // namespace

class TestPrintTables : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
    }
    void cleanup() { m_store.reset(); }

    void weekGrid()
    {
        const QList<Case> cases{
            {"three Monday programs, one on Sunday and Tuesday, a special program left out", 1,
             {{1, 0, 1, 1, 17, 0, 0}, {1, 0, 1, 1, 8, 30, 0}, {1, 0, 1, 1, 12, 0, 0}, {1, 0, 0, 0, 9, 0, 0},
              {1, 0, 2, 2, 7, 5, 0}, {1, 3, 0, 0, 8, 0, 0}},
             {"1 Sun1= 9:00 Mon1= 8:30 Tue1= 7:05", "2 Mon1=12:00", "3 Mon1=17:00"}},
            {"chime at 8:05:09 with tune 2", 2, {{1, 0, 3, 3, 8, 5, 9, 0, 0, 0, 2}}, {"1 Wed1= 8:05.09 Wed2=曲2"}},
            {"timer over midnight and within a day", 3, {{1, 0, 5, 6, 22, 0, 0, 6, 0}, {1, 0, 1, 1, 8, 0, 0, 17, 0}},
             {"1 Mon1= 8:00～ Mon2=17:00   Fri1=22:00～ Fri2= 6:00土"}},
            {"repeat with its interval", 4, {{1, 0, 4, 4, 9, 0, 0, 10, 30, 15}},
             {"1 Thu1= 9:00～ Thu2=10:30   Thu3=15分間隔"}},
        };
        check(cases, [] { FillWeekPrintTable(1); }, QStringLiteral("SELECT * FROM T_WeekP ORDER BY SortID"), 1);
    }

    // Special number and time text.
    void specialListing()
    {
        const QList<Case> cases{
            {"time signal, numbers in number order, a week program left out", 1,
             {{1, 10, 0, 0, 7, 0, 0}, {1, 2, 0, 0, 12, 0, 0}, {1, 1, 0, 0, 8, 30, 0}, {1, 1, 0, 0, 8, 0, 0},
              {1, 0, 1, 1, 9, 0, 0}},
             {"1  8:00", "1  8:30", "2 12:00", "10  7:00"}},
            {"chime", 2, {{1, 4, 0, 0, 8, 5, 9, 0, 0, 0, 2}}, {"4  8:05.09 曲2"}},
            {"timer", 3, {{1, 5, 0, 0, 8, 0, 0, 17, 0}}, {"5  8:00～17:00"}},
            {"repeat", 4, {{1, 6, 0, 0, 8, 0, 0, 17, 0, 5}}, {"6  8:00～17:00 5分間隔"}},
        };
        // The special listing replaces any week grid.
        check(cases, [] { FillWeekPrintTable(1); FillSpecialPrintTable(1); },
              QStringLiteral("SELECT Sun1, Sun2 FROM T_WeekP ORDER BY SortID"), 2);
    }

    void yearListing_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("2027") << "27年"
                              << QStringList{"1 1 Mon3= 1日 P03 Mon5= 3日 停止", "1 2 Mon3=15日 P07",
                                             "2 1 Mon2=12日 停止"};
        QTest::newRow("every year") << "毎年" << QStringList{"1 1 Mon1= 5日 P03", "2 1 Mon6=31日 停止"};
        QTest::newRow("2000 is not every year") << "00年" << QStringList{"1 1 Mon2=29日 P99"};
        QTest::newRow("a year without entries") << "26年" << QStringList{};
    }

    void yearListing()
    {
        QFETCH(QString, choice);
        QFETCH(QStringList, expected);
        setCircuit(1, 2, 10);
        addYearRow(1, 27, 5, 3, 0);
        addYearRow(1, 27, 3, 15, 7);
        addYearRow(1, 27, 3, 1, 3);
        addYearRow(1, 27, 8, 12, 0);
        addYearRow(1, 0, 2, 29, 99);
        addYearRow(1, 28, 3, 1, 1);
        addYearRow(2, 27, 3, 2, 1);
        addEveryYearRow(1, 1, 5, 3);
        addEveryYearRow(1, 12, 31, 0);
        addEveryYearRow(2, 3, 1, 1);
        PrintTexts::setPrintYear(choice);
        FillYearPrintTable(1);
        QCOMPARE(dump(QStringLiteral("SELECT * FROM T_YearP ORDER BY PrintIndex, PrintNO"), 2), expected);
        QCOMPARE(PrintTexts::yearChoices(1), (QStringList{"毎年", "00年", "27年", "28年"}));
    }

private:
    // Each case in a fresh store, with a week and a special program of
    // circuit 2 and a year entry that the tables must leave out.
    void check(const QList<Case>& cases, void (*fill)(), const QString& table, int keyColumns)
    {
        for (const Case& c : cases) {
            cleanup();
            init();
            setCircuit(1, c.type, 5);
            addWeekRow(2, 0, 1, 1, 9, 0, 0);
            addWeekRow(2, 1, 0, 0, 9, 0, 0);
            addYearRow(1, 27, 3, 1, 3);
            for (QList<int> row : c.rows) {
                row.resize(11);
                addWeekRow(row[0], row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8], row[9], row[10]);
            }
            fill();
            const QStringList lines = dump(table, keyColumns);
            QVERIFY2(lines == c.expected, qPrintable(QLatin1String(c.name) + ": " + lines.join(" / ")));
        }
    }

    std::unique_ptr<ScratchStore> m_store;
};

QTEST_GUILESS_MAIN(TestPrintTables)
#include "test_print_tables.moc"
