#include "TestSupport.h"
#include "store/StoreRoutines.h"
#include "week/ProgramList.h"

#include <QtTest>

using namespace TestSupport;
using ProgramLists::BuildWeekList;

namespace {

// The list's rows as the values of `fields` ("a|b|..."), joined the same way.
QStringList rows(const ProgramList& list, const QString& fields)
{
    QStringList texts;
    for (int row = 0; row < list.rows.size(); ++row) {
        QStringList values;
        for (const QString& field : fields.split(QLatin1Char('|')))
            values << list.value(row, field).toString();
        texts << values.join(QLatin1Char('|'));
    }
    return texts;
}

void addOnDays(int circuit, QList<int> days, int h, int m, int s, int chime)
{
    for (int day : days)
        addWeekRow(circuit, 0, day, 0, h, m, s, 0, 0, 0, chime);
}

const ColumnChange* change(const GridColumns& layout, const QString& field)
{
    const ColumnChange* last = nullptr;
    for (const ColumnChange& c : layout.changes)
        if (c.field == field)
            last = &c;
    return last;
}

}  // namespace

class TestWeekLists : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        setOneCircuitOfEachType();
    }
    void cleanup() { m_store.reset(); }

    void singleDayTexts()
    {
        addWeekRow(1, 0, 1, 0, 8, 5, 0);
        addWeekRow(1, 0, 1, 0, 17, 30, 0);
        addWeekRow(1, 0, 2, 0, 9, 0, 0);
        addWeekRow(1, 3, 0, 0, 10, 0, 0);  // special program: not a week row
        addWeekRow(2, 0, 1, 0, 8, 5, 30, 0, 0, 0, 4);
        addWeekRow(3, 0, 6, 0, 22, 0, 0, 6, 0);
        RenumberTable(QStringLiteral("T_Week"));
        QCOMPARE(rows(BuildWeekList(1, 1), "開始時刻"), (QStringList{" 8:05", "17:30"}));
        QCOMPARE(rows(BuildWeekList(2, 1), "開始時刻|ChimeNO"), QStringList{" 8:05.30|4"});
        QCOMPARE(rows(BuildWeekList(3, 6), "開始曜日|終了曜日|終了時刻"), QStringList{"土|日| 6:00"});
        QCOMPARE(BuildWeekList(1, -1).rows.size(), 0);
        QCOMPARE(BuildWeekList(0, 1).rows.size(), 0);
    }

    void weekdayViewListsOnlyCompletePrograms()
    {
        addOnDays(2, {1, 2, 3, 4, 5}, 7, 30, 5, 3);
        addOnDays(2, {1, 2, 4, 5}, 9, 0, 0, 1);           // missing on Wednesday
        addOnDays(2, {1, 2, 3, 4, 5}, 12, 0, 0, 2);       // two tunes at one time
        addOnDays(2, {1, 2, 3, 4, 5}, 12, 0, 0, 6);
        QCOMPARE(rows(BuildWeekList(2, 7), "開始時刻|ChimeNO|ID"),
                 (QStringList{" 7:30.05|3|0", "12:00.00|2|0", "12:00.00|6|0"}));
        QCOMPARE(count("SELECT COUNT(*) FROM T_WeekT"), 3);
        // Not on Sunday and Saturday: not an every-day program.
        QCOMPARE(BuildWeekList(2, 8).rows.size(), 0);
        // The working table holds the last group view only.
        QCOMPARE(count("SELECT COUNT(*) FROM T_WeekT"), 0);
    }

    void groupWalkEdges()
    {
        // Midnight has the all-zero key the walk starts from.
        addOnDays(1, {0, 1, 2, 3, 4, 5, 6}, 0, 0, 0, 0);
        // A weekday program entered twice on Monday is still one program.
        addOnDays(2, {1, 1, 2, 3, 4, 5}, 6, 0, 0, 2);
        // An overnight timer every day; one running from Friday into Sunday
        // is no 平日 program.
        for (int day = 0; day <= 6; ++day)
            addWeekRow(3, 0, day, (day + 1) % 7, 22, 0, 0, 6, 0);
        for (int day = 1; day <= 5; ++day)
            addWeekRow(3, 0, day, day == 5 ? 0 : day + 1, 20, 0, 0, 5, 0);
        // Repeat intervals tell programs apart.
        for (int day = 1; day <= 5; ++day) {
            addWeekRow(4, 0, day, day, 9, 0, 0, 17, 0, 10);
            if (day != 3)
                addWeekRow(4, 0, day, day, 9, 0, 0, 17, 0, 20);
        }
        QCOMPARE(rows(BuildWeekList(1, 8), "開始時刻"), QStringList{" 0:00"});
        QCOMPARE(rows(BuildWeekList(1, 7), "開始時刻"), QStringList{" 0:00"});
        QCOMPARE(rows(BuildWeekList(2, 7), "開始時刻"), QStringList{" 6:00.00"});
        QCOMPARE(rows(BuildWeekList(3, 8), "開始時刻|終了時刻"), QStringList{"22:00| 6:00"});
        QCOMPARE(rows(BuildWeekList(3, 7), "開始時刻"), QStringList{"22:00"});
        QCOMPARE(rows(BuildWeekList(4, 7), "Repeat"), QStringList{"10"});
        QCOMPARE(count("SELECT COUNT(*) FROM T_WeekT WHERE ID = 0 AND CircuitNO = 4 AND YobiON = 0 AND YobiOFF = 0 "
                       "AND TimeONH = 9 AND TimeOFFH = 17 AND Repeat = 10"),
                 1);
        // Weekend rows neither make nor break a weekday program.
        addWeekRow(4, 0, 6, 6, 9, 0, 0, 17, 0, 20);
        addWeekRow(4, 0, 0, 0, 9, 0, 0, 17, 0, 20);
        QCOMPARE(rows(BuildWeekList(4, 7), "Repeat"), QStringList{"10"});
        QCOMPARE(BuildWeekList(4, 8).rows.size(), 0);
    }

    void specialList()
    {
        addWeekRow(2, 5, 0, 0, 6, 0, 9, 0, 0, 0, 7);
        addWeekRow(2, 0, 1, 0, 6, 0, 9, 0, 0, 0, 7);
        addWeekRow(1, 5, 0, 0, 6, 0, 9);
        QCOMPARE(rows(ProgramLists::BuildSpecialList(2, 5), "開始時刻"), QStringList{" 6:00.09"});
        QCOMPARE(rows(ProgramLists::BuildSpecialList(1, 5), "開始時刻"), QStringList{" 6:00"});
        QCOMPARE(ProgramLists::SetSpecialGridColumns(0).grid, GridColumns::Grid::Hide);
        QVERIFY(!change(ProgramLists::SetSpecialGridColumns(1), "終了時刻")->visible);
        QCOMPARE(change(ProgramLists::SetSpecialGridColumns(2), "ChimeNO")->caption, QStringLiteral(" 曲番号"));
        QCOMPARE(change(ProgramLists::SetSpecialGridColumns(3), "終了時刻")->caption, QStringLiteral(" 終了時刻"));
        // A repeat circuit has no special programs: only the ID columns go.
        const GridColumns repeat = ProgramLists::SetSpecialGridColumns(4);
        QCOMPARE(repeat.grid, GridColumns::Grid::Show);
        QCOMPARE(repeat.changes.size(), 2);
    }

private:
    std::unique_ptr<ScratchStore> m_store;
};

QTEST_GUILESS_MAIN(TestWeekLists)
#include "test_week_lists.moc"
