#include "TestSupport.h"
#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"
#include "store/ProgramTypes.h"
#include "store/CircuitSetting.h"
#include "store/StoreChanges.h"
#include "store/StoreRoutines.h"
#include "week/Bells.h"
#include "week/Days.h"
#include "week/Form_Bells.h"
#include "week/Form_Copy.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/Form_Week.h"
#include "week/ProgramGrid.h"
#include "week/ProgramList.h"
#include "week/UpDown.h"
#include "week/WeekEditing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QtTest>

using namespace TestSupport;
using namespace WeekEditing;
using ProgramLists::BuildWeekList;

namespace {

// A new program's job from the week list (or with origin 2 the special window) for a circuit and a day.
EntryJob request(int circuit, int day, int origin = 1)
{
    EntryJob r;
    r.row = WeekRow{0, circuit, 0, day, day};
    r.Origin = origin == 1 ? EntryJob::Opener::WeekList : EntryJob::Opener::SpecialWindow;
    return r;
}

// The job an entry dialog was opened with.
const EntryJob& jobOf(QDialog* dialog)
{
    if (auto* time = qobject_cast<Form_EditTime*>(dialog))
        return time->job();
    return qobject_cast<Form_EditTimeTimer*>(dialog)->job();
}

// `what` of the T_Week rows matching `where`, in day and time order.
QString rows(const QString& what, const QString& where)
{
    const QString sql = "SELECT group_concat(%1, ', ') FROM (SELECT * FROM T_Week WHERE %2 "
                        "ORDER BY YobiON, TimeONH, ChimeNO)";
    return Scratch::scalar(sql.arg(what, where)).toString();
}

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

// The last change of that column.
const ColumnChange* change(const GridColumns& layout, const QString& field)
{
    const auto last = std::find_if(layout.changes.crbegin(), layout.changes.crend(),
                                   [&field](const ColumnChange& c) { return c.field == field; });
    return last == layout.changes.crend() ? nullptr : &*last;
}

}  // namespace

class TestWeek : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        Scratch::document().resetCircuits();
        setOneCircuitOfEachType();
        setCircuit(6, 4, 3);  // after a gap: the circuit list skips 5
        m_week = new Form_Week(Scratch::history());
        ModalDialogs::setRunner([this](QDialog* dialog) {
            m_dialog.reset(dialog);
            dialog->show();
        });
        m_week->show();
    }

    void cleanup()
    {
        m_dialog.reset();
        delete m_week;
        m_store.reset();
    }

    // A single day lists its rows; 平日 and 毎日 list the programs found on
    // every day of the group, one per time and tune.
    void weekLists()
    {
        addRows({{1, 0, 1, 0, 8, 5, 0}, {1, 0, 1, 0, 17, 30, 0}, {1, 0, 2, 0, 9, 0, 0}});
        addWeekRow(1, 3, 0, 0, 10, 0, 0);  // special program: not a week row
        addWeekRow(2, 0, 6, 0, 8, 5, 30, 0, 0, 0, 4);
        // Midnight has the all-zero key the walk starts from.
        addOnDays(1, {0, 1, 2, 3, 4, 5, 6}, 0, 0, 0, 0);
        // A weekday program entered twice on Monday, Wednesday and Friday is still one program.
        addOnDays(2, {1, 1, 2, 3, 3, 4, 5, 5}, 6, 0, 0, 2);
        addOnDays(2, {1, 2, 3, 4, 5}, 7, 30, 5, 3);
        addOnDays(2, {1, 2, 4, 5}, 9, 0, 0, 1);           // missing on Wednesday
        addOnDays(2, {1, 2, 3, 4, 5}, 12, 0, 0, 2);       // two tunes at one time
        addOnDays(2, {1, 2, 3, 4, 5}, 12, 0, 0, 6);
        // An overnight timer every day; one running from Friday into Sunday is no 平日 program.
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
        RenumberTable(Scratch::document(), QStringLiteral("T_Week"));
        QCOMPARE(rows(BuildWeekList(Scratch::document(), 1, 1), "開始時刻"), (QStringList{" 0:00", " 8:05", "17:30"}));
        QCOMPARE(rows(BuildWeekList(Scratch::document(), 2, 6), "開始時刻|ChimeNO"), QStringList{" 8:05.30|4"});
        QCOMPARE(rows(BuildWeekList(Scratch::document(), 3, 6), "開始曜日|終了曜日|終了時刻"), QStringList{"土|日| 6:00"});
        QVERIFY(BuildWeekList(Scratch::document(), 1, -1).rows.isEmpty() && BuildWeekList(Scratch::document(), 0, 1).rows.isEmpty());
        QCOMPARE(rows(BuildWeekList(Scratch::document(), 1, 8), "開始時刻"), QStringList{" 0:00"});
        QCOMPARE(rows(BuildWeekList(Scratch::document(), 1, 7), "開始時刻"), QStringList{" 0:00"});
        QCOMPARE(rows(BuildWeekList(Scratch::document(), 2, 7), "開始時刻|ChimeNO|ID"),
                 (QStringList{" 6:00.00|2|0", " 7:30.05|3|0", "12:00.00|2|0", "12:00.00|6|0"}));
        // Not on Sunday and Saturday: not an every-day program.
        QCOMPARE(BuildWeekList(Scratch::document(), 2, 8).rows.size(), 0);
        // The working table holds the last group view only.
        QCOMPARE(count("SELECT COUNT(*) FROM T_WeekT"), 0);
        QCOMPARE(rows(BuildWeekList(Scratch::document(), 3, 8), "開始時刻|終了時刻") + rows(BuildWeekList(Scratch::document(), 3, 7), "開始時刻"),
                 (QStringList{"22:00| 6:00", "22:00"}));
        QCOMPARE(rows(BuildWeekList(Scratch::document(), 4, 7), "Repeat"), QStringList{"10"});
        // Weekend rows neither make nor break a weekday program.
        addRows({{4, 0, 6, 6, 9, 0, 0, 17, 0, 20}, {4, 0, 0, 0, 9, 0, 0, 17, 0, 20}});
        QCOMPARE(rows(BuildWeekList(Scratch::document(), 4, 7), "Repeat"), QStringList{"10"});
        QCOMPARE(BuildWeekList(Scratch::document(), 4, 8).rows.size(), 0);
    }

    void specialList()
    {
        addRows({{2, 5, 0, 0, 6, 0, 9, 0, 0, 0, 7}, {2, 0, 1, 0, 6, 0, 9, 0, 0, 0, 7}, {1, 5, 0, 0, 6, 0, 9}});
        QCOMPARE(rows(ProgramLists::BuildSpecialList(Scratch::document(), 2, 5), "開始時刻"), QStringList{" 6:00.09"});
        QCOMPARE(rows(ProgramLists::BuildSpecialList(Scratch::document(), 1, 5), "開始時刻"), QStringList{" 6:00"});
        QCOMPARE(ProgramLists::SetSpecialGridColumns(Scratch::document(), 0).grid, GridColumns::Grid::Hide);
        QVERIFY(!change(ProgramLists::SetSpecialGridColumns(Scratch::document(), 1), "終了時刻")->visible);
        QCOMPARE(change(ProgramLists::SetSpecialGridColumns(Scratch::document(), 2), "ChimeNO")->caption, QStringLiteral(" 曲番号"));
        QCOMPARE(change(ProgramLists::SetSpecialGridColumns(Scratch::document(), 3), "終了時刻")->caption, QStringLiteral(" 終了時刻"));
        // A repeat circuit has no special programs: only the ID columns go.
        const GridColumns repeat = ProgramLists::SetSpecialGridColumns(Scratch::document(), 4);
        QCOMPARE(repeat.grid, GridColumns::Grid::Show);
        QCOMPARE(repeat.changes.size(), 2);
    }

    // A program reuses the rows there: an identical chime its row (another tune is another program), a changed group
    // its own rows, even at the capacity.
    void programsReuseRows()
    {
        addWeekRow(2, 0, 2, 0, 8, 0, 15, 0, 0, 0, 3);
        WriteTimeProgram(Scratch::document(), request(2, 2), TypeChime, {8, 0, 15, 3});
        WriteTimeProgram(Scratch::document(), request(2, 2), TypeChime, {8, 0, 15, 4});
        QCOMPARE(rows("ChimeNO", "CircuitNO = 2"), QStringLiteral("3, 4"));

        addOnDays(2, {0, 1, 2, 3, 4, 5, 6}, 9, 0, 0, 1);
        fillWeekTo(900);
        EntryJob edit = request(2, 8);
        edit.EditMode = EntryJob::Mode::Change;
        edit.row.ChimeNO = 1;
        edit.row.TimeONH = 9;
        QCOMPARE(WriteTimeProgram(Scratch::document(), edit, TypeChime, {10, 15, 0, 2}), WriteResult::Written);
        QCOMPARE(rows("YobiON", "CircuitNO = 2 AND TimeONH = 10 AND TimeONM = 15 AND ChimeNO = 2"),
                 QStringLiteral("0, 1, 2, 3, 4, 5, 6"));
        QCOMPARE(WeekRowCount(Scratch::document()), 900);
    }

    // The capacity is checked once for the rows a program adds: a row the program reuses (Wednesday's 6:00 below)
    // does not count. A refusal leaves even the reused row alone; a written program renumbers the rows.
    void capacityCountsTheRowsAdded_data()
    {
        QTest::addColumn<bool>("wednesday"); QTest::addColumn<int>("stored"); QTest::addColumn<int>("day");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("days");  // of circuit 1 afterwards
        QTest::newRow("895 + 平日") << false << 895 << 7 << true << "1, 2, 3, 4, 5";
        QTest::newRow("899 + one day") << false << 899 << 2 << true << "2";
        QTest::newRow("896 + 平日 reusing a row") << true << 896 << 7 << true << "1, 2, 3, 4, 5";
        QTest::newRow("897 + 平日 reusing a row") << true << 897 << 7 << false << "3";
    }
    void capacityCountsTheRowsAdded()
    {
        QFETCH(bool, wednesday); QFETCH(int, stored); QFETCH(int, day); QFETCH(bool, written); QFETCH(QString, days);
        if (wednesday)
            addWeekRow(1, 0, 3, 0, 6, 0, 0);
        fillWeekTo(stored);
        QCOMPARE(WriteTimeProgram(Scratch::document(), request(1, day), TypeTimeSignal, {6, 0, 0, 0}),
                 written ? WriteResult::Written : WriteResult::Refused);
        QCOMPARE(WeekRowCount(Scratch::document()), written ? 900 : stored);
        QCOMPARE(count("SELECT MAX(ID) FROM T_Week"), written ? 900 : 0);
        QCOMPARE(rows("YobiON", "CircuitNO = 1"), days);
    }

    // Bells from a timetable (refusals: see the bells command). Circuit 2 holds Monday 9:00 (tune 5) and Tuesday
    // 12:00:30, which holds no whole minute, beforehand; rows read "special/day h:mm tune"; counts are "added
    // skipped", or "needed remaining" when over capacity.
    void bellsFromTimetable_data()
    {
        QTest::addColumn<int>("circuit"); QTest::addColumn<QString>("target"); QTest::addColumn<QString>("periods");
        QTest::addColumn<int>("preBell"); QTest::addColumn<QString>("tunes"); QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("counts"); QTest::addColumn<QString>("rows");
        QTest::newRow("collisions") << 2 << "月" << "8:50-9:00,9:00-9:10,9:20-9:30,9:40-9:50" << 10 << "2,3,4" << 0 << "7 1"
            << "0/1 8:40 4, 0/1 8:50 2, 0/1 9:00 5, 0/1 9:10 4, 0/1 9:20 2, 0/1 9:30 4, 0/1 9:40 2, 0/1 9:50 3";
        QTest::newRow("毎日 from 0:00, pre-bell before it") << 2 << "毎日" << "0:00-0:10" << 10 << "" << 0 << "14 0"
            << "0/0 0:00 1, 0/0 0:10 1, 0/1 0:00 1, 0/1 0:10 1, 0/1 9:00 5, 0/2 0:00 1, 0/2 0:10 1, 0/3 0:00 1, "
               "0/3 0:10 1, 0/4 0:00 1, 0/4 0:10 1, 0/5 0:00 1, 0/5 0:10 1, 0/6 0:00 1, 0/6 0:10 1";
        QTest::newRow("next to 12:00:30") << 2 << "火" << "11:10-12:00" << 0 << "" << 0 << "2 0"
            << "0/1 9:00 5, 0/2 11:10 1, 0/2 12:00 1";
        QTest::newRow("報時 平日") << 1 << "平日" << "9:00-9:10" << 0 << "" << 0 << "10 0"
            << "0/1 9:00 0, 0/1 9:10 0, 0/2 9:00 0, 0/2 9:10 0, 0/3 9:00 0, 0/3 9:10 0, 0/4 9:00 0, 0/4 9:10 0, "
               "0/5 9:00 0, 0/5 9:10 0";
        QTest::newRow("special") << 2 << "P03" << "12:00-12:30" << 5 << "7,6,5" << 0 << "3 0"
            << "0/1 9:00 5, 3/0 11:55 5, 3/0 12:00 7, 3/0 12:30 6";
        QTest::newRow("900 fits") << 2 << "火" << "10:00-10:50" << 0 << "" << 898 << "2 0"
            << "0/1 9:00 5, 0/2 10:00 1, 0/2 10:50 1";
        QTest::newRow("901 refused") << 2 << "火" << "10:00-10:50" << 0 << "" << 899 << "2 1" << "0/1 9:00 5";
    }
    void bellsFromTimetable()
    {
        QFETCH(int, circuit); QFETCH(QString, target); QFETCH(QString, periods); QFETCH(int, preBell);
        QFETCH(QString, tunes); QFETCH(int, stored); QFETCH(QString, counts); QFETCH(QString, rows);
        addWeekRow(2, 0, 1, 0, 9, 0, 0, 0, 0, 0, 5);
        addWeekRow(2, 0, 2, 0, 12, 0, 30, 0, 0, 0, 6);
        fillWeekTo(stored);
        Bells::Request request{circuit, *Bells::parseTarget(target), *Bells::parsePeriods(periods), preBell, {}};
        if (!tunes.isEmpty())
            request.tunes = Bells::Tunes{tunes[0].digitValue(), tunes[2].digitValue(), tunes[4].digitValue()};
        const Bells::Result result = Bells::AddBells(Scratch::document(), request);
        const bool added = result.outcome == Bells::Outcome::Added;
        QCOMPARE(QString("%1 %2").arg(added ? result.added : result.needed).arg(added ? result.skipped : result.remaining),
                 counts);
        QCOMPARE(Scratch::scalar("SELECT group_concat(r, ', ') FROM (SELECT printf('%d/%d %d:%02d %d', SpecialNO, "
                                      "YobiON, TimeONH, TimeONM, ChimeNO) AS r FROM T_Week WHERE CircuitNO = ? AND "
                                      "TimeONS = 0 ORDER BY SpecialNO, YobiON, TimeONH, TimeONM)", {circuit}).toString(),
                 rows);
        QCOMPARE(count("SELECT MAX(ID) FROM T_Week"), added ? WeekRowCount(Scratch::document()) : 0);
    }

    // A timetable typed or pasted whole: its periods, or why it is none.
    void typedTimetables_data()
    {
        QTest::addColumn<QString>("text"); QTest::addColumn<QString>("read");
        QTest::newRow("full-width, 、") << "８：５０－９：４０、９：５０〜１０：４０，10:50～11:40" << "8:50-9:40,9:50-10:40,10:50-11:40";
        QTest::newRow("blanks") << " 8:50 - 9:40　9:50‐10:40  10:50−11:40 " << "8:50-9:40,9:50-10:40,10:50-11:40";
        QTest::newRow("a column") << "8:50-9:40\n9:50~10:40\n" << "8:50-9:40,9:50-10:40";
        QTest::newRow("two columns, CR LF") << "8:50\t9:40\r\n9:50\t10:40\r\n" << "8:50-9:40,9:50-10:40";
        QTest::newRow("empty") << " \r\n" << "時程を入力してください。";
        QTest::newRow("odd") << "8:50-9:40,9:50" << "2時限目の終了時刻がありません。";
        QTest::newRow("start, end on two lines") << "8:50\r9:40" << "1時限目の開始と終了は「-」でつないでください。";
        QTest::newRow("start, end") << "8:50-9:40,9:50,10:40" << "2時限目の開始と終了は「-」でつないでください。";
        QTest::newRow("two marks") << "8:50-9:40-10:40-11:30" << "1時限目の後の「-」が余分です。";
        QTest::newRow("doubled mark") << "9:00--9:50" << "1時限目の開始と終了は「-」でつないでください。";
        QTest::newRow("trailing mark") << "8:50-9:40-" << "1時限目の後の「-」が余分です。";
        QTest::newRow("24:00") << "8:50-9:40,23:10-24:00" << "2時限目の終了時刻「24:00」は 0:00～23:59 の H:MM で入力してください。";
        QTest::newRow("word") << "8:50-9:40、9時50分" << "「時」は時程に使えない文字です。";
        QTest::newRow("out of order") << "8:50-9:40,10:50-11:40,9:50-10:40" << "3時限目の時刻が重なっているか、時刻順になっていません。";
        QTest::newRow("past midnight") << "22:00-22:50,23:30-0:20" << "2時限目の終了が開始より前です。0:00をまたぐ時限は設定できません。";
    }
    void typedTimetables()
    {
        QFETCH(QString, text); QFETCH(QString, read);
        const Bells::TypedTimetable typed = Bells::parseTimetableText(text);
        QStringList periods;
        for (const Bells::Period& period : typed.periods)
            periods << Bells::timeText(period.start) + '-' + Bells::timeText(period.end);
        QCOMPARE(typed.error.isEmpty() ? periods.join(',') : typed.error, read);
    }

    // A group timer ends the next day past midnight, and rows it reuses follow that rule; a single day keeps the end
    // day chosen (an identical program is rewritten); a special program has no days.
    void timerEndDays()
    {
        QCOMPARE(WriteTimerProgram(Scratch::document(), request(3, 8), {22, 0, 6, 0, 0, 0}), WriteResult::Written);
        QCOMPARE(rows("YobiON || '-' || YobiOFF", "CircuitNO = 3"),
                 QStringLiteral("0-1, 1-2, 2-3, 3-4, 4-5, 5-6, 6-0"));
        QCOMPARE(std::pair(GroupEndDay(3, 8, 0, 8, 0), GroupEndDay(3, 9, 0, 17, 0)), std::pair(3, 3));
        EntryJob special = request(3, 0, 2);
        special.row.SpecialNO = 4;
        WriteTimerProgram(Scratch::document(), special, {22, 0, 2, 0, 0, 5});
        QCOMPARE(rows("YobiON || '-' || YobiOFF", "SpecialNO = 4"), QStringLiteral("0-0"));

        addWeekRow(4, 0, 3, 3, 23, 0, 0, 1, 0, 15);
        WriteTimerProgram(Scratch::document(), request(4, 7), {23, 0, 1, 0, 15, 0});
        QCOMPARE(rows("YobiON || '-' || YobiOFF", "CircuitNO = 4"), QStringLiteral("1-2, 2-3, 3-4, 4-5, 5-6"));
        WriteTimerProgram(Scratch::document(), request(4, 6), {22, 0, 2, 0, 30, 0});
        WriteTimerProgram(Scratch::document(), request(4, 6), {22, 0, 2, 0, 30, 0});
        // Changing the group to a same-day period rewrites every end day.
        EntryJob edit = request(4, 7);
        edit.EditMode = EntryJob::Mode::Change;
        edit.row.Repeat = 15;
        edit.row.TimeONH = 23;
        edit.row.TimeOFFH = 1;
        WriteTimerProgram(Scratch::document(), edit, {8, 0, 17, 0, 10, 0});
        QCOMPARE(rows("YobiON || '-' || YobiOFF || ' ' || Repeat", "CircuitNO = 4"),
                 QStringLiteral("1-1 10, 2-2 10, 3-3 10, 4-4 10, 5-5 10, 6-0 30"));
    }

    // Copies keep their tunes; a target time already there keeps its own. A day is offered as a source to the other
    // days, a special number to the other numbers.
    void copying()
    {
        addRows({{2, 0, 1, 0, 12, 0, 0, 0, 0, 0, 2}, {2, 0, 1, 0, 13, 0, 0, 0, 0, 0, 4},
                 {2, 0, 2, 0, 12, 0, 0, 0, 0, 0, 5}});
        QCOMPARE(CopyPrograms(Scratch::document(), 2, {false, 1}, {2, 0}).added, 1);
        QCOMPARE(rows("TimeONH || ' ' || ChimeNO", "SpecialNO = 0 AND YobiON = 2"), QStringLiteral("12 5, 13 4"));
        QCOMPARE(CopyPrograms(Scratch::document(), 2, {false, 1}, {2, 0}).added, 0);
        // A special number takes the programs of a day.
        QCOMPARE(CopyPrograms(Scratch::document(), 2, {false, 1}, {0, 7}).added, 2);
        QCOMPARE(rows("TimeONH || ' ' || ChimeNO", "SpecialNO = 7 AND YobiON = 0"), QStringLiteral("12 2, 13 4"));

        addRows({{1, 0, 1, 0, 1, 0, 0}, {1, 0, 3, 0, 1, 0, 0}, {1, 4, 0, 0, 1, 0, 0}, {1, 6, 0, 0, 1, 0, 0}});
        QCOMPARE(CopySourceDays(Scratch::document(), 1, 3), QList<int>{1});
        QCOMPARE(CopySourceDays(Scratch::document(), 1, -1), (QList<int>{1, 3}));
        QCOMPARE(CopySourceSpecials(Scratch::document(), 1, 4), QList<int>{6});
    }

    void opening()
    {
        auto* circuits = child<QComboBox>(m_week, "Combo_Circuit");
        QCOMPARE(std::tuple(circuits->count(), circuits->itemText(4), circuits->currentIndex()),
                 std::tuple(5, QString("6"), -1));
        QCOMPARE(child<QComboBox>(m_week, "Combo_Yobi")->itemText(8), QStringLiteral("毎日"));
        QVERIFY(child(m_week, "DataGrid1")->isHidden());
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("0 900"));
        QVERIFY(!child(m_week, "Button_Bells")->isEnabled());

        // The type and pulse follow the circuit, the columns the type and the view; copy is for time-signal and chime
        // circuits, single days only, and follows both boxes.
        const std::initializer_list<std::tuple<int, int, const char*, const char*>> cases{
            {1, -1, "報時 5秒 コピー", " 時 刻"},
            {2, 1, "チャイム 10秒 コピー 時程", " 時 刻| 曲番号"},
            {2, 7, "チャイム 10秒 時程", " 時 刻| 曲番号"},
            {2, 6, "チャイム 10秒 コピー 時程", " 時 刻| 曲番号"},
            {2, 8, "チャイム 10秒 時程", " 時 刻| 曲番号"},
            {1, 8, "報時 5秒 時程", " 時 刻"},
            {1, 0, "報時 5秒 コピー 時程", " 時 刻"},
            {3, 1, "タイマ 0秒", " 開始曜日| 開始時刻| 終了曜日| 終了時刻"},
            {3, 7, "タイマ 0秒", " 開始時刻| 終了時刻"},
            {6, 7, "繰返し 3秒", "繰返し間隔(分)| 開始時刻| 終了時刻"},
            {6, 0, "繰返し 3秒", "繰返し間隔(分)| 開始曜日| 開始時刻| 終了曜日| 終了時刻"},
            {1, 0, "報時 5秒 コピー 時程", " 時 刻"}};
        for (auto [circuit, day, labels, captions] : cases) {
            choose(circuit, day);
            QString shown = child<QLabel>(m_week, "Label_Mode")->text() + QLatin1Char(' ') +
                            child<QLabel>(m_week, "Label_Pulse")->text();
            if (child(m_week, "Button_Copy")->isEnabled())
                shown += QStringLiteral(" コピー");
            if (child(m_week, "Button_Bells")->isEnabled())
                shown += QStringLiteral(" 時程");
            QCOMPARE(shown, QString::fromUtf8(labels));
            QCOMPARE(headers(Qt::Horizontal), QString::fromUtf8(captions));
        }
        QVERIFY(!grid()->isHidden());
    }

    void newWeekdayChimeThroughTheDialog()
    {
        choose(2, 7);
        click(m_week, "Button_New");
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second", "Text_Chime"}), QStringLiteral("0,00,00,1"));
        type("Text_Hour", QStringLiteral("１２"));  // full-width digits
        type("Text_Minute", QStringLiteral("30"));
        type("Text_Chime", QStringLiteral("3"));
        click(dialog(), "Button_OK");
        QCOMPARE(rows("YobiON", "CircuitNO = 2 AND TimeONH = 12 AND TimeONM = 30 AND ChimeNO = 3"),
                 QStringLiteral("1, 2, 3, 4, 5"));
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("1 895"));

        // Edit the listed program: the dialog shows it, the change moves all five rows.
        grid()->selectRow(0);
        click(m_week, "Button_Edit");
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second", "Text_Chime"}), QStringLiteral("12,30,00,3"));
        type("Text_Minute", QStringLiteral("45"));
        click(dialog(), "Button_OK");
        QCOMPARE(rows("TimeONM", "TRUE"), QStringLiteral("45, 45, 45, 45, 45"));  // every row

        // A program that would pass the capacity writes nothing.
        fillWeekTo(896);
        choose(1, 7);
        click(m_week, "Button_New");
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|設定可能数900を超えてしまうため作成できません。")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QCOMPARE(WeekRowCount(Scratch::document()), 896);
        QVERIFY(dialog()->isHidden());
    }

    // Deleting from the 平日 view takes the five weekdays; deleting one day of
    // them takes the program out of the 平日 view too.
    void deleting()
    {
        addOnDays(2, {0, 1, 2, 3, 4, 5, 6}, 7, 30, 5, 3);
        RenumberTable(Scratch::document(), "T_Week");
        deleteFirstRow(2, 7, QMessageBox::Yes);
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("週間プログラム|削除しますか？")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Question);
        QCOMPARE(MessageBox::lastShown().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("0 898"));
        // Ctrl+Z brings the row back into the grid and the count, Ctrl+Y takes it again; a modal dialog holds both.
        auto* undo = child<QPushButton>(m_week, "Button_Undo");
        QCOMPARE(undo->toolTip(), QStringLiteral("元に戻す: 週間プログラムの削除（回路2）"));
        activate(m_week);
        QTest::keyClick(m_week, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("1 893"));
        QDialog modal(m_week);
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        QVERIFY(!undo->isEnabled() && !child<QPushButton>(m_week, "Button_Redo")->isEnabled());
        modal.hide();
        QTest::keyClick(m_week, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("0 898"));
        deleteFirstRow(2, 6, QMessageBox::No);
        QCOMPARE(WeekRowCount(Scratch::document()), 2);
        deleteFirstRow(2, 6, QMessageBox::Yes);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE YobiON = 0"), 1);
        QCOMPARE(grid()->rowCount(), 0);

        addOnDays(2, {1, 2, 3, 4, 5}, 7, 30, 5, 3);
        RenumberTable(Scratch::document(), "T_Week");
        deleteFirstRow(2, 3, QMessageBox::Yes);
        choose(2, 1);
        grid()->selectRow(0);
        QCOMPARE(grid()->selectedText(QStringLiteral(" 時 刻")), QStringLiteral(" 7:30.05"));

        // 全削除 takes the circuit's week programs, not its special ones.
        addRows({{1, 0, 1, 0, 8, 0, 0}, {1, 0, 3, 0, 9, 0, 0}, {1, 2, 0, 0, 8, 0, 0}});
        choose(1, 1);
        MessageBox::clearShown();
        click(m_week, "Button_AllDelete");  // default answer No
        QCOMPARE(MessageBox::lastShown().defaultButton, QMessageBox::No);
        QCOMPARE(WeekRowCount(Scratch::document()), 8);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(m_week, "Button_AllDelete");
        const QString ask = QStringLiteral("週間プログラム|回路No.1 の週間プログラムをすべて削除しますか？");
        QCOMPARE(shownMessages(), (QStringList{ask, ask, "週間プログラム|回路No.1 の週間プログラムをすべて削除しました。"}));
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Information);
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("0 894"));
    }

    // Copy asks for a circuit and a day first; the source starts unchosen,
    // so OK asks for a day instead of copying 日.
    void copyADay()
    {
        click(m_week, "Button_Copy");
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QCOMPARE(m_week->focusWidget(), child(m_week, "Combo_Circuit"));
        choose(1, -1);
        click(m_week, "Button_Copy");
        QCOMPARE(m_week->focusWidget(), child(m_week, "Combo_Yobi"));
        QVERIFY(!m_dialog);
        addRows({{1, 0, 1, 0, 8, 0, 0}, {1, 0, 1, 0, 9, 0, 0}});
        choose(1, 2);
        click(m_week, "Button_Copy");
        auto* source = child<QComboBox>(dialog(), "Combo_SendYobi");
        QCOMPARE(source->count(), 1);
        QCOMPARE(child<QLabel>(dialog(), "Label_ReceiveYobi")->text(), QStringLiteral("火曜日"));
        QVERIFY(!child(dialog(), "Option_Copy_1")->isEnabled());
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(), (QStringList{"週間プログラム|回路が選択されていません",
                                               "週間プログラム|曜日が選択されていません", "コピー|曜日が選択されていません"}));
        QVERIFY(dialog()->isVisible());
        source->setCurrentIndex(0);
        click(dialog(), "Button_OK");
        QCOMPARE(gridRowsAndRemaining(), QStringLiteral("2 896"));

        // Near the capacity a copy stops at the first row that does not fit.
        fillWeekTo(899);
        MessageBox::clearShown();
        for (int day : {3, 4}) {
            choose(1, day);
            click(m_week, "Button_Copy");
            child<QComboBox>(dialog(), "Combo_SendYobi")->setCurrentIndex(0);
            click(dialog(), "Button_OK");
        }
        QCOMPARE(shownMessages(),
                 (QStringList{"入力エラー|設定可能数900を超えているためコピーできないデータがありました。",
                              "入力エラー|設定可能数900を超えているためコピーできませんでした。"}));
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QVERIFY(dialog()->isHidden());
        QCOMPARE(WeekRowCount(Scratch::document()), 900);
    }

    void copyToSpecialOffersEveryDay()
    {
        addRows({{2, 0, 3, 0, 8, 0, 0, 0, 0, 0, 1}, {2, 4, 0, 0, 8, 0, 0, 0, 0, 0, 1}});
        // Circuit 2, special number 5; the day given along (3) is no reason to leave a day out.
        Form_Copy copy(Scratch::history(), 2, CopyTarget{3, 5});
        QCOMPARE(child<QComboBox>(&copy, "Combo_SendYobi")->itemText(0), QStringLiteral("水"));
        QCOMPARE(child<QLabel>(&copy, "Label_ReceiveYobi")->text(), QStringLiteral("特殊番号 5"));
        child<QRadioButton>(&copy, "Option_Copy_1")->setChecked(true);
        QCOMPARE(child<QLabel>(&copy, "Label_Copy")->text(), QStringLiteral("特殊番号"));
        QCOMPARE(child<QComboBox>(&copy, "Combo_SendYobi")->itemText(0), QStringLiteral("4"));
        child<QComboBox>(&copy, "Combo_SendYobi")->setCurrentIndex(0);
        click(&copy, "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE SpecialNO = 5"), 1);
    }

    // 時程から作成 on the chosen day, circuit 2 holding Monday 9:40 (tune 5): the preview marks it 既存, OK adds the
    // rest in one change and the list follows; over the capacity nothing is added. The timetable is quick-filled or
    // typed whole (then its last end corrected in the grid; Return is Enter in the box). The next window offers the
    // same timetable and tunes. Rows read "time tune days".
    void bellsFromTheWeekList_data()
    {
        QTest::addColumn<int>("day"); QTest::addColumn<int>("stored"); QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("preview"); QTest::addColumn<QString>("count"); QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("rows"); QTest::addColumn<QString>("list");
        const QString monday = " 8:45  予鈴  曲4  新規| 8:50  開始  曲3  新規| 9:40  終了  曲2  既存| 9:45  予鈴  曲4  新規| "
                               "9:50  開始  曲3  新規|10:40  終了  曲2  新規";
        const QString weekdays = QString(monday).replace("2  既存", "2  新規（1日は既存）");
        const QString weekdayRows = "8:45 4 12345, 8:50 3 12345, 9:40 2 2345, 9:40 5 1, 9:45 4 12345, 9:50 3 12345, "
                                    "10:40 2 12345";
        for (const char* button : {"Button_OK", "Return"})
            QTest::newRow(button) << 7 << 1 << button << weekdays << "追加: 29　既存のため追加せず: 1　ﾌﾟﾛｸﾞﾗﾑ残量数: 899"
                << "" << weekdayRows << "5 870";
        QTest::newRow("キャンセル") << 1 << 1 << "Button_Cancel" << monday << "追加: 5　既存のため追加せず: 1　ﾌﾟﾛｸﾞﾗﾑ残量数: 899"
            << "" << "9:40 5 1" << "1 899";
        QTest::newRow("over") << 7 << 880 << "Button_OK" << weekdays
            << "追加: 29　既存のため追加せず: 1　ﾌﾟﾛｸﾞﾗﾑ残量数: 20\n（設定可能数900を超えるため追加できません）"
            << "入力エラー|設定可能数900を超えてしまうため追加できません。\r\n必要な数: 29　ﾌﾟﾛｸﾞﾗﾑ残量数: 20"
            << "9:40 5 1" << "0 20";
    }
    void bellsFromTheWeekList()
    {
        QFETCH(int, day); QFETCH(int, stored); QFETCH(QString, button); QFETCH(QString, preview); QFETCH(QString, count);
        QFETCH(QString, message); QFETCH(QString, rows); QFETCH(QString, list);
        addWeekRow(2, 0, 1, 0, 9, 40, 0, 0, 0, 0, 5);
        fillWeekTo(stored);
        choose(2, day);
        click(m_week, "Button_Bells");
        type("Text_PeriodCount", "2");
        type("Text_LunchAfter", "0");
        auto* periods = child<QTableWidget>(dialog(), "Grid_Periods");
        if (button == "Return") {
            periods->setRowCount(0);  // as an earlier window left it
            type("Text_Timetable", "８：５０～９：４０、９：５０～10:30");
            QVERIFY2(periods->item(1, 1), "the typed timetable was not read");
            periods->item(1, 1)->setText("10:40");
        } else {
            click(dialog(), "Button_Fill");
        }
        type("Text_PreBell", "5");
        child<QComboBox>(dialog(), "Combo_StartTune")->setCurrentIndex(2);
        child<QComboBox>(dialog(), "Combo_EndTune")->setCurrentIndex(1);
        child<QComboBox>(dialog(), "Combo_PreBellTune")->setCurrentIndex(3);
        QStringList lines;
        for (int row = 0; row < child<QListWidget>(dialog(), "List_Preview")->count(); ++row)
            lines << child<QListWidget>(dialog(), "List_Preview")->item(row)->text();
        QCOMPARE(lines.join('|'), preview);
        QCOMPARE(child<QLabel>(dialog(), "Label_PreviewCount")->text(), count);
        // The capacity note going (no 予鈴: 19 fit) moves nothing.
        QCoreApplication::processEvents();
        const QRect listAt = child(dialog(), "List_Preview")->geometry();
        type("Text_PreBell", "");
        QCoreApplication::processEvents();
        QCOMPARE(child(dialog(), "List_Preview")->geometry(), listAt);
        type("Text_PreBell", "5");
        QSignalSpy changes(&Scratch::document(), &ScheduleDocument::changed);
        MessageBox::clearShown();
        Scratch::history().clear();
        if (button == "Return")
            QTest::keyClick(child(dialog(), "Text_Timetable"), Qt::Key_Return);
        else
            click(dialog(), qPrintable(button));
        QCOMPARE(shownMessages(), message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY(message.isEmpty() || MessageBox::lastShown().icon == MessageBox::Icon::Critical);
        QCOMPARE(changes.count(), button != "Button_Cancel" && message.isEmpty() ? 1 : 0);
        QCOMPARE(Scratch::history().undoText(), changes.isEmpty() ? "" : "時程から作成（回路2・平日）");
        QCOMPARE(dialog()->isVisible(), !message.isEmpty());
        QCOMPARE(Scratch::scalar("SELECT group_concat(r, ', ') FROM (SELECT TimeONH || ':' || printf('%02d', TimeONM)"
                                      " || ' ' || ChimeNO || ' ' || group_concat(YobiON, '') AS r FROM T_Week WHERE "
                                      "CircuitNO = 2 GROUP BY TimeONH, TimeONM, ChimeNO)").toString(), rows);
        QCOMPARE(gridRowsAndRemaining(), list);
        click(dialog(), "Button_Cancel");
        click(m_week, "Button_Bells");
        periods = child<QTableWidget>(dialog(), "Grid_Periods");
        QStringList offered{periodsOffered(dialog())};
        for (const char* tune : {"Combo_StartTune", "Combo_EndTune", "Combo_PreBellTune"})
            offered << child<QComboBox>(dialog(), tune)->currentText();
        QCOMPARE(offered.join(',') + ' ' + texts({"Text_PreBell", "Text_PeriodCount"}),
                 QStringLiteral("8:50-9:40,9:50-10:40,3,2,4 5,2"));
        // The tab order follows the layout; 行追加 brings the new row into view.
        QStringList order;
        for (QWidget* next = child(dialog(), "Text_PreBell")->nextInFocusChain(); order.size() < 3;
             next = next->nextInFocusChain())
            if (next->focusPolicy() & Qt::TabFocus && next->isVisibleTo(dialog()))
                order << next->objectName();
        QCOMPARE(order.join(','), QStringLiteral("Combo_StartTune,Button_Play_0,Combo_EndTune"));
        while (periods->rowCount() < 15)
            click(dialog(), "Button_AddRow");
        QVERIFY(periods->viewport()->rect().contains(periods->visualItemRect(periods->item(14, 0))));
    }

    // Each day choice and special number is offered the timetable it was last given; one never used starts empty.
    void bellsRememberedByTarget()
    {
        const auto offer = [](Bells::Target target, const QString& typed = QString()) {
            Form_Bells bells(Scratch::history(), 2, target);
            const QString offered = periodsOffered(&bells);
            if (!typed.isEmpty())
                child<QLineEdit>(&bells, "Text_Timetable")->setText(typed);
            bells.reject();
            return offered;
        };
        offer({Days::Weekdays, 0}, "8:50-9:40,9:50-10:40");
        offer({0, 3}, "12:00-12:30");
        QCOMPARE(QStringList({offer({Days::Weekdays, 0}), offer({0, 0}), offer({6, 0}), offer({0, 3})}),
                 QStringList({"8:50-9:40,9:50-10:40", "", "", "12:00-12:30"}));
    }

    // The window's refusals, each said once, with nothing written: "box=text" and "row,column=text" typed over a
    // quick-filled timetable ("rows=0" empties it), then a button clicked, the focus moved on or the events run.
    void bellsRefusals_data()
    {
        QTest::addColumn<QStringList>("entries"); QTest::addColumn<QString>("action"); QTest::addColumn<QString>("message");
        const QString badTime = "入力エラー|入力した値が不正です。\r\n0:00～23:59の時刻を設定してください。";
        QTest::newRow("first start") << QStringList{"Text_FirstStart=24:00"} << "Button_Fill" << badTime;
        QTest::newRow("past midnight") << QStringList{"Text_FirstStart=23:00", "Text_PeriodCount=2"} << "Button_Fill"
            << "入力エラー|最後の時限が23:59を過ぎてしまいます。";
        QTest::newRow("ending at 24:00") << QStringList{"Text_FirstStart=23:10", "Text_PeriodLength=50", "Text_PeriodCount=1"}
            << "Button_Fill" << "入力エラー|最後の時限が23:59を過ぎてしまいます。";
        QTest::newRow("21 periods") << QStringList{"Text_PeriodCount=21"} << "Button_Fill"
            << "入力エラー|入力した値が不正です。\r\n1～20の値を設定してください。";
        QTest::newRow("50.5 minutes") << QStringList{"Text_PeriodLength=50.5"} << "Button_Fill"
            << "入力エラー|入力した値が不正です。\r\n1～180の値を設定してください。";
        QTest::newRow("pre-bell left") << QStringList{"Text_PreBell=60"} << "leave"
            << "入力エラー|入力した値が不正です。\r\n0～59の値を設定してください。";
        QTest::newRow("pre-bell 5.5") << QStringList{"Text_PreBell=5.5"} << "Button_OK"
            << "入力エラー|入力した値が不正です。\r\n0～59の値を設定してください。";
        QTest::newRow("period over midnight") << QStringList{"1,0=23:30", "1,1=0:20"} << "Button_OK"
            << "入力エラー|2時限目の終了が開始より前です。\r\n0:00をまたぐ時限は設定できません。";
        QTest::newRow("cell") << QStringList{"1,1=9:5"} << "" << badTime;
        QTest::newRow("overlap") << QStringList{"1,0=9:00"} << "Button_OK" << "入力エラー|時限の時刻が重なっているか、"
            "時刻順になっていません。\r\n各時限は開始より後に終わり、前の時限の終了以降に始まるように入力してください。";
        QTest::newRow("no periods") << QStringList{"rows=0"} << "Button_OK" << "入力エラー|時限を入力してください。";
        QTest::newRow("typed, odd") << QStringList{"Text_Timetable=8:50-9:40,9:50"} << "Button_OK"
            << "入力エラー|2時限目の終了時刻がありません。";
        // Past the 32,767 characters a line edit keeps by default: read whole, not cut after the first period.
        QTest::newRow("pasted, long") << QStringList{"Text_Timetable=8:50-9:40," + QString(40000, ' ') + "9:50-1"}
            << "Button_OK" << "入力エラー|2時限目の終了時刻「1」は 0:00～23:59 の H:MM で入力してください。";
    }
    void bellsRefusals()
    {
        QFETCH(QStringList, entries); QFETCH(QString, action); QFETCH(QString, message);
        choose(2, 1);
        click(m_week, "Button_Bells");
        activate(dialog());
        click(dialog(), "Button_Fill");
        auto* periods = child<QTableWidget>(dialog(), "Grid_Periods");
        MessageBox::clearShown();
        for (const QString& entry : entries) {
            const QString where = entry.section('=', 0, 0), text = entry.section('=', 1);
            if (where == "rows")
                periods->setRowCount(0);
            else if (where.contains(','))
                periods->item(where.section(',', 0, 0).toInt(), where.section(',', 1).toInt())->setText(text);
            else
                type(qPrintable(where), text);
        }
        if (action == "leave") {
            child(dialog(), entries.last().section('=', 0, 0))->setFocus();
            periods->setFocus();
        } else if (!action.isEmpty()) {
            click(dialog(), qPrintable(action));
        }
        QCoreApplication::processEvents();
        QCOMPARE(shownMessages(), QStringList{message});
        QVERIFY(dialog()->isVisible());
        QCOMPARE(WeekRowCount(Scratch::document()), 0);
    }

    // New and edit hand the dialog a job of the chosen circuit and day, the
    // chosen row's values for edit, nothing else.
    void requestByType()
    {
        addRows({{1, 0, 3, 0, 8, 5, 0}, {2, 0, 1, 0, 8, 5, 30, 0, 0, 0, 4}, {3, 0, 5, 6, 22, 0, 0, 6, 0},
                 {6, 0, 2, 2, 9, 0, 0, 17, 30, 15}});
        for (int day = 0; day <= 6; ++day)
            addWeekRow(3, 0, day, (day + 1) % 7, 23, 0, 0, 5, 45);
        RenumberTable(Scratch::document(), "T_Week");
        // The dialog's class and the job's fields in declaration order.
        QStringList opened;
        ModalDialogs::setRunner([&opened](QDialog* dialog) {
            const EntryJob& r = jobOf(dialog);
            opened << QLatin1String(dialog->metaObject()->className()) +
                          QString::asprintf("|%d,%d,%d,%d,%d,%d,%d,%d,%d:%d:%d,%d:%d,%d", r.row.ID, r.isChange() ? -1 : 0,
                                            r.row.CircuitNO, r.row.SpecialNO, r.row.Repeat, r.row.ChimeNO,
                                            r.row.YobiON, r.row.YobiOFF, r.row.TimeONH, r.row.TimeONM,
                                            r.row.TimeONS, r.row.TimeOFFH, r.row.TimeOFFM, r.fromWeekList() ? 1 : 2);
            delete dialog;
        });
        const auto press = [this, &opened](const char* button, int circuit, int day) {
            choose(circuit, day);  // the list starts on its first row
            click(m_week, button);
            return opened.isEmpty() ? QString() : opened.takeLast();
        };
        const auto id = [](const char* where) {
            return QString::number(count(QStringLiteral("SELECT ID FROM T_Week WHERE ") + QLatin1String(where)));
        };
        QCOMPARE(press("Button_New", 1, 0), QStringLiteral("Form_EditTime|0,0,1,0,0,0,0,0,0:0:0,0:0,1"));
        QCOMPARE(press("Button_New", 6, 7), QStringLiteral("Form_EditTimeTimer|0,0,6,0,0,0,7,7,0:0:0,0:0,1"));
        QCOMPARE(press("Button_New", 2, -1), QString());
        QCOMPARE(press("Button_Edit", 1, 3), "Form_EditTime|" + id("CircuitNO = 1") + ",-1,1,0,0,0,3,0,8:5:0,0:0,1");
        QCOMPARE(press("Button_Edit", 2, 1), "Form_EditTime|" + id("CircuitNO = 2") + ",-1,2,0,0,4,1,0,8:5:30,0:0,1");
        QCOMPARE(press("Button_Edit", 3, 5),
                 "Form_EditTimeTimer|" + id("CircuitNO = 3 AND YobiON = 5 AND TimeONH = 22") +
                     ",-1,3,0,0,0,5,6,22:0:0,6:0,1");
        QCOMPARE(press("Button_Edit", 6, 2),
                 "Form_EditTimeTimer|" + id("CircuitNO = 6") + ",-1,6,0,15,0,2,2,9:0:0,17:30,1");
        // A group row stands for several rows: no ID.
        QCOMPARE(press("Button_Edit", 3, 8), QStringLiteral("Form_EditTimeTimer|0,-1,3,0,0,0,8,0,23:0:0,5:45,1"));
        QCOMPARE(press("Button_Edit", 1, 0), QString());  // no row to edit
        // A row gone since the list was read is no row to edit either.
        choose(1, 3);
        {
            const QSignalBlocker quiet(Scratch::document());
            Scratch::exec("DELETE FROM T_Week WHERE CircuitNO = 1");
        }
        QCOMPARE(grid()->rowCount(), 1);
        click(m_week, "Button_Edit");
        QCOMPARE(opened, QStringList());
    }

    // A group row stands for its rows as stored, with the columns its list
    // does not show.
    void groupRowTakesStoredRows_data()
    {
        QTest::addColumn<int>("circuit");
        QTest::addColumn<int>("day");
        QTest::addColumn<QList<int>>("program");  // start h:m:s, end h:m, interval, on each day of the group
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("minutes");  // TimeONM of every row afterwards
        QTest::newRow("time signal with seconds, delete") << 1 << 8 << QList<int>{8, 5, 30, 0, 0, 0} << "Button_Delete" << "";
        QTest::newRow("timer with an interval, delete") << 3 << 7 << QList<int>{9, 0, 0, 17, 0, 5} << "Button_Delete" << "";
        QTest::newRow("timer with an interval, edit")
            << 3 << 7 << QList<int>{9, 0, 0, 17, 0, 5} << "Button_Edit" << "15, 15, 15, 15, 15";
    }
    void groupRowTakesStoredRows()
    {
        QFETCH(int, circuit); QFETCH(int, day); QFETCH(QList<int>, program); QFETCH(QString, button); QFETCH(QString, minutes);
        for (int d : Days::range(day))
            addWeekRow(circuit, 0, d, d, program[0], program[1], program[2], program[3], program[4], program[5]);
        RenumberTable(Scratch::document(), "T_Week");
        choose(circuit, day);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(m_week, qPrintable(button));
        if (dialog()) {
            type("Text_MinuteON", QStringLiteral("15"));
            click(dialog(), "Button_OK");
        }
        QCOMPARE(rows("TimeONM", "TRUE"), minutes);
    }

    // In the Japanese font the captions fit their columns. A row is chosen by clicking it or its header; times are
    // right-aligned so that " 9:00" over "18:00" line up.
    void gridLayoutAndChoosing()
    {
        const QFont before = QApplication::font();
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 10));
        const auto restore = qScopeGuard([&before] { QApplication::setFont(before); });
        delete m_week;
        m_week = new Form_Week(Scratch::history());
        m_week->show();
        addRows({{6, 0, 2, 2, 9, 0, 0, 17, 30, 15}, {6, 0, 2, 2, 18, 0, 0, 19, 0, 5}});
        RenumberTable(Scratch::document(), "T_Week");
        choose(6, 2);
        QHeaderView* header = grid()->horizontalHeader();
        for (int column = 0; column < header->count(); ++column) {
            if (grid()->isColumnHidden(column))
                continue;
            const QString caption = grid()->model()->headerData(column, Qt::Horizontal).toString();
            QVERIFY2(grid()->columnWidth(column) >= header->fontMetrics().horizontalAdvance(caption) + 4,
                     qPrintable(caption));
        }

        QCOMPARE(grid()->selectedRow(), 0);  // a list starts on its first row
        const QModelIndex cell = grid()->model()->index(1, grid()->columnOf(QStringLiteral("終了時刻")));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(cell).center());
        QCOMPARE(grid()->selectedText(QStringLiteral("繰返し間隔(分)")), QStringLiteral("5"));
        QCOMPARE(headers(Qt::Vertical), QStringLiteral("|▶"));
        QHeaderView* rows = grid()->verticalHeader();
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                          QPoint(rows->width() / 2, rows->sectionViewportPosition(0) + 4));
        QCOMPARE(grid()->selectedText(QStringLiteral(" 開始時刻")), QStringLiteral(" 9:00"));
        QCOMPARE(headers(Qt::Vertical), QStringLiteral("▶|"));
        for (const char* time : {"開始時刻", "終了時刻"}) {
            const QModelIndex cell = grid()->model()->index(0, grid()->columnOf(QString::fromUtf8(time)));
            QCOMPARE(cell.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        }
    }

    void controlsFollowTypeAndOrigin()
    {
        open(request(1, 3));
        for (const char* name : {"Text_Second", "Text_Chime", "Check_Chime", "Button_PlayChime", "Line_End"})
            QVERIFY2(child(dialog(), name)->isHidden(), name);
        QVERIFY(!child(dialog(), "Text_Minute")->isHidden());

        open(request(4, 6));
        QCOMPARE(child<QLabel>(dialog(), "Label_YobiON")->text(), QStringLiteral("土"));
        QCOMPARE(child<QComboBox>(dialog(), "Combo_YobiOFF")->currentIndex(), 6);
        QCOMPARE(texts({"Text_Repeat"}), QStringLiteral("1"));
        // The single-day timer dialog starts at the start hour and Tab walks
        // the rows as drawn: the end day before the end time.
        activate(dialog());
        QStringList order;
        for (int i = 0; i < 8; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"Text_HourON", "Text_MinuteON", "Combo_YobiOFF", "Text_HourOFF", "Text_MinuteOFF",
                                     "Text_Repeat", "Button_OK", "Button_Cancel"}));

        // A group and a special program have no day controls; a timer no
        // interval: it holds 0 and is not a box to check.
        for (const EntryJob& job : {request(3, 7), request(3, 0, 2)}) {
            open(job);
            for (const char* name : {"Combo_YobiOFF", "Label_YobiON", "Text_Repeat"})
                QVERIFY2(child(dialog(), name)->isHidden(), name);
            click(dialog(), "Button_OK");
        }
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = 3 AND Repeat = 0"), 6);
    }

    void spinnersAndEnter()
    {
        EntryJob job = request(2, 1);
        job.row.TimeONH = 23;
        job.row.TimeONM = 8;
        job.row.ChimeNO = 7;
        open(job);
        child<UpDown>(dialog(), "UpDown2")->stepBy(1);
        child<UpDown>(dialog(), "UpDown1")->stepBy(1);  // no wrap past 23
        child<UpDown>(dialog(), "UpDown4")->stepBy(1);
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Chime"}), QStringLiteral("23,09,7"));
        type("Text_Hour", QStringLiteral("abc"));  // steps from where the spinner was
        child<UpDown>(dialog(), "UpDown1")->stepBy(-1);
        QCOMPARE(texts({"Text_Hour"}), QStringLiteral("22"));

        open(request(3, 2));
        child<UpDown>(dialog(), "UpDown3")->stepBy(-1);
        child<UpDown>(dialog(), "UpDown4")->stepBy(5);
        QCOMPARE(texts({"Text_HourOFF", "Text_MinuteOFF"}), QStringLiteral("5,00"));

        // Enter in a box confirms (not the chime preview, the first push button).
        // The hour typed as the dialog opens replaces its 0.
        open(request(2, 4));
        activate(dialog());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
        QCOMPARE(texts({"Text_Hour"}), QStringLiteral("7"));
        QTest::keyClick(child(dialog(), "Text_Hour"), Qt::Key_Return);
        QVERIFY(dialog()->isHidden());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE YobiON = 4 AND TimeONH = 7 AND ChimeNO = 1"), 1);
    }

    // A wrong entry shows its message once, puts the focus back into the box and writes nothing, however it is
    // confirmed: OK names the first bad visible box in order, leaving a box checks that box. キャンセル then closes
    // whatever the boxes hold.
    void wrongEntryIsRefused_data()
    {
        QTest::addColumn<int>("circuit"); QTest::addColumn<int>("day");
        // "box=text" typed in turn; the focus is left in the last box.
        QTest::addColumn<QStringList>("entries");
        // OK, OK clicked with the mouse, Enter, the chime adjustment ticked, or the focus moved to the first box.
        QTest::addColumn<QString>("confirm"); QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("refocused");
        QTest::newRow("first bad box")
            << 1 << 2 << QStringList{"Text_Hour=", "Text_Minute=75"} << "ok" << "0～23" << "Text_Hour";
        QTest::newRow("box left")
            << 1 << 2 << QStringList{"Text_Hour=1", "Text_Minute=1e1"} << "leave" << "0～59" << "Text_Minute";
        QTest::newRow("hour 23.4") << 1 << 2 << QStringList{"Text_Hour=23.4"} << "ok" << "0～23" << "Text_Hour";
        QTest::newRow("end hour 24")
            << 4 << 8 << QStringList{"Text_HourOFF=24", "Text_Repeat=0"} << "ok" << "0～23" << "Text_HourOFF";
        QTest::newRow("interval 0") << 4 << 8 << QStringList{"Text_Repeat=0"} << "ok" << "1～59" << "Text_Repeat";
        QTest::newRow("interval 60") << 4 << 8 << QStringList{"Text_Repeat=60"} << "ok" << "1～59" << "Text_Repeat";
        QTest::newRow("Enter") << 4 << 8 << QStringList{"Text_MinuteON=６０"} << "enter" << "0～59" << "Text_MinuteON";
        QTest::newRow("melody to adjust by")
            << 2 << 1 << QStringList{"Text_Chime="} << "adjust" << "1～7" << "Text_Chime";
        QTest::newRow("clicked out") << 3 << 2 << QStringList{"Text_HourON=24"} << "mouse" << "0～23" << "Text_HourON";
    }
    void wrongEntryIsRefused()
    {
        QFETCH(int, circuit); QFETCH(int, day); QFETCH(QStringList, entries); QFETCH(QString, confirm);
        QFETCH(QString, range); QFETCH(QString, refocused);
        open(request(circuit, day));
        activate(dialog());
        QStringList boxes;
        for (const QString& entry : entries) {
            boxes << entry.section(QLatin1Char('='), 0, 0);
            type(qPrintable(boxes.last()), entry.section(QLatin1Char('='), 1));
        }
        child(dialog(), boxes.last())->setFocus();
        MessageBox::clearShown();
        if (confirm == "ok")
            click(dialog(), "Button_OK");
        else if (confirm == "mouse")
            QTest::mouseClick(child(dialog(), "Button_OK"), Qt::LeftButton);
        else if (confirm == "adjust")
            click(dialog(), "Check_Chime");
        else if (confirm == "enter")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else
            child(dialog(), boxes.first())->setFocus();
        QCOMPARE(shownMessages(),
                 QStringList{"入力エラー|入力した値が不正です。\r\n" + range + "の値を設定してください。"});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), child(dialog(), refocused));
        QVERIFY(dialog()->isVisible());
        QTest::mouseClick(child(dialog(), "Button_Cancel"), Qt::LeftButton);
        QCOMPARE(shownMessages().size(), 1);
        QVERIFY(dialog()->isHidden());
        QCOMPARE(WeekRowCount(Scratch::document()), 0);
    }

    // The adjustment moves the time back by the melody's length; taking it
    // back, or changing the melody, moves it forward by the length used.
    void chimeEndAdjustment()
    {
        open(request(2, 1));
        activate(dialog());
        type("Text_Second", QStringLiteral("10"));
        auto* adjust = child<QCheckBox>(dialog(), "Check_Chime");
        adjust->click();
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("23,59,46"));
        adjust->click();
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("0,00,10"));
        adjust->click();
        type("Text_Chime", QStringLiteral("4"));  // undone with melody 1's length
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("0,00,10"));

        // Refused for want of a melody, the adjustment is not made: choosing one then shifts nothing.
        type("Text_Chime", QString());
        adjust->click();
        type("Text_Chime", QStringLiteral("3"));
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("0,00,10"));
        adjust->click();
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("23,59,29"));
        // Tune 7 lasts over a minute.
        const TimeOfDay noon = AdjustChimeEnd({12, 0, 0}, 7, true);
        QCOMPARE((std::tuple{noon.hour, noon.minute, noon.second}), (std::tuple{11, 58, 46}));
    }

private:
    void choose(int circuit, int day)
    {
        auto* circuits = child<QComboBox>(m_week, "Combo_Circuit");
        circuits->setCurrentIndex(circuits->findText(QString::number(circuit)));
        child<QComboBox>(m_week, "Combo_Yobi")->setCurrentIndex(day);
    }
    // The rows listed and the programs left, as "rows remaining".
    QString gridRowsAndRemaining()
    {
        return QString::number(grid()->rowCount()) + ' ' + child<QLabel>(m_week, "Label_ProgramCount")->text();
    }
    void deleteFirstRow(int circuit, int day, QMessageBox::StandardButton answer)
    {
        choose(circuit, day);
        grid()->selectRow(0);
        MessageBox::queueAnswer(answer);
        click(m_week, "Button_Delete");
    }
    // The captions of the visible columns, or the row headers, joined by '|'.
    QString headers(Qt::Orientation orientation)
    {
        QStringList texts;
        const bool columns = orientation == Qt::Horizontal;
        for (int i = 0; i < (columns ? grid()->model()->columnCount() : grid()->model()->rowCount()); ++i)
            if (!columns || !grid()->isColumnHidden(i))
                texts << grid()->model()->headerData(i, orientation).toString();
        return texts.join(QLatin1Char('|'));
    }
    ProgramGrid* grid() { return child<ProgramGrid>(m_week, "DataGrid1"); }
    // The periods in 時程から作成's grid as "start-end,...".
    static QString periodsOffered(QWidget* bells)
    {
        auto* periods = child<QTableWidget>(bells, "Grid_Periods");
        QStringList offered;
        for (int row = 0; row < periods->rowCount(); ++row)
            offered << periods->item(row, 0)->text() + '-' + periods->item(row, 1)->text();
        return offered.join(',');
    }
    QDialog* dialog() { return m_dialog.get(); }
    // Opens the entry dialog of the circuit's type for `job`.
    void open(const EntryJob& job)
    {
        m_dialog.reset();
        m_dialog.reset(Scratch::document().circuit(job.row.CircuitNO).Program <= TypeChime ? static_cast<QDialog*>(new Form_EditTime(Scratch::history(), job))
                                                                    : new Form_EditTimeTimer(Scratch::history(), job));
        m_dialog->show();
    }
    void type(const char* box, const QString& text) { child<QLineEdit>(dialog(), box)->setText(text); }
    QString texts(std::initializer_list<const char*> boxes)
    {
        QStringList values;
        for (const char* box : boxes)
            values << child<QLineEdit>(dialog(), box)->text();
        return values.join(QLatin1Char(','));
    }

    std::unique_ptr<ScratchStore> m_store;
    Form_Week* m_week = nullptr;
    std::unique_ptr<QDialog> m_dialog;
};

QTEST_MAIN(TestWeek)
#include "test_week.moc"
