#include "store/ScheduleDocument.h"
#include "TestSupport.h"
#include "app/Form_Main.h"
#include "ui/WindowUtil.h"
#include "store/StoreRoutines.h"
#include "week/Form_Week.h"
#include "whenruns/DayResolution.h"
#include "whenruns/ProgramText.h"
#include "whenruns/TimelineLayout.h"
#include "whenruns/WeekTimeline.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;
using namespace WhenRuns;

namespace {

// "kind weekday special entry hasPrograms | program; program", programs as
// their one-line texts, "<" before one that began the day before.
QString describe(const CircuitDay& day)
{
    static const char* const kinds[] = {"week", "special", "stop", "conflict"};
    const DaySource& s = day.source;
    QString text = QStringLiteral("%1 %2").arg(QLatin1String(kinds[int(s.kind)])).arg(s.weekday);
    if (s.kind == SourceKind::Special || s.kind == SourceKind::Stop)
        text += QStringLiteral(" %1 %2").arg(s.special).arg(s.entry == EntryKind::Dated ? "dated" : "every-year");
    if (s.kind == SourceKind::Special && !s.hasPrograms)
        text += QStringLiteral(" empty");
    for (const EntryRef& e : s.entries)
        text += QStringLiteral(" [%1 %2]").arg(e.entry == EntryKind::Dated ? "dated" : "every-year").arg(e.special);
    QStringList programs;
    for (const DayProgram& p : day.programs)
        programs << (p.fromPreviousDay ? QStringLiteral("<") : QString()) + programLine(day.type, p.row).trimmed();
    return text + QStringLiteral(" | ") + programs.join(QStringLiteral("; "));
}

double charWidth(const QString& text) { return 7.0 * text.size(); }

// Each mark as "day left-right top-bottom", then "<" for the part of a span after midnight, ">" for one going on past
// midnight, and its label when it has room.
QStringList describe(const TimelineLayout& layout)
{
    QStringList marks;
    for (const TimelineMark& mark : layout.marks) {
        const QRectF& r = mark.rect;
        QString text = QStringLiteral("%1 %2-%3 %4-%5").arg(mark.day).arg(r.left()).arg(r.right()).arg(r.top()).arg(r.bottom());
        text += QLatin1String(mark.fromPreviousDay ? " <" : "") + QLatin1String(mark.toNextDay ? " >" : "");
        marks << (mark.labelRect.isEmpty() ? text : text + QLatin1Char(' ') + mark.label);
    }
    return marks;
}

void choose(QWidget* window, const char* box, const QString& text)
{
    auto* combo = child<QComboBox>(window, box);
    combo->setCurrentIndex(combo->findText(text));
}

// Every row of the tree: headings as they are, programs as their visible cells joined by "|".
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

class TestWhenRuns : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        Scratch::document().resetCircuits();
        setOneCircuitOfEachType();
    }

    void cleanup() { m_store.reset(); }

    void resolves_data()
    {
        QTest::addColumn<QDate>("date"); QTest::addColumn<int>("circuit"); QTest::addColumn<QString>("expected");
        QTest::newRow("dated special") << QDate(2028, 1, 2) << 1 << "special 0 2 dated | 9:15.00  曲番号 4";
        QTest::newRow("every-year stop") << QDate(2031, 5, 5) << 1 << "stop 1 0 every-year | ";
        QTest::newRow("dated and every-year conflict") << QDate(2027, 1, 1) << 1 << "conflict 5 [dated 0] [every-year 5] | ";
        QTest::newRow("every-year alone") << QDate(2029, 1, 1) << 1 << "special 1 5 every-year | 10:00.00  曲番号 2";
        QTest::newRow("29 February, leap year") << QDate(2028, 2, 29) << 1 << "special 2 5 every-year | 10:00.00  曲番号 2";
        QTest::newRow("28 February, common year, none that day") << QDate(2027, 2, 28) << 1 << "week 0 | ";
        QTest::newRow("1 March, common year, in time order") << QDate(2027, 3, 1) << 1 << "week 1 | 7:00.00  曲番号 1; 8:30.05  曲番号 3";
        QTest::newRow("special without programs") << QDate(2027, 3, 10) << 1 << "special 3 9 dated empty | ";
        QTest::newRow("Saturday night timer on Sunday")
            << QDate(2027, 1, 10) << 3 << "week 0 | <22:00 ～ 日  6:00; 9:00 ～ 日 12:00";
        QTest::newRow("nothing carried over from a stopped Saturday") << QDate(2027, 1, 17) << 3 << "week 0 | 9:00 ～ 日 12:00";
        QTest::newRow("special timer ending the next day, none ending at midnight")
            << QDate(2027, 1, 1) << 3 << "special 5 4 dated | 23:30 ～ 土  1:00";
        QTest::newRow("end before start on the same day") << QDate(2027, 1, 7) << 3 << "week 4 | <23:00 ～ 木  1:00; 20:00 ～ 金  0:00";
        QTest::newRow("circuit without a type") << QDate(2027, 1, 4) << 6 << QString();
        QTest::newRow("carried over from a special") << QDate(2027, 1, 2) << 3 << "week 6 | <23:30 ～ 土  1:00; 22:00 ～ 日  6:00";
    }

    void resolves()
    {
        QFETCH(QDate, date); QFETCH(int, circuit); QFETCH(QString, expected);
        // Circuit 1 chimes, circuit 3 timers. New Year: every year special 5 and 2027 停止 (a conflict);
        // 2027-03-10 special 9 holds no programs; 2027-01-01 (Fri) timer special 4 ends the next day; the
        // Wednesday 23:00-1:00 timer is stored with Wednesday as its end day; nothing of the Thursday one,
        // ending at Friday 0:00, runs on Friday. Circuit 6 has no type.
        setCircuit(1, 2, 10);
        addRows({{1, 0, 1, 0, 8, 30, 5, 0, 0, 0, 3}, {1, 0, 1, 0, 7, 0, 0, 0, 0, 0, 1},
                 {1, 2, 0, 0, 9, 15, 0, 0, 0, 0, 4}, {1, 5, 0, 0, 10, 0, 0, 0, 0, 0, 2}, {3, 0, 6, 0, 22, 0, 0, 6, 0},
                 {3, 0, 0, 0, 9, 0, 0, 12, 0}, {3, 4, 0, 0, 23, 30, 0, 1, 0}, {3, 0, 3, 3, 23, 0, 0, 1, 0},
                 {3, 0, 4, 5, 20, 0, 0},
                 {6, 0, 1, 0, 8, 0, 0}, {1, 27, 1, 1, 0}, {1, 28, 1, 2, 2}, {1, 27, 3, 10, 9}, {3, 27, 1, 1, 4},
                 {3, 27, 1, 16, 0}, {1, 1, 1, 5}, {1, 5, 5, 0}, {1, 2, 29, 5}});
        const DayPreview preview = ResolveDay(ReadSchedule(Scratch::document()), date);
        const auto found = std::find_if(preview.circuits.cbegin(), preview.circuits.cend(),
                                        [circuit](const CircuitDay& day) { return day.circuit == circuit; });
        QCOMPARE(found == preview.circuits.cend() ? QString() : describe(*found), expected);
    }

    // 1440 px for 24 h: one pixel a minute; rows of 100 px. Saturday night goes on into Sunday morning; two
    // overlapping spans on Tuesday share the bar in two lanes. Monday chimes at 6:00:00, 12:30:30 and 12:31:00:
    // the last two take a lane each, show their count and are both found by the pointer.
    void timelineSpansAndTicks()
    {
        // Rows of T_Week: ID, circuit and special 0, then days, times, interval and tune.
        const QList<WeekRow> spanRows{{0, 0, 0, 6, 0, 22, 0, 0, 6, 0, 0, 0}, {0, 0, 0, 2, 2, 21, 0, 0, 23, 0, 0, 0},
                                      {0, 0, 0, 2, 2, 22, 0, 0, 23, 30, 0, 0}};
        const TimelineLayout spans = LayoutTimeline(spanRows, TypeTimer, QRectF(0, 0, 1440, 700), charWidth);
        QCOMPARE(describe(spans), (QStringList{"6 1320-1440 604-696 >", "0 0-360 4-96 <", "2 1260-1380 204-249.5",
                                               "2 1320-1410 250.5-296"}));
        const QList<WeekRow> tickRows{{0, 0, 0, 1, 0, 6, 0, 0, 0, 0, 0, 3}, {0, 0, 0, 1, 0, 12, 30, 30, 0, 0, 0, 5},
                                      {0, 0, 0, 1, 0, 12, 31, 0, 0, 0, 0, 7}};
        const TimelineLayout ticks = LayoutTimeline(tickRows, TypeChime, QRectF(40, 20, 1440, 700), charWidth);
        QCOMPARE(describe(ticks), (QStringList{"1 398.5-401.5 134-217 3", "1 789-792 134-175.5 2件",
                                               "1 789.5-792.5 175.5-217"}));
        const double monday = ticks.bar(1).center().y();
        const QList<QList<int>> hits{spans.marksAt(QPointF(100, 50)), ticks.marksAt(QPointF(788, monday)),
                                     ticks.marksAt(QPointF(740, monday)), ticks.marksAt(QPointF(400, monday + 100))};
        QCOMPARE(hits, (QList<QList<int>>{{1}, {1, 2}, {}, {}}));

        // 900 programs on one Wednesday: every span stays in its row, every chime has its tick.
        QList<WeekRow> rows;
        for (int i = 0; i < 900; ++i)
            rows << WeekRow{0, 0, 0, 3, 3, i % 24, i % 60, 0, (i + 5) % 24, 0, 10, i % 7 + 1};
        const TimelineLayout full = LayoutTimeline(rows, TypeRepeat, QRectF(0, 0, 700, 350), charWidth);
        QVERIFY(full.marks.size() >= 900);
        for (const TimelineMark& mark : full.marks)
            QVERIFY(full.row(mark.day).contains(mark.rect));
        QCOMPARE(LayoutTimeline(rows, TypeChime, QRectF(0, 0, 640, 340), charWidth).marks.size(), 900);
    }

    // The main window hands the week list its timeline.
    void timelineFollowsTheList()
    {
        // Monday chimes, a Saturday night timer and a special program, which is not on the timeline.
        addRows({{2, 0, 1, 0, 8, 30, 5, 0, 0, 0, 3}, {2, 0, 1, 0, 9, 0, 0, 0, 0, 0, 4},
                 {2, 0, 1, 0, 9, 0, 30, 0, 0, 0, 6}, {3, 0, 6, 0, 22, 0, 0, 6, 0}, {3, 4, 0, 0, 9, 0, 0, 10, 0}});
        Form_Main main(Scratch::history());
        child<QPushButton>(&main, "Button_Week")->click();
        auto* week = qobject_cast<Form_Week*>(FindForm(QStringLiteral("Form_Week")));
        choose(week, "Combo_Circuit", QStringLiteral("2"));
        choose(week, "Combo_Yobi", QStringLiteral("月"));
        auto* timeline = child<WeekTimeline>(week, "Timeline_Week");
        QVERIFY(!timeline->isVisible());

        child<QRadioButton>(week, "Option_View_1")->click();
        QVERIFY(timeline->isVisible() && !child(week, "DataGrid1")->isVisible());
        QVERIFY(!child(week, "Button_Edit")->isEnabled() && !child(week, "Button_Delete")->isEnabled()
                && child(week, "Button_New")->isEnabled());
        const QPointF nine = timeline->currentLayout().marks[1].rect.center();
        QCOMPARE(timeline->programTextAt(nine), QStringLiteral("月 9:00.00  曲番号 4\n月 9:00.30  曲番号 6"));
        // The 9:00 tick is drawn over the hour line, all its width.
        const QImage image = timeline->grab().toImage();
        for (int dx : {-1, 0, 1})
            QCOMPARE(image.pixelColor(int(nine.x()) + dx, int(nine.y())), QColor(0xd0, 0x5a, 0x2c));

        // An entry dialog stores a program and rebuilds the list: the timeline follows.
        addWeekRow(2, 0, 5, 0, 12, 0, 0, 0, 0, 0, 1);
        week->rebuildList(2, 1);
        QCOMPARE(timeline->currentLayout().marks.last().day, 5);

        choose(week, "Combo_Circuit", QStringLiteral("3"));
        QCOMPARE(timeline->currentLayout().marks.size(), 2);

        child<QRadioButton>(week, "Option_View_0")->click();
        QVERIFY(child(week, "DataGrid1")->isVisible());
        QVERIFY(child(week, "Button_Edit")->isEnabled() && child(week, "Button_Delete")->isEnabled());
        week->close();
    }

    // Opened from the main window on today. New Year 2027: every year special 1 on the chime circuit and 停止
    // on 2027-01-01 (a conflict); the timer circuit runs special 6, which holds no programs (special 4 does); the
    // Thursday night timer carries over into Friday.
    void dayPreview()
    {
        addRows({{2, 1, 0, 0, 7, 0, 0, 0, 0, 0, 5}, {3, 4, 0, 0, 9, 0, 0, 10, 0}, {2, 1, 1, 1}, {2, 27, 1, 1, 0},
                 {3, 27, 1, 1, 6}, {3, 0, 4, 5, 23, 0, 0, 5, 30}});
        QTemporaryDir dir;
        SpecialNames::Names names;
        names.setName(6, QStringLiteral("短縮"));
        QVERIFY(!names.write(dir.filePath(QStringLiteral("names.json"))));
        Form_Main main(Scratch::history(), nullptr, dir.filePath(QStringLiteral("names.json")));
        main.show();
        child<QPushButton>(&main, "Button_Day")->click();
        QWidget* preview = FindForm(QStringLiteral("Form_DayPreview"));
        QVERIFY(preview && preview->isVisible() && !main.isVisible());
        QCOMPARE(preview->windowTitle(), QStringLiteral("日付確認"));
        auto* date = child<QDateEdit>(preview, "Date_Select");
        auto* tree = child<QTreeWidget>(preview, "Tree_Day");
        QCOMPARE(date->date(), QDate::currentDate());
        // 2028 goes on after the date before it, the cursor anywhere in it and nothing selected.
        for (const auto& [typed, day] : {std::pair{"2027/03/16", QDate(2027, 3, 16)}, {"20280107", QDate(2028, 1, 7)},
                                         {"2027/1/1", QDate(2027, 1, 1)}}) {
            QTest::keyClick(date, day.year() == 2027 ? Qt::Key_A : Qt::Key_Home,
                            day.year() == 2027 ? Qt::ControlModifier : Qt::NoModifier);
            QTest::keyClicks(date, QLatin1String(typed));
            QTest::keyClick(date, Qt::Key_Return);  // "1" could still become "1x"
            QCOMPARE(date->date(), day);
        }
        QCOMPARE(QStringList{child<QLabel>(preview, "Label_Weekday")->text()} + treeLines(tree), (QStringList{
                                      "金曜日",
                                      "回路 1　報時　　週間: 金曜日",
                                      "　この曜日のプログラムはありません。",
                                      "回路 2　チャイム　　競合: 年間（2027年）停止 ／ 年間（毎年）特殊番号 1",
                                      "　この日には年間プログラムの指定が重なっています。どれが実行されるかは決まっていません。",
                                      "回路 3　タイマ　　年間（2027年）: 特殊番号 6 短縮",
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
        // Escape closes it as 閉じる does.
        activate(preview);
        QTest::keyClick(date, Qt::Key_Escape);
        QVERIFY(main.isVisible() && !IsFormLoaded(QStringLiteral("Form_DayPreview")));
        child<QPushButton>(&main, "Button_Day")->click();
        child<QPushButton>(FindForm(QStringLiteral("Form_DayPreview")), "Button_Close")->click();
        QVERIFY(main.isVisible() && !IsFormLoaded(QStringLiteral("Form_DayPreview")));
    }

private:
    std::unique_ptr<ScratchStore> m_store;
};

QTEST_MAIN(TestWhenRuns)
#include "test_when_runs.moc"
