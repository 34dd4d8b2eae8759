#include "TestSupport.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/Form_Week.h"
#include "whenruns/Schedule.h"
#include "whenruns/WeekTimeline.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace TestSupport;
using WhenRuns::TimelineMark;

namespace {

void choose(QWidget* window, const char* box, const QString& text)
{
    auto* combo = child<QComboBox>(window, box);
    combo->setCurrentIndex(combo->findText(text));
}

int marksOn(const WhenRuns::TimelineLayout& layout, int day)
{
    return int(std::count_if(layout.marks.cbegin(), layout.marks.cend(),
                             [day](const TimelineMark& mark) { return mark.day == day; }));
}

}  // namespace

class TestWhenRunsWindows : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void timelineFollowsTheList();
    void timelineOfAFullDay();

private:
    std::unique_ptr<ScratchStore> m_store;
};

void TestWhenRunsWindows::init()
{
    m_store = std::make_unique<ScratchStore>();
    ResetCircuitSettings();
    setOneCircuitOfEachType();
    addWeekRow(2, 0, 1, 0, 8, 30, 5, 0, 0, 0, 3);   // Monday chime
    addWeekRow(3, 0, 6, 0, 22, 0, 0, 6, 0);         // Saturday night timer
    addWeekRow(3, 4, 0, 0, 9, 0, 0, 10, 0);         // a special program: not on the timeline
}

void TestWhenRunsWindows::cleanup()
{
    m_store.reset();
}

void TestWhenRunsWindows::timelineFollowsTheList()
{
    Form_Week week;
    week.show();
    choose(&week, "Combo_Circuit", QStringLiteral("2"));
    choose(&week, "Combo_Yobi", QStringLiteral("月"));
    auto* timeline = child<WeekTimeline>(&week, "Timeline_Week");
    QVERIFY(!timeline->isVisible());

    child<QRadioButton>(&week, "Option_View_1")->click();
    QVERIFY(timeline->isVisible());
    QVERIFY(!child(&week, "DataGrid1")->isVisible());
    QVERIFY(!child(&week, "Button_Edit")->isEnabled() && !child(&week, "Button_Delete")->isEnabled());
    QVERIFY(child(&week, "Button_New")->isEnabled());
    QCOMPARE(timeline->currentLayout().marks.size(), 1);
    const TimelineMark tick = timeline->currentLayout().marks.first();
    QCOMPARE(tick.day, 1);
    QCOMPARE(tick.label, QStringLiteral("3"));
    QCOMPARE(timeline->programTextAt(tick.rect.center()), QStringLiteral("月 8:30.05  曲番号 3"));

    // An entry dialog stores a program and rebuilds the list: the timeline follows.
    addWeekRow(2, 0, 5, 0, 12, 0, 0, 0, 0, 0, 1);
    week.rebuildList(2, 1);
    QCOMPARE(marksOn(timeline->currentLayout(), 5), 1);

    choose(&week, "Combo_Circuit", QStringLiteral("3"));
    const WhenRuns::TimelineLayout& spans = timeline->currentLayout();
    QCOMPARE(spans.marks.size(), 2);
    QCOMPARE(marksOn(spans, 6) + marksOn(spans, 0), 2);
    QCOMPARE(timeline->programTextAt(spans.marks[1].rect.center()), QStringLiteral("土 22:00 ～ 日  6:00"));

    child<QRadioButton>(&week, "Option_View_0")->click();
    QVERIFY(child(&week, "DataGrid1")->isVisible());
    QVERIFY(child(&week, "Button_Edit")->isEnabled() && child(&week, "Button_Delete")->isEnabled());
}

// All 900 rows on one Wednesday: drawn without trouble, labels thinned out.
void TestWhenRunsWindows::timelineOfAFullDay()
{
    ClearAllData();
    setCircuit(2, 2, 10);
    Transaction transaction;
    for (int i = 0; i < WeekCapacity; ++i)
        addWeekRow(2, 0, 3, 0, i / 60 % 24, i % 60, i % 60, 0, 0, 0, i % 7 + 1);
    transaction.commit();
    WeekTimeline timeline;
    timeline.resize(640, 340);
    timeline.setPrograms(2, WhenRuns::ReadWeekRows(2));
    QCOMPARE(timeline.currentLayout().marks.size(), WeekCapacity);
    const auto labelled = std::count_if(timeline.currentLayout().marks.cbegin(), timeline.currentLayout().marks.cend(),
                                        [](const TimelineMark& mark) { return !mark.labelRect.isEmpty(); });
    QVERIFY(labelled > 10 && labelled < 200);
    QVERIFY(!timeline.grab().isNull());
}

QTEST_MAIN(TestWhenRunsWindows)
#include "test_when_runs_windows.moc"
