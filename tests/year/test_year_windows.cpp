#include "TestSupport.h"
#include "history/UndoHistory.h"
#include "ui/WindowUtil.h"
#include "history/UndoHistory.h"
#include "holidays/Holidays.h"
#include "settings/SpecialNames.h"
#include "special/Form_Special.h"
#include "special/Form_SpecialSelect.h"
#include "store/ScheduleDocument.h"
#include "store/CircuitSetting.h"
#include "store/StoreRoutines.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/ProgramGrid.h"
#include "year/Form_EditYear.h"
#include "year/Form_Year.h"
#include "year/MonthCalendar.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolTip>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>

using namespace TestSupport;

namespace {

// The list's items and, after a colon, the one chosen.
QString choices(QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts.join(',') + ':' + box->currentText();
}

// Each dated entry as "circuit/year/month/day:special", then each every-year
// one as "Ecircuit/month/day:special", in ID order; circuit 8's fillers left out.
QString entries()
{
    return Scratch::scalar(QStringLiteral(
        "SELECT group_concat(entry, ' ') FROM (SELECT * FROM (SELECT CircuitNO || '/' || Year || '/' || Month || '/' || "
        "Day || ':' || SpecialNO AS entry FROM T_Year WHERE CircuitNO <> 8 ORDER BY ID) UNION ALL SELECT * FROM "
        "(SELECT 'E' || CircuitNO || '/' || Month || '/' || Day || ':' || SpecialNO FROM T_YearE ORDER BY ID))"))
        .toString();
}

// The job an entry dialog was opened with.
const EntryJob& jobOf(QDialog* dialog)
{
    if (auto* time = qobject_cast<Form_EditTime*>(dialog))
        return time->job();
    return qobject_cast<Form_EditTimeTimer*>(dialog)->job();
}

}  // namespace

class TestYearWindows : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        Scratch::document().resetCircuits();
        setOneCircuitOfEachType();
        setCircuit(6, 3, 0);
        ModalDialogs::setRunner([this](QDialog* dialog) {
            m_dialogs.emplace_back(dialog);
            dialog->show();
        });
        m_year = std::make_unique<Form_Year>(Scratch::history());
        m_year->show();
    }

    void cleanup()
    {
        closeAll();
        m_year.reset();
        m_store.reset();
    }

    void withoutACircuit()
    {
        addRows({{1, 27, 1, 1, 0}, {1, 1, 2, 0}});
        m_year = std::make_unique<Form_Year>(Scratch::history());
        QCOMPARE(choices(circuits(m_year.get())) + ' ' + programCount(), QStringLiteral("1,2,3,6: 499"));
        QCOMPARE(QList<QDate>({calendar()->selectedDate(), calendar()->minimumDate(), calendar()->maximumDate()}),
                 QList<QDate>({QDate::currentDate(), QDate(2000, 1, 1), QDate(2099, 12, 31)}));

        // Paging keeps the selection, nothing is marked, and every command asks for a circuit first.
        calendar()->setSelectedDate(QDate(2027, 2, 10));
        click(calendar(), "MonthView1_Previous");
        QVERIFY(calendar()->selectedDate() == QDate(2027, 2, 10) && marked().isEmpty());
        activate(m_year.get());
        child(m_year.get(), "Button_Close")->setFocus();
        clickDay(QDate(2027, 1, 3));
        click(m_year.get(), "Button_Special");
        click(m_year.get(), "Button_DeleteYear");
        QCOMPARE(QApplication::focusWidget(), circuits(m_year.get()));
        QCOMPARE(shownMessages(), QStringList(3, QStringLiteral("年間プログラム|回路を指定してください。")));
        QVERIFY(MessageBox::lastShown().icon == MessageBox::Icon::Critical && m_dialogs.empty());
    }

    // A page reaches into the year before or after: every-year entries show in both.
    void turningThePage()
    {
        addRows({{1, 2, 29, 0}, {1, 1, 2, 3}, {1, 27, 12, 30, 0}, {1, 28, 1, 15, 4}});
        addYearRow(2, 28, 1, 16, 0);  // circuit 2's entries never show
        addEveryYearRow(2, 2, 28, 0);
        calendar()->setSelectedDate(QDate(2027, 2, 10));
        QCOMPARE(calendar()->dayRect(QDate(2027, 2, 28)).left(), 0);  // a Sunday, under 日
        chooseCircuit(1);
        child(m_year.get(), "Button_Close")->setFocus();
        click(calendar(), "MonthView1_Next");
        QWidget* focusAfterPaging = m_year->focusWidget();
        QCOMPARE(QList<QDate>({calendar()->selectionStart(), calendar()->selectedDate()}),
                 QList<QDate>({QDate(2027, 3, 1), QDate(2027, 3, 1)}));
        QCOMPARE(marked(), QString());  // 2027 has no leap day
        child<QSpinBox>(calendar(), "MonthView1_Year")->setValue(2028);
        QCOMPARE(calendar()->selectionEnd().toString(Qt::ISODate) + ' ' + marked(), "2028-03-01 2/29");
        child<QComboBox>(calendar(), "MonthView1_Month")->setCurrentIndex(0);
        QCOMPARE(marked(), QStringLiteral("12/30 1/2 1/15"));
        calendar()->dayGrid()->setFocus();
        QTest::keyClick(calendar()->dayGrid(), Qt::Key_PageUp);  // paging by keys keeps the focus
        QCOMPARE(marked(), QStringLiteral("12/30 1/2"));
        QCOMPARE(QList<QWidget*>({focusAfterPaging, m_year->focusWidget()}),
                 QList<QWidget*>({circuits(m_year.get()), calendar()->dayGrid()}));
        chooseCircuit(2);  // another circuit's marks replace them
        QCOMPARE(marked(), QString());
    }

    // Each row on a fresh store, with programs 2 on circuit 1 and 4 on circuit 2: opens the date dialog over
    // from..to, compares its state (years, checked option or -1, numbers, "off" while disabled, other kind's entry),
    // makes the choices (a year index and an option, -1 keeps them; a number), presses OK and compares the date
    // shown then, the entries, the marks, the count left and the messages.
    void dateDialog()
    {
        const QString stopA = QStringLiteral("年間プログラム設定|年間プログラムの設定可能数を500超えてしまうため作成できません。");
        const QString specialB = QStringLiteral("年間プログラム設定|年間プログラムの設定可能数500を超えてしまうため作成できません。");
        const struct {
            const char* name;
            QList<QList<int>> stored;  // circuit, year, month, day, number; without the year, every year
            int filled;  // fillers up to this many dated rows
            int circuit;
            QDate from, to;
            int year, option;
            const char* number;
            QStringList result;
        } rows[] = {
            {"停止 for a day", {{1, 27, 8, 5, 7}}, 0, 1, QDate(2027, 8, 3), QDate(2027, 8, 3), -1, 1, "",
             {"毎年,27年:27年|0|off 2:", "2027年8月3日", "1/27/8/3:0 1/27/8/5:7", "8/3 8/5", "498"}},
            // A stored number without programs stays chosen and is written back.
            {"number without programs", {{1, 27, 8, 5, 7}}, 0, 1, QDate(2027, 8, 5), QDate(2027, 8, 5), -1, -1, "",
             {"毎年,27年:27年|2|2,7（プログラムなし）:7（プログラムなし）", "2027年8月5日", "1/27/8/5:7", "8/5", "499"}},
            // 毎年 shows the every-year entry of the day in place of the dated one.
            {"switched to every year", {{1, 27, 8, 3, 0}, {1, 8, 3, 2}}, 0, 1, QDate(2027, 8, 3), QDate(2027, 8, 3),
             0, -1, "", {"毎年,27年:27年|1|off 2: 毎年の設定: 特殊番号 2", "8月3日 2027年の設定: 停止",
                         "1/27/8/3:0 E1/8/3:2", "8/3", "499"}},
            {"every year, backwards over the leap day", {}, 0, 3, QDate(2028, 3, 1), QDate(2028, 2, 28), 0, 1, "",
             {"毎年,28年:28年|-1|off :", "2月28日～3月1日", "E3/2/28:0 E3/2/29:0 E3/3/1:0", "2/28 2/29 3/1", "500"}},
            // The day already stored is rewritten in place.
            {"across the new year", {{1, 26, 12, 30, 0}}, 0, 1, QDate(2026, 12, 28), QDate(2027, 1, 3), -1, 2, "2",
             {"毎年,26年:26年|-1|off 2:", "2026年12月28日～2027年1月3日",
              "1/26/12/28:2 1/26/12/29:2 1/26/12/30:2 1/26/12/31:2 1/27/1/1:2 1/27/1/2:2 1/27/1/3:2",
              "12/28 12/29 12/30 12/31 1/1 1/2 1/3", "493"}},
            // A run starts with no option: OK asks for one and keeps the dialog open.
            {"no option over a run", {}, 0, 1, QDate(2027, 1, 1), QDate(2027, 1, 10), -1, -1, "",
             {"毎年,27年:27年|-1|off 2:", "2027年1月1日～2027年1月10日", "", "", "500",
              "年間プログラム設定|設定なし・プログラム実行停止・特殊プログラムを実行のいずれかを選択してください。"}},
            {"設定なし over a run", {{1, 27, 1, 2, 0}, {1, 27, 1, 5, 2}, {1, 27, 1, 20, 0}}, 0, 1, QDate(2027, 1, 1),
             QDate(2027, 1, 10), -1, 0, "",
             {"毎年,27年:27年|-1|off 2:", "2027年1月1日～2027年1月10日", "1/27/1/20:0", "1/20", "499"}},
            {"stop at capacity", {}, 495, 1, QDate(2027, 8, 2), QDate(2027, 8, 8), -1, 1, "",
             {"毎年,27年:27年|-1|off 2:", "2027年8月2日～2027年8月8日",
              "1/27/8/2:0 1/27/8/3:0 1/27/8/4:0 1/27/8/5:0 1/27/8/6:0", "8/2 8/3 8/4 8/5 8/6", "0", stopA}},
            {"special at capacity", {}, 495, 1, QDate(2027, 8, 2), QDate(2027, 8, 8), -1, 2, "2",
             {"毎年,27年:27年|-1|off 2:", "2027年8月2日～2027年8月8日",
              "1/27/8/2:2 1/27/8/3:2 1/27/8/4:2 1/27/8/5:2 1/27/8/6:2", "8/2 8/3 8/4 8/5 8/6", "0", specialB}},
            {"exactly fits", {}, 493, 1, QDate(2027, 8, 2), QDate(2027, 8, 8), -1, 1, "",
             {"毎年,27年:27年|-1|off 2:", "2027年8月2日～2027年8月8日",
              "1/27/8/2:0 1/27/8/3:0 1/27/8/4:0 1/27/8/5:0 1/27/8/6:0 1/27/8/7:0 1/27/8/8:0",
              "8/2 8/3 8/4 8/5 8/6 8/7 8/8", "0"}},
            // A day stored twice (from a file): its first entry is the one shown and rewritten.
            {"day stored twice", {{1, 27, 8, 3, 0}, {1, 27, 8, 3, 5}}, 0, 1, QDate(2027, 8, 3), QDate(2027, 8, 3), -1, 2,
             "2", {"毎年,27年:27年|1|off 2:", "2027年8月3日", "1/27/8/3:2 1/27/8/3:5", "8/3", "498"}},
            {"stored day at capacity", {{1, 27, 8, 1, 0}}, 500, 1, QDate(2027, 8, 1), QDate(2027, 8, 1), -1, 2, "2",
             {"毎年,27年:27年|1|off 2:", "2027年8月1日", "1/27/8/1:2", "8/1", "0"}},
        };
        for (const auto& row : rows) {
            cleanup();
            init();
            addRows({{1, 2, 0, 0, 8, 0, 0}, {2, 4, 0, 0, 8, 0, 0}});
            addRows(row.stored);
            fillYearTo(row.filled);
            chooseCircuit(row.circuit);
            calendar()->setSelectedDate(QDate(row.from.year(), row.from.month(), 15));
            drag(row.from, row.to);
            QDialog* dialog = opened();
            const QString other = child<QLabel>(dialog, "Label_OtherEntry")->text();
            const QString state = QStringLiteral("%1|%2|%3%4 %5")
                                      .arg(choices(years(dialog)))
                                      .arg(child<QButtonGroup>(dialog, QString())->checkedId())
                                      .arg(special(dialog)->isEnabled() ? "" : "off ", choices(special(dialog)), other)
                                      .trimmed();
            if (row.year >= 0)
                years(dialog)->setCurrentIndex(row.year);
            if (row.option >= 0)
                option(dialog, row.option)->setChecked(true);
            if (*row.number)
                special(dialog)->setCurrentIndex(special(dialog)->findText(row.number));
            const QString date = (child<QLabel>(dialog, "Label_Date")->text() + ' ' +
                                  child<QLabel>(dialog, "Label_OtherEntry")->text()).trimmed();
            Scratch::history().clear();
            const QString before = storeSnapshot();
            // Enter means OK also with the focus on the special number just chosen.
            if (*row.number) {
                special(dialog)->setFocus();
                QTest::keyClick(special(dialog), Qt::Key_Return);
            } else {
                click(dialog, "Button_OK");
            }
            // What OK wrote, dated or every year, is one step.
            const bool changed = storeSnapshot() != before;
            QCOMPARE(Scratch::history().undoText(), changed ? QStringLiteral("日付設定（回路%1）").arg(row.circuit) : QString());
            QCOMPARE(Scratch::history().undo(), changed);
            QCOMPARE(storeSnapshot(), before);
            QVERIFY(!changed || Scratch::history().redo());
            QCOMPARE((QStringList({row.name, state, date, entries(), marked(), programCount()}) + shownMessages())
                         .join(" | "),
                     (QStringList{row.name} + row.result).join(" | "));
            const bool refused = row.option < 0 && row.from != row.to;
            QVERIFY2(dialog->isHidden() != refused && count("SELECT COUNT(*) FROM T_YearE WHERE ID = 0") == 0 &&
                         (refused ? MessageBox::lastShown().icon == MessageBox::Icon::Exclamation
                                  : m_year->focusWidget() == circuits(m_year.get())),  // the marks refreshed
                     row.name);
        }
    }

    // 繰り返し: a span and a rule from the day clicked (2027-04-02, the first Friday), the days listed before OK and
    // written as one step; held entries other than the one chosen wait for 上書き or そのまま. Circuit 1 has special 2.
    void dateRulesInTheDialog()
    {
        const QString capacity = QStringLiteral("年間プログラム設定|年間プログラムの設定可能数500を超えてしまうため作成できません。"
                                                "\r\n新たに設定する日は12日、設定できるのはあと10日です。");
        const auto ask = [](const char* text) { return QStringLiteral("年間プログラム設定|") + QString::fromUtf8(text); };
        const struct {
            const char* name;
            QList<QList<int>> stored;  // circuit, year, month, day, number
            int filled;
            QDate to;
            int rule;  // Combo_Rule: every day, weekdays, N-th, last, day of the month
            QList<int> weekdays;  // ticked, 日 = 0
            int option, existing;  // Option_Year, Option_Existing (-1 none)
            QString listed, written, message;  // Label_RuleDays; circuit 1's dated entries as count first..last
            QDate from = {};  // typed over the day clicked
            const char* chosen = "";  // "control=index" the user set before typing the first day
        } rows[] = {
            {"a one-day span", {}, 0, QDate(2027, 4, 2), 0, {}, 1, -1, "該当する日: 1日", "1 1/27/4/2:0..1/27/4/2:0", ""},
            // The weekday, week or day the user chose stays when the first day changes after.
            {"the user's week kept", {}, 0, QDate(2027, 6, 30), 2, {}, 1, -1, "該当する日: 2日",
             "2 1/27/5/14:0..1/27/6/11:0", "", QDate(2027, 5, 7), "Combo_Nth=1"},
            {"the user's weekday kept", {}, 0, QDate(2027, 6, 30), 3, {}, 1, -1, "該当する日: 2日",
             "2 1/27/5/31:0..1/27/6/28:0", "", QDate(2027, 5, 21), "Combo_Weekday=1"},
            {"the user's day kept", {}, 0, QDate(2027, 6, 30), 4, {}, 1, -1, "該当する日: 2日",
             "2 1/27/5/10:0..1/27/6/10:0", "", QDate(2027, 5, 7), "Spin_MonthDay=10"},
            {"first Fridays of a school year", {}, 0, QDate(2028, 3, 31), 2, {}, 2, -1, "該当する日: 12日",
             "12 1/27/4/2:2..1/28/3/3:2", ""},
            {"the rule follows a typed first day", {}, 0, QDate(2027, 6, 30), 2, {}, 1, -1, "該当する日: 2日",
             "2 1/27/5/21:0..1/27/6/18:0", "", QDate(2027, 5, 21)},
            {"a break across months", {}, 0, QDate(2027, 8, 31), 0, {}, 1, -1, "該当する日: 152日",
             "152 1/27/4/2:0..1/27/8/31:0", ""},
            {"Monday and Wednesday", {}, 0, QDate(2027, 4, 30), 1, {1, 3}, 1, -1, "該当する日: 8日",
             "8 1/27/4/5:0..1/27/4/28:0", ""},
            {"no weekday ticked", {}, 0, QDate(2027, 4, 30), 1, {}, 1, -1, "該当する日はありません。", "0",
             ask("曜日を選択してください。")},
            {"no choice made", {}, 0, QDate(2027, 4, 30), 0, {}, -1, -1, "該当する日: 29日", "0",
             ask("設定なし・プログラム実行停止・特殊プログラムを実行のいずれかを選択してください。")},
            {"span backwards", {}, 0, QDate(2027, 4, 1), 0, {}, 1, -1, "該当する日はありません。", "0",
             ask("期間の最後の日は最初の日以降にしてください。")},
            {"held entry needs a choice", {{1, 27, 5, 7, 0}}, 0, QDate(2028, 3, 31), 2, {}, 2, -1,
             "該当する日: 12日（うち設定済み 1日）", "1 1/27/5/7:0..1/27/5/7:0", ""},  // OK waits for it
            {"held entry overwritten", {{1, 27, 5, 7, 0}}, 0, QDate(2028, 3, 31), 2, {}, 2, 0,
             "該当する日: 12日（うち設定済み 1日）", "12 1/27/4/2:2..1/28/3/3:2 5/7:2", ""},
            {"held entry kept", {{1, 27, 5, 7, 0}}, 0, QDate(2028, 3, 31), 2, {}, 2, 1,
             "該当する日: 12日（うち設定済み 1日）", "12 1/27/4/2:2..1/28/3/3:2 5/7:0", ""},
            {"held entry alike needs no choice", {{1, 27, 5, 7, 0}}, 0, QDate(2028, 3, 31), 2, {}, 1, -1,
             "該当する日: 12日（うち設定済み 1日）", "12 1/27/4/2:0..1/28/3/3:0 5/7:0", ""},
            {"over capacity writes nothing", {}, 490, QDate(2028, 3, 31), 2, {}, 2, -1, "該当する日: 12日", "0", capacity},
            {"exactly full", {}, 488, QDate(2028, 3, 31), 2, {}, 1, -1, "該当する日: 12日", "12 1/27/4/2:0..1/28/3/3:0", ""},
            {"設定なし clears the rule's days only", {{1, 27, 4, 2, 0}, {1, 27, 4, 8, 2}, {1, 27, 4, 9, 2}}, 0,
             QDate(2027, 4, 30), 1, {5}, 0, -1, "該当する日: 5日（うち設定済み 2日）", "1 1/27/4/8:2..1/27/4/8:2", ""},
        };
        for (const auto& row : rows) {
            cleanup();
            init();
            addRows({{1, 2, 0, 0, 8, 0, 0}});
            addRows(row.stored);
            fillYearTo(row.filled + int(row.stored.size()));
            chooseCircuit(1);
            calendar()->setSelectedDate(QDate(2027, 4, 15));
            clickDay(QDate(2027, 4, 2));
            QDialog* dialog = opened();
            child<QCheckBox>(dialog, "Check_Repeat")->setChecked(true);
            QVERIFY2(!years(dialog)->isEnabled() && years(dialog)->currentIndex() == 1, row.name);  // no 毎年
            if (const QString chosen = QString::fromUtf8(row.chosen); !chosen.isEmpty()) {
                child<QComboBox>(dialog, "Combo_Rule")->setCurrentIndex(row.rule);
                const QString name = chosen.section('=', 0, 0);
                const int value = chosen.section('=', 1).toInt();
                if (auto* spin = qobject_cast<QSpinBox*>(child(dialog, name)))
                    spin->setValue(value);
                else
                    child<QComboBox>(dialog, name)->setCurrentIndex(value);
            }
            if (row.from.isValid())
                child<QDateEdit>(dialog, "Date_From")->setDate(row.from);
            child<QDateEdit>(dialog, "Date_To")->setDate(row.to);
            child<QComboBox>(dialog, "Combo_Rule")->setCurrentIndex(row.rule);
            for (int day = 0; day < 7; ++day)
                child<QCheckBox>(dialog, QStringLiteral("Check_Weekday_%1").arg(day))->setChecked(row.weekdays.contains(day));
            QCOMPARE(child<QButtonGroup>(dialog, QString())->checkedId(), -1);  // a rule starts with no choice
            if (row.option >= 0)
                option(dialog, row.option)->setChecked(true);
            if (row.option == 2)
                special(dialog)->setCurrentIndex(special(dialog)->findData(2));
            if (row.existing >= 0)
                option(dialog, row.existing, "Option_Existing")->setChecked(true);
            const QString listed = child<QLabel>(dialog, "Label_RuleDays")->text();
            Scratch::history().clear();
            const QString before = storeSnapshot();
            scriptDialogs();
            click(dialog, "Button_OK");
            const QStringList dated = Scratch::scalar("SELECT group_concat(CircuitNO || '/' || Year || '/' || Month || "
                                                           "'/' || Day || ':' || SpecialNO, ' ') FROM (SELECT * FROM "
                                                           "T_Year WHERE CircuitNO = 1 ORDER BY ID)")
                                          .toString()
                                          .split(' ', Qt::SkipEmptyParts);
            QString written = QString::number(dated.size());
            if (!dated.isEmpty())
                written += ' ' + dated.first() + ".." + dated.last();
            for (const QString& entry : dated)
                if (entry.startsWith("1/27/5/7:") && dated.size() > 1 && row.stored.size() == 1)
                    written += ' ' + entry.mid(5);
            QCOMPARE(QStringList({row.name, listed, written, shownMessages().join(' ')}).join(" | "),
                     QStringList({row.name, row.listed, row.written, row.message}).join(" | "));
            const bool changed = storeSnapshot() != before;
            QCOMPARE(dialog->isHidden(), changed);
            const QDate first = row.from.isValid() ? row.from : QDate(2027, 4, 1);  // the page turns to it
            QVERIFY2(!changed || (calendar()->yearShown() == first.year() && calendar()->monthShown() == first.month()),
                     row.name);
            QCOMPARE(Scratch::history().undoText(), changed ? QStringLiteral("日付設定（回路1）") : QString());
            QCOMPARE(Scratch::history().undo(), changed);
            QCOMPARE(storeSnapshot(), before);
        }
    }

    // Enter presses the focused button, anywhere else OK: the entries written, the last dialog opened, the date
    // dialog open or closed. Circuit 1 has special 2; 2027-08-03 is set to it.
    void enterInTheDateDialog_data()
    {
        QTest::addColumn<QString>("focus"); QTest::addColumn<QString>("result");
        QTest::newRow("キャンセル") << "Button_Cancel" << "|Form_EditYear|closed";
        QTest::newRow("新規") << "Button_New" << "|Form_Special|open";
        QTest::newRow("編集") << "Button_Edit" << "|Form_Special|open";
        QTest::newRow("an option") << "Option_Year_2" << "1/27/8/3:2|Form_EditYear|closed";
    }
    void enterInTheDateDialog()
    {
        QFETCH(QString, focus); QFETCH(QString, result);
        addRows({{1, 2, 0, 0, 8, 0, 0}});
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2027, 8, 15));
        clickDay(QDate(2027, 8, 3));
        QDialog* dialog = opened();
        option(dialog, 2)->setChecked(true);
        special(dialog)->setCurrentIndex(special(dialog)->findData(2));
        activate(dialog);
        child(dialog, focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(entries() + '|' + opened()->objectName() + '|' + (dialog->isVisible() ? "open" : "closed"), result);
    }

    // 繰り返し: the focus goes to the span's first date; each day lists what it holds, disagreeing dated rows
    // (read from a file) and an every-year entry too; days holding other entries are counted beside the choice,
    // and OK waits for 上書き or そのまま.
    void ruleDaysHoldingOtherEntries()
    {
        addRows({{1, 2, 0, 0, 8, 0, 0}, {1, 27, 4, 9, 0}, {1, 27, 4, 9, 2}, {1, 27, 4, 16, 2}, {1, 4, 23, 0}});
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2027, 4, 15));
        clickDay(QDate(2027, 4, 2));
        QDialog* dialog = opened();
        activate(dialog);
        child<QCheckBox>(dialog, "Check_Repeat")->setChecked(true);
        QCOMPARE(QApplication::focusWidget(), child(dialog, "Date_From"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("20270409"));
        child<QDateEdit>(dialog, "Date_To")->setDate(QDate(2027, 4, 30));
        child<QComboBox>(dialog, "Combo_Rule")->setCurrentIndex(1);  // every Friday, from the first day
        option(dialog, 2)->setChecked(true);
        special(dialog)->setCurrentIndex(special(dialog)->findData(2));
        auto* list = child<QListWidget>(dialog, "List_RuleDays");
        QStringList listed;
        for (int row = 0; row < list->count(); ++row)
            listed << list->item(row)->text();
        QCOMPARE(listed, (QStringList{"2027年4月9日（金）　設定済み: 停止・特殊番号 2", "2027年4月16日（金）　設定済み: 特殊番号 2",
                                      "2027年4月23日（金）　毎年: 停止", "2027年4月30日（金）"}));
        const auto choice = [&] {
            QLabel* label = child<QLabel>(dialog, "Label_Existing");
            return (label->isVisibleTo(dialog) ? label->text() : QString()) +
                   (child(dialog, "Button_OK")->isEnabled() ? " OK" : "");
        };
        const QString differing = QStringLiteral("設定済みで内容の異なる日が%1日あります。上書きするか、そのままにするかを選択してください。");
        QCOMPARE(choice(), differing.arg(1));
        option(dialog, 1, "Option_Existing")->setChecked(true);
        QCOMPARE(choice(), differing.arg(1) + " OK");
        option(dialog, 1)->setChecked(true);  // 停止: the 16th differs too
        QCOMPARE(choice(), differing.arg(2) + " OK");
        option(dialog, 0)->setChecked(true);
        QCOMPARE(choice(), QStringLiteral(" OK"));
        option(dialog, 2)->setChecked(true);
        click(dialog, "Button_OK");  // そのまま: only the free days are written
        QCOMPARE(entries(), QStringLiteral("1/27/4/9:0 1/27/4/9:2 1/27/4/16:2 1/27/4/23:2 1/27/4/30:2 E1/4/23:0"));
    }

    // Circuit 2 is the second in the list, so a list index taken for the circuit shows.
    void choosingRuns()
    {
        addWeekRow(2, 4, 0, 0, 8, 0, 0);
        chooseCircuit(2);
        calendar()->setSelectedDate(QDate(2026, 12, 10));

        // A drag onto January's tail turns the page, keeping the run.
        drag(QDate(2026, 12, 28), QDate(2027, 1, 3));
        QCOMPARE(QList<int>({calendar()->monthShown(), qobject_cast<Form_EditYear*>(opened())->circuit()}),
                 QList<int>({1, 2}));
        QCOMPARE(QList<QDate>({calendar()->selectionStart(), calendar()->selectionEnd()}),
                 QList<QDate>({QDate(2026, 12, 28), QDate(2027, 1, 3)}));
        QCOMPARE(m_year->focusWidget(), child(m_year.get(), "Button_Close"));  // set after the page turned
        QVERIFY(m_year->testAttribute(Qt::WA_KeyboardFocusChange));  // its focus frame is drawn
        QDialog* dialog = opened();
        option(dialog, 2)->setChecked(true);
        QVERIFY(child(dialog, "Button_Edit")->isEnabled());

        // 新規 opens the special window on the first free number and comes back with it chosen.
        click(dialog, "Button_New");
        QDialog* specialWindow = opened();
        QCOMPARE(openedNumber() + '|' + child(specialWindow, "Button_Close")->toolTip(), "1|日付設定へ戻ります。");
        click(specialWindow, "Button_New");
        child<QLineEdit>(opened(), "Text_Hour")->setText("12");
        child<QLineEdit>(opened(), "Text_Chime")->setText("1");
        click(opened(), "Button_OK");
        // With 日付設定 open under it, no window's history moves.
        activate(specialWindow);
        QTest::keyClick(specialWindow, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Scratch::history().stack().canUndo() && !child(specialWindow, "Button_Undo")->isEnabled() &&
                !child(m_year.get(), "Button_Undo")->isEnabled());
        click(specialWindow, "Button_Close");
        QCOMPARE(choices(special(dialog)), QStringLiteral("1,4:1"));
        special(dialog)->setCurrentIndex(-1);
        click(dialog, "Button_OK");  // no number chosen: refused, nothing written
        QCOMPARE(QStringList({entries(), dialog->isVisible() ? "open" : "",
                              dialog->focusWidget() == special(dialog) ? "focus" : ""}) + shownMessages(),
                 (QStringList{"", "open", "focus", QStringLiteral("年間プログラム設定|特殊番号を選択してください。")}));
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);

        // Shift-click runs from the last clicked day, backwards too.
        clickDay(QDate(2027, 1, 20));
        clickDay(QDate(2027, 1, 14), Qt::ShiftModifier);
        QCOMPARE(child<QLabel>(opened(), "Label_Date")->text(), QStringLiteral("2027年1月14日～2027年1月20日"));
    }

    void deletingByYear()
    {
        addRows({{1, 26, 5, 1, 0}, {1, 27, 5, 1, 0}, {1, 1, 1, 0}, {2, 26, 5, 1, 0}, {2, 27, 5, 1, 0}, {2, 1, 1, 0}});
        chooseCircuit(1);
        QDialog* dialog = openDelete(-1, -1, false);
        activate(dialog);
        QComboBox* yearList = years(dialog);
        QCOMPARE(choices(yearList) + (yearList->isEnabled() ? "" : " off"), QStringLiteral("毎年,26年,27年: off"));
        option(dialog, 1, "Option_Delete")->setChecked(true);
        click(dialog, "Button_OK");  // no year chosen
        QVERIFY(yearList->hasFocus() && MessageBox::lastShown().icon == MessageBox::Icon::Exclamation);

        yearList->setCurrentIndex(1);
        MessageBox::queueAnswer(QMessageBox::No);
        click(dialog, "Button_OK");
        QVERIFY(QApplication::focusWidget() == child(dialog, "Button_Cancel") && YearRowCount(Scratch::document()) == 4);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        const QString ask = QStringLiteral("年間プログラムの削除|回路1 2026年 のデータをすべて消去してもよろしいですか？");
        QCOMPARE(shownMessages(), (QStringList{QStringLiteral("年間プログラムの削除|削除する年を選択してください。"), ask,
                                               ask, QStringLiteral("年間プログラムの削除|回路1 2026年 のデータを消去しました。")}));
        QVERIFY(dialog->isHidden());
        QCOMPARE(stored(), QStringLiteral("1/27/5/1:0 2/26/5/1:0 2/27/5/1:0 E1/1/1:0 E2/1/1:0 | 3 | 497"));

        openDelete(1, 0);
        QCOMPARE(shownMessages().last(), QStringLiteral("年間プログラムの削除|回路1 毎年 のデータを消去しました。"));
        QCOMPARE(Scratch::history().undoText(), QStringLiteral("年指定削除（回路1・毎年）"));
        QCOMPARE(entries(), QStringLiteral("1/27/5/1:0 2/26/5/1:0 2/27/5/1:0 E2/1/1:0"));

        // 全削除 takes what is left of this circuit only, and clears the year choice.
        addEveryYearRow(1, 1, 1, 0);
        dialog = openDelete(1, 0, false);
        option(dialog, 0, "Option_Delete")->setChecked(true);
        QCOMPARE(years(dialog)->currentIndex(), -1);
        MessageBox::clearShown();
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(), (QStringList{"年間プログラムの削除|回路1 のデータをすべて消去してもよろしいですか？",
                                               "年間プログラムの削除|回路1 のデータを消去しました。"}));
        QCOMPARE(stored(), QStringLiteral("2/26/5/1:0 2/27/5/1:0 E2/1/1:0 | 2 | 498"));

        dialog = openDelete(-1, -1, false);
        MessageBox::clearShown();
        click(dialog, "Button_OK");
        QVERIFY(dialog->isHidden());
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("年間プログラムの削除|削除するデータがありません。")});
    }

    // Deleting a number's last program, one by one or with 全削除, takes its year entries and marks along.
    void deletingTheLastSpecialProgram()
    {
        addRows({{1, 5, 0, 0, 8, 0, 0}, {1, 5, 0, 0, 9, 0, 0}, {1, 6, 0, 0, 9, 0, 0}, {2, 5, 0, 0, 9, 0, 0}});
        RenumberTable(Scratch::document(), "T_Week");
        addRows({{1, 27, 6, 6, 5}, {1, 7, 6, 5}, {1, 27, 6, 7, 6}, {1, 7, 7, 6}, {2, 27, 6, 6, 5}, {2, 7, 6, 5},
                 {1, 27, 6, 1, 0}, {1, 7, 1, 0}});
        emit Scratch::document().changed(StoreChanges::Dated);  // rows added behind its back
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2027, 6, 10));
        const QString before = entries();
        click(m_year.get(), "Button_Special");
        QDialog* select = opened();
        child<QRadioButton>(select, "Option_Edit")->setChecked(true);
        special(select)->setCurrentIndex(0);
        click(select, "Button_OK");
        QDialog* five = opened();
        auto* grid = child<ProgramGrid>(five, "DataGrid1");
        grid->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(five, "Button_Delete");
        QVERIFY(entries() == before && grid->rowCount() == 1 &&
                child(five, "Button_Close")->toolTip() == QStringLiteral("年間プログラム設定へ戻ります。"));
        grid->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(five, "Button_Delete");
        const QString ask = QStringLiteral("特殊プログラム|削除しますか？");
        const QString withDates = "と、この特殊番号を使う年間プログラムの日付（2日）も削除されます。\r\n削除しますか？";
        QCOMPARE(shownMessages(), (QStringList{ask, "特殊プログラム|特殊番号5の最後のプログラムを削除する" + withDates,
                                               QStringLiteral("特殊プログラム|特殊番号5 は削除されます。")}));
        QCOMPARE(QStringList({stored(), child<QLabel>(five, "Label_ProgramCount")->text(), marked()}).join(" | "),
                 "1/27/6/1:0 1/27/6/7:6 2/27/6/6:5 E1/7/1:0 E1/7/7:6 E2/7/6:5 | 3 | 497 | 898 | 6/1 6/7 7/1 7/7");

        Form_Special* six = openSpecial(1, 6);
        MessageBox::clearShown();
        click(six, "Button_AllDelete");  // No is the default answer
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE SpecialNO = 6"), 1);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(six, "Button_AllDelete");
        QCOMPARE(MessageBox::shown().first().defaultButton, QMessageBox::No);
        const QString all = QStringLiteral("特殊プログラム|回路No.1 特殊番号6 の特殊プログラムをすべて削除");
        QCOMPARE(shownMessages(), (QStringList{all + "する" + withDates, all + "する" + withDates, all + "しました。"}));
        QCOMPARE(stored() + " | " + marked(), "1/27/6/1:0 2/27/6/6:5 E1/7/1:0 E2/7/6:5 | 2 | 498 | 6/1 7/1");
    }

    void holidayDialogAndItsSpecialNumber()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        addRows({{1, 5, 0, 0, 8, 0, 0}, {1, 2, 0, 0, 8, 0, 0}, {2, 7, 0, 0, 8, 0, 0}});
        QWidget* button = child(m_year.get(), "Button_Holiday");
        QVERIFY(!button->isEnabled() && !button->toolTip().isEmpty());
        chooseCircuit(1);
        QVERIFY(button->isEnabled());
        QDialog* dialog = openHoliday();
        QTreeWidget* list = holidays(dialog);
        const QTreeWidgetItem* first = list->topLevelItem(0);
        QCOMPARE(QStringList({dialog->windowTitle(), years(dialog)->currentText(), QString::number(years(dialog)->count()),
                              QString::number(list->topLevelItemCount()), first->text(0) + first->text(1) + first->text(2),
                              child<QRadioButton>(dialog, "Option_Action_0")->isChecked() ? "停止" : "",
                              special(dialog)->isEnabled() ? "numbers" : ""}),
                 (QStringList{"祝日設定", "2027年", "100", QString::number(NationalHolidays(2027).size()),
                              "2027年1月1日金元日", "停止", ""}));

        // A year after the announced ones says it is a forecast; the list follows the year.
        const QLabel* forecast = child<QLabel>(dialog, "Label_Forecast");
        QVERIFY(!forecast->isVisibleTo(dialog));
        years(dialog)->setCurrentIndex(years(dialog)->findText(QStringLiteral("2030年")));
        QVERIFY(forecast->isVisibleTo(dialog) && list->topLevelItemCount() == int(NationalHolidays(2030).size()));

        child<QRadioButton>(dialog, "Option_Action_1")->setChecked(true);
        QComboBox* numbers = special(dialog);
        QCOMPARE(choices(numbers) + (numbers->isEnabled() ? "" : " off"), QStringLiteral("2,5:"));
        click(dialog, "Button_OK");  // no number chosen: refused (the one message below)
        QCOMPARE(entries(), QString());

        // 編集 opens the special window on the number; closing it refills the list, keeping the number.
        numbers->setCurrentIndex(numbers->findText(QStringLiteral("5")));
        click(dialog, "Button_Edit");
        QDialog* specialWindow = opened();
        QCOMPARE(openedNumber() + '|' + child(specialWindow, "Button_Close")->toolTip(), "5|祝日設定へ戻ります。");
        addWeekRow(1, 9, 0, 0, 8, 0, 0);
        specialWindow->close();
        QCOMPARE(choices(numbers), QStringLiteral("2,5,9:5"));
        click(dialog, "Button_OK");  // nothing to replace: no question
        QCOMPARE(shownMessages(), QStringList{"祝日設定|特殊番号を指定してください。"});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND Year = 30 AND SpecialNO = 5"),
                 int(NationalHolidays(2030).size()));
    }

    // Enter on a focused button presses it; the focus starts on the list, where Enter means OK.
    void enterInTheHolidayDialog()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        chooseCircuit(1);
        QDialog* dialog = openHoliday();
        activate(dialog);
        QCOMPARE(QApplication::focusWidget(), holidays(dialog));
        child(dialog, "Button_ClearAll")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(dialog->isVisible() && holidays(dialog)->topLevelItem(0)->checkState(0) == Qt::Unchecked);
        child(dialog, "Button_SelectAll")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        holidays(dialog)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1"), int(NationalHolidays(2027).size()));
    }

    // A school year from the February page; the span switch keeps the year chosen; untick all, tick all, one step.
    void holidayDialogForASchoolYear()
    {
        calendar()->setSelectedDate(QDate(2027, 2, 10));
        chooseCircuit(1);
        QDialog* dialog = openHoliday();
        QCOMPARE(years(dialog)->currentText(), QStringLiteral("2027年"));
        click(dialog, "Option_Span_1");
        QTreeWidget* list = holidays(dialog);
        const QLabel* forecast = child<QLabel>(dialog, "Label_Forecast");
        auto shown = [&] {
            const QTreeWidgetItem* last = list->topLevelItem(list->topLevelItemCount() - 1);
            return QStringList{years(dialog)->currentText(), QString::number(years(dialog)->count()),
                               QString::number(list->topLevelItemCount()),
                               list->topLevelItem(0)->text(0) + list->topLevelItem(0)->text(2),
                               last->text(0) + last->text(2),
                               forecast->isVisibleTo(dialog) ? forecast->text().section("。", 0, 0) : ""};
        };
        QCOMPARE(shown(), (QStringList{"2026年度", "99", "19", "2026年4月29日昭和の日", "2027年3月22日振替休日", ""}));
        years(dialog)->setCurrentIndex(years(dialog)->findText(QStringLiteral("2027年度")));
        QCOMPARE(shown().last(), QStringLiteral("※2028年の祝日は予測です"));
        years(dialog)->setCurrentIndex(years(dialog)->findText(QStringLiteral("2028年度")));
        QCOMPARE(shown().last(), QStringLiteral("※この年度の祝日は予測です"));
        click(dialog, "Option_Span_0");
        QCOMPARE(shown().first() + shown().last(), QStringLiteral("2028年※この年の祝日は予測です"));
        click(dialog, "Option_Span_1");
        years(dialog)->setCurrentIndex(years(dialog)->findText(QStringLiteral("2026年度")));

        Scratch::history().clear();
        click(dialog, "Button_ClearAll");
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(), QStringList{"祝日設定|祝日を選択してください。"});
        click(dialog, "Button_SelectAll");
        click(dialog, "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND SpecialNO = 0"), 19);
        QCOMPARE(Scratch::history().undoText(), QStringLiteral("祝日設定（回路1・2026年度）"));
        QVERIFY(Scratch::history().undo() && !Scratch::history().stack().canUndo() && entries().isEmpty());

        // The span chosen last comes back; 暦年 is left chosen for the other tests.
        dialog = openHoliday();
        QCOMPARE(years(dialog)->currentText(), QStringLiteral("2026年度"));
        click(dialog, "Option_Span_0");
        click(dialog, "Button_Cancel");
    }

    // Every holiday ticked is one day too many: refused, nothing written. Without 5/5 they exactly fit.
    void writesTickedDaysReplacingEntries()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        chooseCircuit(1);
        // Another number (replaced, not counted as new), 停止 already (unchanged), another circuit (untouched).
        addRows({{1, 27, 1, 1, 3}, {1, 27, 5, 3, 0}, {2, 27, 1, 11, 4}});
        const int days = int(NationalHolidays(2027).size()) - 1;  // ticked in the end
        fillYearTo(YearCapacity - days + 2);
        const int before = count("SELECT COUNT(*) FROM T_Year");
        QDialog* dialog = openHoliday();
        click(dialog, "Button_OK");
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        holidays(dialog)->findItems("2027年5月5日", Qt::MatchExactly).value(0)->setCheckState(0, Qt::Unchecked);

        MessageBox::queueAnswer(QMessageBox::No);
        click(dialog, "Button_OK");
        QVERIFY(count("SELECT COUNT(*) FROM T_Year") == before && dialog->isVisible());

        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        QVERIFY(!dialog->isVisible());
        const QString ask = QStringLiteral("祝日設定|設定済みの1日の年間プログラムを置き換えます。\r\nよろしいですか？");
        QCOMPARE(shownMessages(),
                 (QStringList{QStringLiteral("年間プログラム設定|年間プログラムの設定可能数500を超えてしまうため作成できま"
                                             "せん。\r\n新たに設定する日は%1日、設定できるのはあと%2日です。")
                                  .arg(days - 1)
                                  .arg(days - 2),
                              ask, ask}));
        QCOMPARE(QList<int>({count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND SpecialNO = 0"),
                             count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 2 AND SpecialNO = 4"),
                             count("SELECT COUNT(*) FROM T_Year WHERE ID = 0"), count("SELECT COUNT(*) FROM T_Year")}),
                 QList<int>({days, 1, 0, YearCapacity}));  // renumbered
        QCOMPARE(programCount() + ' ' + marked(), QStringLiteral("0 4/29 5/3 5/4"));

        // Holidays are red, but not in a neighbouring month; the tooltip names the holiday, then the entry.
        const QColor red = calendar()->dateTextFormat(QDate(2027, 5, 9)).foreground().color();  // a Sunday
        QStringList formats;
        for (QDate day : {QDate(2027, 5, 3), QDate(2027, 5, 5), QDate(2027, 5, 6), QDate(2027, 4, 29)}) {
            const QTextCharFormat format = calendar()->dateTextFormat(day);
            formats << format.toolTip() + (format.foreground().color() == red ? " red " : " ") + look(format);
        }
        QCOMPARE(formats, (QStringList{"憲法記念日\n停止 red bold struck", "こどもの日 red ", " ", "昭和の日\n停止 bold struck"}));

        // A December page reaches into the next year's holidays; the tooltip follows the pointer.
        calendar()->showMonth(2026, 12);
        QWidget* grid = calendar()->dayGrid();
        const QPoint at = calendar()->dayRect(QDate(2027, 1, 1)).center();
        QHelpEvent help(QEvent::ToolTip, at, grid->mapToGlobal(at));
        QApplication::sendEvent(grid, &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("元日\n停止"));
    }

    // A named special number shows its name in the calendar's tooltip, the number lists of 日付設定, 祝日設定 and
    // 特殊プログラム作成 and the special window's title; its 名前 box renames it and keeps the name in the file.
    void namedSpecials()
    {
        QTemporaryDir dir;
        auto names = SpecialNames::NamesFile::read(dir.filePath(QStringLiteral("names.json")));
        names.names.setName(2, QStringLiteral("短縮"));
        addRows({{1, 2, 0, 0, 8, 0, 0}, {1, 3, 0, 0, 8, 0, 0}, {1, 27, 6, 8, 2}});
        m_year = std::make_unique<Form_Year>(Scratch::history(), YearWindowPlace{1, QDate(2027, 6, 1)}, nullptr, &names);
        QCOMPARE(calendar()->dateTextFormat(QDate(2027, 6, 8)).toolTip(), QStringLiteral("特殊番号 2 短縮"));
        QStringList lists;
        clickDay(QDate(2027, 6, 9));
        lists << choices(special(opened()));
        click(m_year.get(), "Button_Holiday");
        lists << choices(special(opened()));
        click(m_year.get(), "Button_Special");
        lists << choices(special(opened()));
        QCOMPARE(lists, QStringList(3, QStringLiteral("2 短縮,3:")));

        Form_Special* window = new Form_Special(Scratch::history(), 1, 3, QString(), nullptr, &names);
        m_dialogs.emplace_back(window);
        auto* name = child<QLineEdit>(window, "Text_Name");
        name->setText(QStringLiteral(" テスト "));
        emit name->editingFinished();
        QCOMPARE(window->windowTitle(), QStringLiteral("特殊プログラム（3 テスト）"));
        QCOMPARE(SpecialNames::Names::read(names.path).name(3), QStringLiteral("テスト"));
        name->setText(QString());
        emit name->editingFinished();
        QCOMPARE(window->windowTitle() + ' ' + SpecialNames::Names::read(names.path).numberText(3),
                 QStringLiteral("特殊プログラム 3"));
        closeAll();  // before the names go
        m_year.reset();
    }

    // 停止 days are struck through, days with a special number on a ground of their own, both bold; the tooltip
    // names every entry of the day (2027-06-08, circuit 1).
    void marksTellStopFromSpecial_data()
    {
        QTest::addColumn<QList<QList<int>>>("stored"); QTest::addColumn<QString>("shown");
        QTest::newRow("dated 停止") << QList<QList<int>>{{1, 27, 6, 8, 0}} << "bold struck|停止";
        QTest::newRow("dated special") << QList<QList<int>>{{1, 27, 6, 8, 3}} << "bold ground|特殊番号 3";
        QTest::newRow("every-year 停止") << QList<QList<int>>{{1, 6, 8, 0}} << "bold struck|毎年: 停止";
        QTest::newRow("every-year special") << QList<QList<int>>{{1, 6, 8, 12}} << "bold ground|毎年: 特殊番号 12";
        QTest::newRow("停止 and a special") << QList<QList<int>>{{1, 27, 6, 8, 0}, {1, 6, 8, 5}}
                                            << "bold ground|停止\n毎年: 特殊番号 5";
        QTest::newRow("another year, another circuit") << QList<QList<int>>{{1, 28, 6, 8, 3}, {2, 27, 6, 8, 0}} << "|";
    }

    void marksTellStopFromSpecial()
    {
        QFETCH(QList<QList<int>>, stored); QFETCH(QString, shown);
        addRows(stored);
        calendar()->setSelectedDate(QDate(2027, 6, 20));
        chooseCircuit(1);
        const QTextCharFormat format = calendar()->dateTextFormat(QDate(2027, 6, 8));
        QCOMPARE(look(format) + '|' + format.toolTip(), shown);
    }

    void firstFreeNumber_data()
    {
        QTest::addColumn<QList<int>>("inUse"); QTest::addColumn<int>("expected");
        QTest::newRow("none") << QList<int>{} << 1;
        QTest::newRow("gap refilled") << QList<int>{1, 2, 4} << 3;
        QTest::newRow("gap at 1") << QList<int>{2, 3} << 1;
        QList<int> all;
        for (int n = 1; n <= 98; ++n)
            all << n;
        QTest::newRow("only 99 free") << all << 99;
        QTest::newRow("all 99") << (all << 99) << 100;
    }

    void firstFreeNumber()
    {
        QFETCH(QList<int>, inUse); QFETCH(int, expected);
        for (int number : inUse)
            addWeekRow(2, number, 0, 0, 8, 0, 0);
        addWeekRow(2, 0, 1, 0, 9, 0, 0);  // week programs and other circuits do not count
        addWeekRow(1, expected, 0, 0, 9, 0, 0);
        // The select dialog opens the special window on the first free number, or refuses past 99.
        chooseCircuit(2);
        click(m_year.get(), "Button_Special");
        QDialog* select = opened();
        click(select, "Button_OK");
        const bool opens = expected <= 99;
        QCOMPARE(openedNumber(), opens ? QString::number(expected) : QStringLiteral("not open"));
        QCOMPARE(select->result() == QDialog::Accepted, opens);
        const QString refusal = QStringLiteral("特殊プログラム|設定可能最大数を超えています。特殊番号は99までです。\r\n"
                                               "不要なプログラムを削除してから設定してください。");
        QCOMPARE(shownMessages(), opens ? QStringList() : QStringList{refusal});
    }

    void openingByType()
    {
        // Mode, pulse, number, whether 複写 is offered, the dialog 新規 opens and what 時程から作成 is for.
        const QStringList expected{"報時|5秒|1|copy|Form_EditTime|回路No.1　報時　特殊番号 1",
                                   "チャイム|10秒|1|copy|Form_EditTime|回路No.2　チャイム　特殊番号 1",
                                   "タイマ|0秒|1||Form_EditTimeTimer|", "繰返し|3秒|1|||"};
        for (int circuit = 1; circuit <= 4; ++circuit) {
            closeAll();
            Form_Special* special = openSpecial(circuit, 0);
            click(special, "Button_New");
            const QString entry = m_dialogs.size() == 2 ? m_dialogs.back()->objectName() : QString();
            click(special, "Button_Bells");
            QCOMPARE(QStringList({child<QLabel>(special, "Label_Mode")->text(),
                                  child<QLabel>(special, "Label_Pulse")->text(),
                                  child<QLabel>(special, "Label_Special")->text(),
                                  child(special, "Button_Copy")->isEnabled() ? "copy" : "", entry,
                                  m_dialogs.size() == 3 ? child<QLabel>(m_dialogs.back().get(), "Label_Target")->text()
                                                        : QString()})
                         .join('|'),
                     expected[circuit - 1]);
        }
    }

    void newAndEditThroughTheEntryDialog()
    {
        // Tune 2 at the same time as tune 4 is a program of its own: it never takes over tune 4's row.
        Form_Special* special = openSpecial(2, 0);
        for (const char* tune : {"4", "2"}) {
            click(special, "Button_New");
            QCOMPARE(QList<int>({jobOf(opened()).fromWeekList() ? 1 : 2, jobOf(opened()).row.SpecialNO}), QList<int>({2, 1}));
            for (auto [box, text] :
                 {std::pair{"Text_Hour", "7"}, {"Text_Minute", "05"}, {"Text_Second", "30"}, {"Text_Chime", tune}})
                child<QLineEdit>(opened(), box)->setText(text);
            click(opened(), "Button_OK");
        }
        QCOMPARE(QList<int>({count("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = 2 AND SpecialNO = 1 AND YobiON = 0 "
                                   "AND TimeONH = 7 AND TimeONM = 5 AND TimeONS = 30 AND ChimeNO IN (2, 4)"),
                             grid(special)->rowCount(), child<QLabel>(special, "Label_ProgramCount")->text().toInt()}),
                 QList<int>({2, 2, 898}));
        QVERIFY(child(special, "Button_Undo")->isEnabled());  // no dialog under it

        grid(special)->selectRow(1);
        click(special, "Button_Edit");
        const EntryJob job = jobOf(opened());
        const WeekRow& r = job.row;
        QCOMPARE(QList<int>({job.isChange() ? -1 : 0, r.SpecialNO, r.TimeONH, r.TimeONM, r.TimeONS, r.ChimeNO,
                             job.fromWeekList() ? 1 : 2}),
                 QList<int>({-1, 1, 7, 5, 30, 4, 2}));

        // A timer's row hands over both times.
        addWeekRow(3, 2, 0, 0, 22, 0, 0, 6, 15);
        RenumberTable(Scratch::document(), "T_Week");
        Form_Special* timer = openSpecial(3, 2);
        grid(timer)->selectRow(0);
        click(timer, "Button_Edit");
        const WeekRow t = jobOf(opened()).row;
        QCOMPARE(QList<int>({t.TimeONH, t.TimeONM, t.TimeOFFH, t.TimeOFFM, t.SpecialNO}),
                 QList<int>({22, 0, 6, 15, 2}));
        QCOMPARE(m_dialogs.back()->objectName(), QStringLiteral("Form_EditTimeTimer"));
    }

    void editChoiceNeedsANumber()
    {
        addWeekRow(1, 3, 0, 0, 8, 0, 0);
        Form_SpecialSelect select(Scratch::history(), 1);
        auto* numbers = child<QComboBox>(&select, "Combo_Special");
        QCOMPARE(choices(numbers) + (numbers->isEnabled() ? " on" : " off"), QStringLiteral("3: off"));
        child<QRadioButton>(&select, "Option_Edit")->setChecked(true);
        activate(&select);
        click(&select, "Button_OK");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("特殊プログラム作成|特殊番号を指定してください。")});
        QVERIFY(QApplication::focusWidget() == numbers && m_dialogs.empty());
    }

private:
    static QComboBox* circuits(QWidget* year) { return child<QComboBox>(year, "Combo_Circuit"); }
    MonthCalendar* calendar() { return child<MonthCalendar>(m_year.get(), "MonthView1"); }
    void chooseCircuit(int circuit)
    {
        circuits(m_year.get())->setCurrentIndex(circuits(m_year.get())->findText(QString::number(circuit)));
    }
    // How a day's mark is drawn: "bold", "struck" (停止), "ground" (a special number).
    static QString look(const QTextCharFormat& format)
    {
        QStringList traits;
        if (format.fontWeight() == QFont::Bold)
            traits << "bold";
        if (format.fontStrikeOut())
            traits << "struck";
        if (format.background().style() != Qt::NoBrush)
            traits << "ground";
        return traits.join(' ');
    }
    // The marked days of the page shown, as "M/D" texts.
    QString marked()
    {
        QStringList days;
        for (int i = 0; i < MonthCalendar::ShownDays; ++i) {
            const QDate day = calendar()->firstShownDate().addDays(i);
            if (calendar()->isMarked(day))
                days << day.toString(QStringLiteral("M/d"));
        }
        return days.join(' ');
    }
    static QRadioButton* option(QWidget* dialog, int index, const char* name = "Option_Year")
    {
        return child<QRadioButton>(dialog, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index));
    }
    void drag(QDate from, QDate to, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget* grid = calendar()->dayGrid();
        for (auto [type, day] : {std::pair{QEvent::MouseButtonPress, from}, {QEvent::MouseMove, to},
                                 {QEvent::MouseButtonRelease, to}}) {
            const QPointF at = calendar()->dayRect(day).center();
            const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, at, grid->mapToGlobal(at), Qt::LeftButton, buttons, modifiers);
            QApplication::sendEvent(grid, &event);
        }
    }
    void clickDay(QDate day, Qt::KeyboardModifiers modifiers = {}) { drag(day, day, modifiers); }
    QDialog* opened()
    {
        if (m_dialogs.empty())
            qFatal("no dialog opened");
        return m_dialogs.back().get();
    }
    // The entries, the highest dated ID (their count once renumbered) and the count left.
    QString stored()
    {
        return entries() + " | " + QString::number(count("SELECT MAX(ID) FROM T_Year")) + " | " + programCount();
    }
    QString programCount() { return child<QLabel>(m_year.get(), "Label_ProgramCount")->text(); }
    // Opens 年度削除, chooses the year at `year` (none below 0) and, when told, confirms with Yes.
    QDialog* openDelete(int option, int year, bool confirm = true)
    {
        click(m_year.get(), "Button_DeleteYear");
        QDialog* dialog = opened();
        if (option >= 0)
            this->option(dialog, option, "Option_Delete")->setChecked(true);
        if (year >= 0)
            years(dialog)->setCurrentIndex(year);
        if (confirm) {
            MessageBox::queueAnswer(QMessageBox::Yes);
            click(dialog, "Button_OK");
        }
        return dialog;
    }

    static QComboBox* years(QWidget* dialog) { return child<QComboBox>(dialog, "Combo_Year"); }
    static QComboBox* special(QWidget* dialog) { return child<QComboBox>(dialog, "Combo_Special"); }
    static QTreeWidget* holidays(QWidget* dialog) { return child<QTreeWidget>(dialog, "List_Holiday"); }
    QDialog* openHoliday()
    {
        click(m_year.get(), "Button_Holiday");
        scriptDialogs();
        return opened();
    }
    // Dated rows of circuit 8 in 2050 until T_Year holds `rows` rows.
    static void fillYearTo(int rows)
    {
        Transaction filling(Scratch::document());
        for (int day = count("SELECT COUNT(*) FROM T_Year"); day < rows; ++day) {
            const QDate date = QDate(2050, 1, 1).addDays(day);
            addYearRow(8, date.year() - 2000, date.month(), date.day(), 0);
        }
        filling.commit();
    }
    // Latest first: a dialog may be the parent of the ones opened after it.
    void closeAll()
    {
        while (!m_dialogs.empty())
            m_dialogs.pop_back();
    }
    Form_Special* openSpecial(int circuit, int special)
    {
        auto* window = new Form_Special(Scratch::history(), circuit, special, QString());
        m_dialogs.emplace_back(window);
        window->show();
        return window;
    }
    static QString openedNumber()
    {
        QWidget* window = FindForm(QStringLiteral("Form_Special"));
        return window ? child<QLabel>(window, "Label_Special")->text() : QStringLiteral("not open");
    }
    static ProgramGrid* grid(QWidget* window) { return child<ProgramGrid>(window, "DataGrid1"); }

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<Form_Year> m_year;
    std::vector<std::unique_ptr<QDialog>> m_dialogs;
};

QTEST_MAIN(TestYearWindows)
#include "test_year_windows.moc"
