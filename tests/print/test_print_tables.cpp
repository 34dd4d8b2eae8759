#include "TestSupport.h"
#include "print/PrintTables.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <functional>

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

QStringList weekTable()
{
    return dump(QStringLiteral("SELECT * FROM T_WeekP ORDER BY SortID"), 1);
}

QStringList specialTable()
{
    QStringList lines;
    QSqlQuery query = ProgramStore::exec(QStringLiteral("SELECT Sun1, Sun2 FROM T_WeekP ORDER BY SortID"));
    while (query.next())
        lines << query.value(0).toString() + QLatin1Char('|') + query.value(1).toString();
    return lines;
}

QStringList yearTable()
{
    return dump(QStringLiteral("SELECT * FROM T_YearP ORDER BY PrintIndex, PrintNO"), 2);
}

struct Case {
    const char* name;
    int type;
    std::function<void()> rows;  // rows of circuit 1 (and others that must not show)
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
            {"three Monday programs, one on Sunday and Tuesday", 1,
             [] {
                 addWeekRow(1, 0, 1, 1, 17, 0, 0);
                 addWeekRow(1, 0, 1, 1, 8, 30, 0);
                 addWeekRow(1, 0, 1, 1, 12, 0, 0);
                 addWeekRow(1, 0, 0, 0, 9, 0, 0);
                 addWeekRow(1, 0, 2, 2, 7, 5, 0);
             },
             {"1 Sun1= 9:00 Mon1= 8:30 Tue1= 7:05", "2 Mon1=12:00", "3 Mon1=17:00"}},
            {"chime at 8:05:09 with tune 2", 2, [] { addWeekRow(1, 0, 3, 3, 8, 5, 9, 0, 0, 0, 2); },
             {"1 Wed1= 8:05.09 Wed2=曲2"}},
            {"timer over midnight and within a day", 3,
             [] {
                 addWeekRow(1, 0, 5, 6, 22, 0, 0, 6, 0);
                 addWeekRow(1, 0, 1, 1, 8, 0, 0, 17, 0);
             },
             {"1 Mon1= 8:00～ Mon2=17:00   Fri1=22:00～ Fri2= 6:00土"}},
            {"repeat with its interval", 4, [] { addWeekRow(1, 0, 4, 4, 9, 0, 0, 10, 30, 15); },
             {"1 Thu1= 9:00～ Thu2=10:30   Thu3=15分間隔"}},
            {"special programs, year entries and other circuits stay out", 1,
             [] {
                 addWeekRow(1, 3, 0, 0, 8, 0, 0);
                 addYearRow(1, 27, 3, 1, 3);
                 addWeekRow(2, 0, 1, 1, 9, 0, 0);
             },
             {}},
        };
        check(cases, [] { FillWeekPrintTable(1); }, weekTable);
    }

    void specialListing()
    {
        const QList<Case> cases{
            {"time signal, numbers in number order", 1,
             [] {
                 addWeekRow(1, 10, 0, 0, 7, 0, 0);
                 addWeekRow(1, 2, 0, 0, 12, 0, 0);
                 addWeekRow(1, 1, 0, 0, 8, 30, 0);
                 addWeekRow(1, 1, 0, 0, 8, 0, 0);
                 addWeekRow(1, 0, 1, 1, 9, 0, 0);
                 addWeekRow(2, 1, 0, 0, 9, 0, 0);
             },
             {"1| 8:00", "1| 8:30", "2|12:00", "10| 7:00"}},
            {"chime", 2, [] { addWeekRow(1, 4, 0, 0, 8, 5, 9, 0, 0, 0, 2); }, {"4| 8:05.09 曲2"}},
            {"timer", 3, [] { addWeekRow(1, 5, 0, 0, 8, 0, 0, 17, 0); }, {"5| 8:00～17:00"}},
            {"repeat", 4, [] { addWeekRow(1, 6, 0, 0, 8, 0, 0, 17, 0, 5); }, {"6| 8:00～17:00 5分間隔"}},
        };
        // The special listing replaces any week grid.
        check(cases, [] { FillWeekPrintTable(1); FillSpecialPrintTable(1); }, specialTable);
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
        QCOMPARE(yearTable(), expected);
        QCOMPARE(PrintTexts::yearChoices(1), (QStringList{"毎年", "00年", "27年", "28年"}));
    }

    // The other types' titles and pulse texts are checked on the printed pages.
    void handOverTexts()
    {
        setCircuit(3, 4, 5);
        PrintJob::setHandOver(PrintJob::Special, 3);
        QCOMPARE(PrintHandOver.PrintProgramTitle, QStringLiteral("繰返しプログラム"));
        QCOMPARE(PrintTexts::pulseText(PrintHandOver.PrintProgramTitle, PrintHandOver.PrintPulse),
                 QStringLiteral("出力時間 5秒幅"));
        QCOMPARE(PrintHandOver.PrintKind, qint16(2));
        QCOMPARE(PrintHandOver.PrintCircuit, qint16(3));
        PrintTexts::setPrintYear(QStringLiteral("00年"));
        QCOMPARE(PrintHandOver.PrintYearTitle, QStringLiteral("2000年"));
    }

private:
    // Each case in a fresh store, circuit 1 of the case's type.
    void check(const QList<Case>& cases, void (*fill)(), QStringList (*table)())
    {
        for (const Case& c : cases) {
            cleanup();
            init();
            setCircuit(1, c.type, 5);
            c.rows();
            fill();
            QVERIFY2(table() == c.expected, qPrintable(QLatin1String(c.name) + ": " + table().join(" / ")));
        }
    }

    std::unique_ptr<ScratchStore> m_store;
};

QTEST_GUILESS_MAIN(TestPrintTables)
#include "test_print_tables.moc"
