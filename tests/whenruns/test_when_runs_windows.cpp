#include "TestSupport.h"
#include "store/StoreRoutines.h"
#include "app/Form_Main.h"
#include "app/ui/WindowUtil.h"
#include "week/Form_Week.h"
#include "whenruns/WeekTimeline.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QTreeWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace TestSupport;

namespace {

void choose(QWidget* window, const char* box, const QString& text)
{
    auto* combo = child<QComboBox>(window, box);
    combo->setCurrentIndex(combo->findText(text));
}

// Every row of the tree: headings as they are, programs as their visible
// cells joined by "|".
QStringList treeLines(QTreeWidget* tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* circuit = tree->topLevelItem(i);
        lines << circuit->text(0);
        for (int j = 0; j < circuit->childCount(); ++j) {
            QStringList cells;
            for (int column = 0; column < tree->columnCount(); ++column)
                if (!tree->isColumnHidden(column))
                    cells << circuit->child(j)->text(column);
            lines << cells.join(QLatin1Char('|')).remove(QRegularExpression(QStringLiteral("\\|+$")));
        }
    }
    return lines;
}

}  // namespace

class TestWhenRunsWindows : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        setOneCircuitOfEachType();
        addWeekRow(2, 0, 1, 0, 8, 30, 5, 0, 0, 0, 3);   // Monday chime
        addWeekRow(3, 0, 6, 0, 22, 0, 0, 6, 0);         // Saturday night timer
        addWeekRow(3, 4, 0, 0, 9, 0, 0, 10, 0);         // a special program: not on the timeline
    }

    void cleanup() { m_store.reset(); }

    void timelineFollowsTheList()
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
        QCOMPARE(timeline->programTextAt(timeline->currentLayout().marks[0].rect.center()),
                 QStringLiteral("月 8:30.05  曲番号 3"));
        QVERIFY(!timeline->grab().isNull());

        // An entry dialog stores a program and rebuilds the list: the timeline follows.
        addWeekRow(2, 0, 5, 0, 12, 0, 0, 0, 0, 0, 1);
        week.rebuildList(2, 1);
        QCOMPARE(timeline->currentLayout().marks.last().day, 5);

        choose(&week, "Combo_Circuit", QStringLiteral("3"));
        const WhenRuns::TimelineLayout& spans = timeline->currentLayout();
        QCOMPARE(spans.marks.size(), 2);
        QCOMPARE(timeline->programTextAt(spans.marks[1].rect.center()), QStringLiteral("土 22:00 ～ 日  6:00"));

        child<QRadioButton>(&week, "Option_View_0")->click();
        QVERIFY(child(&week, "DataGrid1")->isVisible());
        QVERIFY(child(&week, "Button_Edit")->isEnabled() && child(&week, "Button_Delete")->isEnabled());
    }

    // Opened from the main window on today. New Year 2027: every year special 1 on the chime circuit and 停止
    // on 2027-01-01 (a conflict); the timer circuit runs special 6, which holds no programs; the Thursday night
    // timer carries over into Friday.
    void dayPreview()
    {
        addWeekRow(2, 1, 0, 0, 7, 0, 0, 0, 0, 0, 5);
        addEveryYearRow(2, 1, 1, 1);
        addYearRow(2, 27, 1, 1, 0);
        addYearRow(3, 27, 1, 1, 6);
        addWeekRow(3, 0, 4, 5, 23, 0, 0, 5, 30);
        Form_Main main;
        main.show();
        child<QPushButton>(&main, "Button_Day")->click();
        QWidget* preview = FindForm(QStringLiteral("Form_DayPreview"));
        QVERIFY(preview && preview->isVisible() && !main.isVisible());
        QCOMPARE(preview->windowTitle(), QStringLiteral("日付確認"));
        auto* date = child<QDateEdit>(preview, "Date_Select");
        auto* tree = child<QTreeWidget>(preview, "Tree_Day");
        QCOMPARE(date->date(), QDate::currentDate());
        date->setDate(QDate(2027, 1, 1));
        QCOMPARE(child<QLabel>(preview, "Label_Weekday")->text(), QStringLiteral("金曜日"));
        QCOMPARE(treeLines(tree), (QStringList{
                                      "回路 1　報時　　週間: 金曜日",
                                      "　この曜日のプログラムはありません。",
                                      "回路 2　チャイム　　競合: 年間（2027年）停止 ／ 年間（毎年）特殊番号 1",
                                      "　この日には年間プログラムの指定が重なっています。どれが実行されるかは決まっていません。",
                                      "回路 3　タイマ　　年間（2027年）: 特殊番号 6",
                                      "　特殊番号 6 にはプログラムがありません。",
                                      "23:00|金| 5:30|||前日から継続",
                                      "回路 4　繰返し　　週間: 金曜日",
                                      "　この曜日のプログラムはありません。",
                                  }));
        QVERIFY(tree->topLevelItem(1)->foreground(0).color() != tree->topLevelItem(0)->foreground(0).color());

        // The next year: the every-year entry alone runs special 1.
        date->setDate(QDate(2028, 1, 1));
        QCOMPARE(treeLines(tree).mid(2, 2), (QStringList{"回路 2　チャイム　　年間（毎年）: 特殊番号 1", " 7:00.00|||5"}));
        child<QPushButton>(preview, "Button_PrevDay")->click();
        QCOMPARE(date->date(), QDate(2027, 12, 31));
        child<QPushButton>(preview, "Button_Close")->click();
        QVERIFY(main.isVisible() && !IsFormLoaded(QStringLiteral("Form_DayPreview")));
    }

private:
    std::unique_ptr<ScratchStore> m_store;
};

QTEST_MAIN(TestWhenRunsWindows)
#include "test_when_runs_windows.moc"
