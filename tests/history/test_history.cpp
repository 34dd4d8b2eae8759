// The history and the store images it is made of, driven directly; failures of the store are injected by triggers.
#include "TestSupport.h"
#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"
#include "store/CircuitSetting.h"
#include "store/StoreImage.h"
#include "store/StoreRoutines.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QUndoStack>
#include <QtTest>

using namespace TestSupport;

namespace {

const QString kTableOf[] = {"T_Setting", "T_Week", "T_Year", "T_YearE"};

// The imaged table of one kind of change.
QString tableOf(StoreChanges::Changes kind)
{
    return kTableOf[qCountTrailingZeroBits(uint(kind))];
}

// A committed change of that kind, as a window makes it; `value` makes it differ from the others.
void change(StoreChanges::Changes kind, int value)
{
    Transaction transaction(Scratch::document());
    if (kind == StoreChanges::Settings)
        setCircuit(1, 2, value);
    else if (kind == StoreChanges::WeekAndSpecial)
        addWeekRow(1, 0, 1, 0, value / 60, value % 60, 0);
    else if (kind == StoreChanges::Dated)
        addYearRow(1, 27, 1, value % 28 + 1, 0);
    else
        addEveryYearRow(1, 2, value % 28 + 1, 0);
    transaction.commit();
}

void step(const QString& label, StoreChanges::Changes kind, int value)
{
    UndoStep taken(Scratch::history(), label);
    change(kind, value);
}

// Every write to the table fails from now until the returned guard goes.
auto refuseWrites(const QString& table, const char* event)
{
    Scratch::exec(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'disk full'); END")
                           .arg(QLatin1String(event), table));
    return qScopeGuard([] { Scratch::exec(QStringLiteral("DROP TRIGGER refuse")); });
}

QString texts()
{
    return Scratch::history().undoText() + '|' + Scratch::history().redoText();
}

}  // namespace

class TestHistory : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScratchStore> m_store;

private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        Scratch::history().clear();
    }

    void cleanup() { m_store.reset(); }

    // Each kind of change has its table: a refreshed image reads only the tables named, `with` takes them from
    // another image, and restoring puts back only those, announced once. A write that fails changes nothing and
    // announces nothing.
    void storeImagesByKind_data()
    {
        QTest::addColumn<int>("kind");
        for (const StoreChanges::Change kind :
             {StoreChanges::Settings, StoreChanges::WeekAndSpecial, StoreChanges::Dated, StoreChanges::EveryYear})
            QTest::newRow(qPrintable(tableOf(kind))) << int(kind);
    }
    void storeImagesByKind()
    {
        QFETCH(int, kind);
        const StoreChanges::Changes changed(kind);
        const StoreImage before = StoreImage::capture(Scratch::document());
        for (const StoreChanges::Change each :
             {StoreChanges::Settings, StoreChanges::WeekAndSpecial, StoreChanges::Dated, StoreChanges::EveryYear})
            change(each, 30);
        const StoreImage after = StoreImage::capture(Scratch::document());
        QCOMPARE(int(after.differences(before)), int(EveryStoreChange));
        QCOMPARE(int(before.refreshed(Scratch::document(), changed).differences(before)), kind);

        QSignalSpy announced(&Scratch::document(), &ScheduleDocument::changed);
        Scratch::document().resetCircuits();  // pulse 99 until reloaded
        before.restore(Scratch::document(), changed);
        QCOMPARE(announced.count(), 1);
        QCOMPARE(int(announced[0][0].value<StoreChanges::Changes>()), kind);
        QVERIFY(StoreImage::capture(Scratch::document()) == after.with(changed, before));
        // The circuit settings the windows read follow T_Setting.
        QCOMPARE(int(Scratch::document().circuits()[1].PulseTime),
                 changed == StoreChanges::Settings ? count("SELECT PulseTime FROM T_Setting WHERE CircuitNO = 1") : 99);

        const QString restored = storeSnapshot();
        const auto refusing = refuseWrites(tableOf(changed), "INSERT");
        QVERIFY_THROWS_EXCEPTION(StoreError, after.restore(Scratch::document(), changed));
        QCOMPARE(storeSnapshot(), restored);
        QCOMPARE(announced.count(), 1);
    }

    // An undo or redo whose store write fails moves nothing: the store and the history stay, and the next try
    // takes back (or does again) that one step.
    void failedWriteMovesNothing_data()
    {
        QTest::addColumn<bool>("redo");
        QTest::newRow("undo") << false;
        QTest::newRow("redo") << true;
    }
    void failedWriteMovesNothing()
    {
        QFETCH(bool, redo);
        step("A", StoreChanges::WeekAndSpecial, 1);
        const QString afterA = storeSnapshot();
        step("B", StoreChanges::WeekAndSpecial, 2);
        const QString afterB = storeSnapshot();
        if (redo)
            QVERIFY(Scratch::history().undo());
        const QString before = storeSnapshot();
        {
            const auto refusing = refuseWrites("T_Week", "DELETE");
            QVERIFY_THROWS_EXCEPTION(StoreError, redo ? Scratch::history().redo() : Scratch::history().undo());
        }
        QCOMPARE(storeSnapshot(), before);
        QCOMPARE(texts(), QString(redo ? "A|B" : "B|"));
        QVERIFY(redo ? Scratch::history().redo() : Scratch::history().undo());
        QCOMPARE(storeSnapshot(), redo ? afterB : afterA);
    }

    // A change committed outside any step (an undo or redo took its table's neighbour) is still known to the
    // next step on its table, so undoing that step keeps it.
    void changeOutsideAStepIsKept_data()
    {
        QTest::addColumn<bool>("redo");
        QTest::newRow("after an undo") << false;
        QTest::newRow("after a redo") << true;
    }
    void changeOutsideAStepIsKept()
    {
        QFETCH(bool, redo);
        step("week", StoreChanges::WeekAndSpecial, 1);
        if (redo)
            QVERIFY(Scratch::history().undo());
        change(StoreChanges::Dated, 5);
        QVERIFY(redo ? Scratch::history().redo() : Scratch::history().undo());
        const QString withOutside = storeSnapshot();
        step("year", StoreChanges::Dated, 6);
        QVERIFY(Scratch::history().undo());
        QCOMPARE(storeSnapshot(), withOutside);
    }

    // Work no step recorded on a step's own table is never overwritten, whether this program or another one (a
    // second connection to the store file) did it: the undo or redo refuses, the history goes and the user is told
    // why. On another table it stays, and the undo goes on (above).
    void driftedStoreRefusesAndDropsTheHistory_data()
    {
        QTest::addColumn<bool>("redo");
        QTest::addColumn<bool>("byAnotherProgram");
        QTest::newRow("undo") << false << false;
        QTest::newRow("redo") << true << false;
        QTest::newRow("undo, another program's row") << false << true;
        QTest::newRow("redo, another program's row") << true << true;
    }
    void driftedStoreRefusesAndDropsTheHistory()
    {
        QFETCH(bool, redo); QFETCH(bool, byAnotherProgram);
        if (byAnotherProgram) {
            m_store.reset();
            m_store = std::make_unique<ScratchStore>(ScratchStore::OnDisk);
        }
        QStringList told;
        QObject listener;
        connect(&Scratch::history(), &UndoHistory::dropped, &listener, [&](const QString& why) { told << why; });
        step("A", StoreChanges::WeekAndSpecial, 1);
        if (redo)
            QVERIFY(Scratch::history().undo());
        if (byAnotherProgram) {
            {
                QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
                other.setDatabaseName(Scratch::location());
                QVERIFY(other.open() && QSqlQuery(other).exec("INSERT INTO T_Week (CircuitNO, TimeONH) VALUES (2, 7)"));
            }
            QSqlDatabase::removeDatabase("other");
        } else {
            change(StoreChanges::WeekAndSpecial, 7);  // outside any step
        }
        const QString drifted = storeSnapshot();
        QVERIFY(!(redo ? Scratch::history().redo() : Scratch::history().undo()));
        QCOMPARE(storeSnapshot(), drifted);
        QCOMPARE(Scratch::history().stack().count(), 0);
        QCOMPARE(told, QStringList(QString("履歴と現在のデータが一致しないため、%1。\r\n元に戻す・やり直しの履歴は消去しました。")
                                       .arg(redo ? "やり直せません" : "元に戻せません")));
    }

    // A refused, cancelled, failed or undone-by-hand action leaves no step: the one before stays the next undo.
    void actionsThatChangeNothingLeaveNoStep_data()
    {
        QTest::addColumn<QString>("action");
        for (const char* action : {"nothing", "rolled back", "failed", "changed back", "working table"})
            QTest::newRow(action) << action;
    }
    void actionsThatChangeNothingLeaveNoStep()
    {
        QFETCH(QString, action);
        step("A", StoreChanges::Dated, 1);
        try {
            UndoStep taken(Scratch::history(), "B");
            Transaction transaction(Scratch::document());
            if (action == "working table")
                Scratch::exec("INSERT INTO T_WeekT (CircuitNO) VALUES (1)");
            else if (action != "nothing")
                addWeekRow(1, 0, 1, 0, 8, 0, 0);
            if (action == "failed")
                throw StoreError("disk full");
            if (action == "changed back")
                Scratch::exec("DELETE FROM T_Week");
            if (action != "rolled back")
                transaction.commit();
        } catch (const StoreError&) {
        }
        QCOMPARE(std::pair(Scratch::history().stack().count(), texts()), std::pair(1, QString("A|")));
    }

    // Steps inside a step join it; the history does not move while one is recorded. State outside the store is
    // put back after the store: `before` after an undo, `after` after a redo.
    void nestedStepsAndStateOutsideTheStore()
    {
        QStringList putBack;
        {
            UndoStep outer(Scratch::history(), "outer");
            {
                UndoStep inner(Scratch::history(), "inner");
                change(StoreChanges::WeekAndSpecial, 1);
            }
            step("earlier inner", StoreChanges::Dated, 2);
            QVERIFY(!Scratch::history().undo() && !Scratch::history().redo());
            outer.alsoPutBack([&] { putBack << "before " + QString::number(WeekRowCount(Scratch::document())); },
                              [&] { putBack << "after " + QString::number(WeekRowCount(Scratch::document())); });
        }
        const QString after = storeSnapshot();
        QCOMPARE(std::pair(Scratch::history().stack().count(), texts()), std::pair(1, QString("outer|")));
        QVERIFY(Scratch::history().undo());
        QCOMPARE(count("SELECT (SELECT COUNT(*) FROM T_Week) + (SELECT COUNT(*) FROM T_Year)"), 0);
        QVERIFY(Scratch::history().redo());
        QCOMPARE(storeSnapshot(), after);
        QCOMPARE(putBack, (QStringList{"before 0", "after 1"}));
    }

    // A change after an undo ends the redo; the newest 100 steps are kept, and walked back and forth.
    void redoEndsAndTheNewestStepsAreKept()
    {
        step("A", StoreChanges::WeekAndSpecial, 1);
        QVERIFY(Scratch::history().undo());
        step("B", StoreChanges::WeekAndSpecial, 2);
        QCOMPARE(texts(), QString("B|"));

        QStringList images{storeSnapshot()};
        for (int taken = 0; taken <= UndoHistory::kStepLimit; ++taken) {
            step(QString::number(taken), StoreChanges::WeekAndSpecial, 3 + taken);
            images << storeSnapshot();
        }
        for (int left = UndoHistory::kStepLimit; left > 0; --left)
            QVERIFY(Scratch::history().undo());
        QVERIFY(!Scratch::history().undo());
        QCOMPARE(storeSnapshot(), images.at(1));
        while (Scratch::history().redo()) {
        }
        QCOMPARE(storeSnapshot(), images.last());
    }
};

QTEST_MAIN(TestHistory)
#include "test_history.moc"
