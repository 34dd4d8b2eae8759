#include "TestSupport.h"
#include "store/ProgramStore.h"
#include "store/StoreRoutines.h"
#include "week/WeekEditing.h"

#include <QtTest>

using namespace TestSupport;
using namespace WeekEditing;

namespace {

EditRequestData request(int circuit, int day, int editMode = 0)
{
    EditRequestData r;
    r.CircuitNO = qint16(circuit);
    r.YobiON = qint16(day);
    r.EditMode = qint16(editMode);
    r.Origin = 1;
    return r;
}

// `what` of the T_Week rows matching `where`, in day and time order.
QString rows(const QString& what, const QString& where)
{
    return ProgramStore::scalar(QStringLiteral("SELECT group_concat(%1, ', ') FROM (SELECT * FROM T_Week WHERE %2 "
                                               "ORDER BY YobiON, TimeONH, ChimeNO)")
                                    .arg(what, where))
        .toString();
}

}  // namespace

class TestWeekEditing : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        setOneCircuitOfEachType();
    }
    void cleanup() { m_store.reset(); }

    // The dialog tests cover tunes 1 and 3 from midnight; this one crosses an hour.
    void chimeEndAdjustment()
    {
        const TimeOfDay noon = AdjustChimeEnd({12, 0, 0}, 7, true);
        QCOMPARE((std::tuple{noon.hour, noon.minute, noon.second}), (std::tuple{11, 58, 46}));
    }

    // A program reuses the rows there: a new 平日 program Wednesday's row, an
    // identical chime its row (another tune is another program), a changed
    // group its own rows, even at the capacity.
    void programsReuseRows()
    {
        addWeekRow(1, 0, 3, 0, 7, 30, 0);
        QCOMPARE(WriteTimeProgram(request(1, 7), 1, {7, 30, 0, 0}), WriteResult::Written);
        QCOMPARE(rows("YobiON", "CircuitNO = 1 AND TimeONH = 7 AND TimeONM = 30"), QStringLiteral("1, 2, 3, 4, 5"));
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE ID BETWEEN 1 AND 5"), 5);  // renumbered
        addWeekRow(2, 0, 2, 0, 8, 0, 15, 0, 0, 0, 3);
        WriteTimeProgram(request(2, 2), 2, {8, 0, 15, 3});
        WriteTimeProgram(request(2, 2), 2, {8, 0, 15, 4});
        QCOMPARE(rows("ChimeNO", "CircuitNO = 2"), QStringLiteral("3, 4"));

        for (int day = 0; day <= 6; ++day)
            addWeekRow(2, 0, day, 0, 9, 0, 0, 0, 0, 0, 1);
        fillWeekTo(900);
        EditRequestData change = request(2, 8, -1);
        change.ChimeNO = 1;
        change.TimeONH = 9;
        QCOMPARE(WriteTimeProgram(change, 2, {10, 15, 0, 2}), WriteResult::Written);
        QCOMPARE(rows("YobiON", "CircuitNO = 2 AND TimeONH = 10 AND TimeONM = 15 AND ChimeNO = 2"),
                 QStringLiteral("0, 1, 2, 3, 4, 5, 6"));
        QCOMPARE(WeekRowCount(), 900);
    }

    // The capacity is checked once for the rows a program adds: a row the
    // program reuses (Wednesday's 6:00 below) does not count. A refusal
    // leaves even the reused row alone.
    void capacityCountsTheRowsAdded_data()
    {
        QTest::addColumn<bool>("wednesday");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("days");  // of circuit 1 afterwards
        QTest::newRow("895 + 平日") << false << 895 << 7 << true << "1, 2, 3, 4, 5";
        QTest::newRow("896 + 平日") << false << 896 << 7 << false << "";
        QTest::newRow("899 + one day") << false << 899 << 2 << true << "2";
        QTest::newRow("896 + 平日 reusing a row") << true << 896 << 7 << true << "1, 2, 3, 4, 5";
        QTest::newRow("897 + 平日 reusing a row") << true << 897 << 7 << false << "3";
    }
    void capacityCountsTheRowsAdded()
    {
        QFETCH(bool, wednesday);
        QFETCH(int, stored);
        QFETCH(int, day);
        QFETCH(bool, written);
        QFETCH(QString, days);
        if (wednesday)
            addWeekRow(1, 0, 3, 0, 6, 0, 0);
        fillWeekTo(stored);
        QCOMPARE(WriteTimeProgram(request(1, day), 1, {6, 0, 0, 0}),
                 written ? WriteResult::Written : WriteResult::Refused);
        QCOMPARE(WeekRowCount(), written ? 900 : stored);
        QCOMPARE(rows("YobiON", "CircuitNO = 1"), days);
    }

    // A group timer ends the next day past midnight, and rows it reuses
    // follow that rule; a single day keeps the end day chosen (an identical
    // program is rewritten); a special program has no days.
    void timerEndDays()
    {
        QCOMPARE(WriteTimerProgram(request(3, 8), {22, 0, 6, 0, 0, 0}), WriteResult::Written);
        QCOMPARE(rows("YobiON || '-' || YobiOFF", "CircuitNO = 3"),
                 QStringLiteral("0-1, 1-2, 2-3, 3-4, 4-5, 5-6, 6-0"));
        QCOMPARE(GroupEndDay(3, 8, 0, 8, 0), 3);
        QCOMPARE(GroupEndDay(3, 9, 0, 17, 0), 3);
        EditRequestData special = request(3, 0);
        special.Origin = 2;
        special.SpecialNO = 4;
        WriteTimerProgram(special, {22, 0, 2, 0, 0, 5});
        QCOMPARE(rows("YobiON || '-' || YobiOFF", "SpecialNO = 4"), QStringLiteral("0-0"));

        addWeekRow(4, 0, 3, 3, 23, 0, 0, 1, 0, 15);
        WriteTimerProgram(request(4, 7), {23, 0, 1, 0, 15, 0});
        QCOMPARE(rows("YobiON || '-' || YobiOFF", "CircuitNO = 4"), QStringLiteral("1-2, 2-3, 3-4, 4-5, 5-6"));
        WriteTimerProgram(request(4, 6), {22, 0, 2, 0, 30, 0});
        WriteTimerProgram(request(4, 6), {22, 0, 2, 0, 30, 0});
        // Changing the group to a same-day period rewrites every end day.
        EditRequestData change = request(4, 7, -1);
        change.Repeat = 15;
        change.TimeONH = 23;
        change.TimeOFFH = 1;
        WriteTimerProgram(change, {8, 0, 17, 0, 10, 0});
        QCOMPARE(rows("YobiON || '-' || YobiOFF || ' ' || Repeat", "CircuitNO = 4"),
                 QStringLiteral("1-1 10, 2-2 10, 3-3 10, 4-4 10, 5-5 10, 6-0 30"));
    }

    // Copies keep their tunes; a target time already there keeps its own.
    // A day is offered as a source to the other days, a special number to
    // the other numbers.
    void copying()
    {
        addWeekRow(2, 0, 1, 0, 12, 0, 0, 0, 0, 0, 2);
        addWeekRow(2, 0, 1, 0, 13, 0, 0, 0, 0, 0, 4);
        addWeekRow(2, 0, 2, 0, 12, 0, 0, 0, 0, 0, 5);
        QCOMPARE(CopyPrograms(2, {false, 1}, {2, 0}).added, 1);
        QCOMPARE(rows("TimeONH || ' ' || ChimeNO", "SpecialNO = 0 AND YobiON = 2"), QStringLiteral("12 5, 13 4"));
        QCOMPARE(CopyPrograms(2, {false, 1}, {2, 0}).added, 0);
        // A special number takes the programs of a day.
        QCOMPARE(CopyPrograms(2, {false, 1}, {0, 7}).added, 2);
        QCOMPARE(rows("TimeONH || ' ' || ChimeNO", "SpecialNO = 7 AND YobiON = 0"), QStringLiteral("12 2, 13 4"));

        addWeekRow(1, 0, 1, 0, 1, 0, 0);
        addWeekRow(1, 0, 3, 0, 1, 0, 0);
        addWeekRow(1, 4, 0, 0, 1, 0, 0);
        addWeekRow(1, 6, 0, 0, 1, 0, 0);
        QCOMPARE(CopySourceDays(1, 3), QList<int>{1});
        QCOMPARE(CopySourceDays(1, -1), (QList<int>{1, 3}));
        QCOMPARE(CopySourceSpecials(1, 4), QList<int>{6});
    }

private:
    std::unique_ptr<ScratchStore> m_store;
};

QTEST_GUILESS_MAIN(TestWeekEditing)
#include "test_week_editing.moc"
