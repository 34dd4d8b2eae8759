#include "TestSupport.h"
#include "app/ui/WindowUtil.h"
#include "holidays/Holidays.h"
#include "special/Form_Special.h"
#include "special/ModalDialogs.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/ProgramGrid.h"
#include "year/Form_Year.h"
#include "year/MonthCalendar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace {

QString handedOverRun()
{
    const YearHandOverData& r = YearHandOver;
    return QString::asprintf("%d/%d/%d-%d/%d/%d", r.RangeFromYear, r.RangeFromMonth, r.RangeFromDay, r.RangeToYear,
                             r.RangeToMonth, r.RangeToDay);
}

QStringList items(QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// Each dated entry as "circuit/year/month/day:special", then each every-year
// one as "Ecircuit/month/day:special", in ID order.
QString entries()
{
    QStringList texts;
    QSqlQuery query = ProgramStore::exec(QStringLiteral(
        "SELECT * FROM (SELECT CircuitNO || '/' || Year || '/' || Month || '/' || Day || ':' || SpecialNO "
        "FROM T_Year ORDER BY ID) UNION ALL SELECT * FROM (SELECT 'E' || CircuitNO || '/' || Month || '/' || Day "
        "|| ':' || SpecialNO FROM T_YearE ORDER BY ID)"));
    while (query.next())
        texts << query.value(0).toString();
    return texts.join(' ');
}

}  // namespace

class TestYearWindows : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        setOneCircuitOfEachType();
        setCircuit(6, 3, 0);
        ModalDialogs::setRunner([this](QDialog* dialog) {
            m_dialogs.emplace_back(dialog);
            dialog->show();
        });
        m_year = std::make_unique<Form_Year>();
        m_year->show();
    }

    void cleanup()
    {
        ModalDialogs::setRunner({});
        while (!m_dialogs.empty())  // latest first: a dialog may be the parent of later ones
            m_dialogs.pop_back();
        m_year.reset();
        m_store.reset();
    }

    void withoutACircuit()
    {
        addYearRow(1, 27, 1, 1, 0);
        addEveryYearRow(1, 1, 2, 0);
        m_year = std::make_unique<Form_Year>();
        QCOMPARE(items(circuits(m_year.get())), (QStringList{"1", "2", "3", "6"}));
        QCOMPARE(circuits(m_year.get())->currentIndex(), -1);
        QCOMPARE(programCount(), QStringLiteral("499"));
        QCOMPARE(calendar()->selectedDate(), QDate::currentDate());
        QCOMPARE(QList<QDate>({calendar()->minimumDate(), calendar()->maximumDate()}),
                 QList<QDate>({QDate(2000, 1, 1), QDate(2099, 12, 31)}));

        // Paging keeps the selection, nothing is marked, and every command asks for a circuit first.
        calendar()->setSelectedDate(QDate(2027, 2, 10));
        click(calendar(), "MonthView1_Previous");
        QCOMPARE(calendar()->selectedDate(), QDate(2027, 2, 10));
        QCOMPARE(marked(), QString());
        activate(m_year.get());
        child(m_year.get(), "Button_Close")->setFocus();
        clickDay(QDate(2027, 1, 3));
        click(m_year.get(), "Button_Special");
        click(m_year.get(), "Button_DeleteYear");
        QCOMPARE(QApplication::focusWidget(), circuits(m_year.get()));
        const QString ask = QStringLiteral("年間プログラム|回路を指定してください。");
        QCOMPARE(shownMessages(), (QStringList{ask, ask, ask}));
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QVERIFY(m_dialogs.empty());
    }

    // A page reaches into the year before or after: every-year entries show in both.
    void turningThePage()
    {
        addEveryYearRow(1, 2, 29, 0);
        addEveryYearRow(1, 1, 2, 3);
        addYearRow(1, 27, 12, 30, 0);
        addYearRow(1, 28, 1, 15, 4);
        addYearRow(2, 28, 1, 16, 0);  // circuit 2's entries never show
        addEveryYearRow(2, 2, 28, 0);
        calendar()->setSelectedDate(QDate(2027, 2, 10));
        chooseCircuit(1);
        click(calendar(), "MonthView1_Next");
        QCOMPARE(calendar()->selectionStart(), QDate(2027, 3, 1));
        QCOMPARE(calendar()->selectedDate(), QDate(2027, 3, 1));
        QCOMPARE(marked(), QString());  // 2027 has no leap day
        child<QSpinBox>(calendar(), "MonthView1_Year")->setValue(2028);
        QCOMPARE(calendar()->selectionEnd(), QDate(2028, 3, 1));
        QCOMPARE(marked(), QStringLiteral("2/29"));
        child<QComboBox>(calendar(), "MonthView1_Month")->setCurrentIndex(0);
        QCOMPARE(marked(), QStringLiteral("12/30 1/2 1/15"));
        calendar()->showMonth(2027, 12);
        QCOMPARE(marked(), QStringLiteral("12/30 1/2"));
        chooseCircuit(2);  // another circuit's marks replace them
        QCOMPARE(marked(), QString());
    }

    void dateDialogForOneDay()
    {
        addWeekRow(1, 2, 0, 0, 8, 0, 0);
        addYearRow(1, 27, 8, 5, 7);  // special 7 has no programs
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2027, 8, 1));
        clickDay(QDate(2027, 8, 3));
        QDialog* dialog = opened();
        QCOMPARE(child<QLabel>(dialog, "Label_Date")->text(), QStringLiteral("2027年8月3日"));
        QCOMPARE(items(years(dialog)), (QStringList{"毎年", "27年"}));
        QCOMPARE(years(dialog)->currentIndex(), 1);
        QVERIFY(option(dialog, 0)->isChecked());
        QVERIFY(!special(dialog)->isEnabled());
        option(dialog, 1)->setChecked(true);
        click(dialog, "Button_OK");
        QVERIFY(dialog->isHidden());
        QCOMPARE(entries(), QStringLiteral("1/27/8/3:0 1/27/8/5:7"));
        QCOMPARE(marked(), QStringLiteral("8/3 8/5"));
        QCOMPARE(programCount(), QStringLiteral("498"));

        clickDay(QDate(2027, 8, 3));
        dialog = opened();
        QVERIFY(option(dialog, 1)->isChecked());
        years(dialog)->setCurrentIndex(0);
        QCOMPARE(child<QLabel>(dialog, "Label_Date")->text(), QStringLiteral("8月3日"));
        QVERIFY(option(dialog, 0)->isChecked());

        // 設定なし in the year removes the entry again.
        years(dialog)->setCurrentIndex(1);
        option(dialog, 0)->setChecked(true);
        click(dialog, "Button_OK");
        QCOMPARE(entries(), QStringLiteral("1/27/8/5:7"));
        QCOMPARE(marked(), QStringLiteral("8/5"));
        QCOMPARE(programCount(), QStringLiteral("499"));

        // A stored number without programs stays chosen and is written back.
        clickDay(QDate(2027, 8, 5));
        dialog = opened();
        QVERIFY(option(dialog, 2)->isChecked());
        QCOMPARE(items(special(dialog)), (QStringList{"2", "7（プログラムなし）"}));
        QCOMPARE(special(dialog)->currentData().toInt(), 7);
        click(dialog, "Button_OK");
        QCOMPARE(entries(), QStringLiteral("1/27/8/5:7"));
    }

    // Circuit 2 is the second in the list, so a list index taken for the circuit shows.
    void choosingRuns()
    {
        addWeekRow(2, 4, 0, 0, 8, 0, 0);
        chooseCircuit(2);
        calendar()->setSelectedDate(QDate(2026, 12, 10));
        clickDay(QDate(2026, 12, 28));
        QCOMPARE(handedOverRun(), QStringLiteral("26/12/28-26/12/28"));
        QCOMPARE(opened()->objectName(), QStringLiteral("Form_EditYear"));
        QCOMPARE(EditRequest.CircuitNO, qint16(2));
        opened()->reject();  // one date dialog open at a time, as when modal

        // A drag onto January's tail hands over both years and turns the page, keeping the run.
        drag(QDate(2026, 12, 28), QDate(2027, 1, 3));
        QCOMPARE(handedOverRun(), QStringLiteral("26/12/28-27/1/3"));
        QCOMPARE(calendar()->monthShown(), 1);
        QCOMPARE(calendar()->selectionStart(), QDate(2026, 12, 28));
        QCOMPARE(calendar()->selectionEnd(), QDate(2027, 1, 3));
        QDialog* dialog = opened();
        QCOMPARE(child<QLabel>(dialog, "Label_Date")->text(), QStringLiteral("2026年12月28日～2027年1月3日"));
        QVERIFY(!option(dialog, 0)->isChecked() && !option(dialog, 1)->isChecked() && !option(dialog, 2)->isChecked());
        option(dialog, 2)->setChecked(true);
        QCOMPARE(items(special(dialog)), QStringList{"4"});
        QCOMPARE(special(dialog)->currentIndex(), -1);
        QVERIFY(child(dialog, "Button_Edit")->isEnabled());

        // 新規 opens the special window on the first free number and comes back with it chosen.
        click(dialog, "Button_New");
        QDialog* specialWindow = opened();
        QCOMPARE(child<QLabel>(specialWindow, "Label_Special")->text(), QStringLiteral("1"));
        QCOMPARE(child(specialWindow, "Button_Close")->toolTip(), QStringLiteral("日付設定へ戻ります。"));
        click(specialWindow, "Button_New");
        child<QLineEdit>(opened(), "Text_Hour")->setText("12");
        child<QLineEdit>(opened(), "Text_Chime")->setText("1");
        click(opened(), "Button_OK");
        click(specialWindow, "Button_Close");
        QCOMPARE(items(special(dialog)), (QStringList{"1", "4"}));
        QCOMPARE(special(dialog)->currentText(), QStringLiteral("1"));
        special(dialog)->setCurrentIndex(-1);
        click(dialog, "Button_OK");  // no number chosen: nothing written
        QCOMPARE(entries(), QString());

        // Backwards, every year.
        drag(QDate(2027, 1, 4), QDate(2027, 1, 2));
        dialog = opened();
        years(dialog)->setCurrentIndex(0);
        QCOMPARE(child<QLabel>(dialog, "Label_Date")->text(), QStringLiteral("1月2日～1月4日"));
        option(dialog, 2)->setChecked(true);
        special(dialog)->setCurrentIndex(special(dialog)->findText(QStringLiteral("4")));
        click(dialog, "Button_OK");
        QCOMPARE(entries(), QStringLiteral("E2/1/2:4 E2/1/3:4 E2/1/4:4"));
        QCOMPARE(marked(), QStringLiteral("1/2 1/3 1/4"));
        QCOMPARE(programCount(), QStringLiteral("500"));

        // Shift-click runs from the last clicked day, backwards too.
        clickDay(QDate(2027, 1, 20));
        clickDay(QDate(2027, 1, 14), Qt::ShiftModifier);
        QCOMPARE(handedOverRun(), QStringLiteral("27/1/14-27/1/20"));
    }

    void capacityStopsARunWithItsMessage_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("message");
        QTest::newRow("stop, A") << 1 << "年間プログラム設定|年間プログラムの設定可能数を500超えてしまうため作成できません。";
        QTest::newRow("special, B") << 2 << "年間プログラム設定|年間プログラムの設定可能数500を超えてしまうため作成できません。";
    }

    void capacityStopsARunWithItsMessage()
    {
        QFETCH(int, option);
        QFETCH(QString, message);
        addWeekRow(1, 1, 0, 0, 8, 0, 0);
        fillYearTo(495);
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2027, 8, 1));
        drag(QDate(2027, 8, 2), QDate(2027, 8, 8));
        QDialog* dialog = opened();
        this->option(dialog, option)->setChecked(true);
        special(dialog)->setCurrentIndex(0);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(), QStringList{message});
        QVERIFY(dialog->isHidden());
        QCOMPARE(marked(), QStringLiteral("8/2 8/3 8/4 8/5 8/6"));
        QCOMPARE(programCount(), QStringLiteral("0"));
    }

    void deletingByYear()
    {
        for (int circuit : {1, 2}) {
            addYearRow(circuit, 26, 5, 1, 0);
            addYearRow(circuit, 27, 5, 1, 0);
            addEveryYearRow(circuit, 1, 1, 0);
        }
        chooseCircuit(1);
        QDialog* dialog = openDelete(-1, -1, false);
        activate(dialog);
        QComboBox* yearList = years(dialog);
        QCOMPARE(items(yearList), (QStringList{"毎年", "26年", "27年"}));
        QCOMPARE(yearList->currentIndex(), -1);
        QVERIFY(!yearList->isEnabled());
        option(dialog, 1, "Option_Delete")->setChecked(true);
        QVERIFY(yearList->isEnabled());
        click(dialog, "Button_OK");  // no year chosen
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), yearList);

        yearList->setCurrentIndex(1);
        MessageBox::queueAnswer(QMessageBox::No);
        click(dialog, "Button_OK");
        QCOMPARE(QApplication::focusWidget(), child(dialog, "Button_Cancel"));
        QCOMPARE(YearRowCount(), 4);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        const QString ask = QStringLiteral("年間プログラムの削除|回路1 2026年 のデータをすべて消去してもよろしいですか？");
        QCOMPARE(shownMessages(), (QStringList{QStringLiteral("年間プログラムの削除|削除する年を選択してください。"), ask,
                                               ask, QStringLiteral("年間プログラムの削除|回路1 2026年 のデータを消去しました。")}));
        QVERIFY(dialog->isHidden());
        QCOMPARE(entries(), QStringLiteral("1/27/5/1:0 2/26/5/1:0 2/27/5/1:0 E1/1/1:0 E2/1/1:0"));
        QCOMPARE(programCount(), QStringLiteral("497"));

        openDelete(1, 0);
        QCOMPARE(shownMessages().last(), QStringLiteral("年間プログラムの削除|回路1 毎年 のデータを消去しました。"));
        QCOMPARE(entries(), QStringLiteral("1/27/5/1:0 2/26/5/1:0 2/27/5/1:0 E2/1/1:0"));

        // 全削除 takes what is left of this circuit only, and clears the year choice.
        addEveryYearRow(1, 1, 1, 0);
        dialog = openDelete(1, 0, false);
        option(dialog, 0, "Option_Delete")->setChecked(true);
        QCOMPARE(years(dialog)->currentIndex(), -1);
        MessageBox::clearShown();
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(),
                 (QStringList{QStringLiteral("年間プログラムの削除|回路1 のデータをすべて消去してもよろしいですか？"),
                              QStringLiteral("年間プログラムの削除|回路1 のデータを消去しました。")}));
        QCOMPARE(entries(), QStringLiteral("2/26/5/1:0 2/27/5/1:0 E2/1/1:0"));
        QCOMPARE(programCount(), QStringLiteral("498"));

        dialog = openDelete(-1, -1, false);
        MessageBox::clearShown();
        click(dialog, "Button_OK");
        QVERIFY(dialog->isHidden());
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("年間プログラムの削除|削除するデータがありません。")});
    }

    // Deleting a number's last program, one by one or with 全削除, takes its year entries and marks along.
    void deletingTheLastSpecialProgram()
    {
        addWeekRow(1, 5, 0, 0, 8, 0, 0);
        addWeekRow(1, 5, 0, 0, 9, 0, 0);
        addWeekRow(1, 6, 0, 0, 9, 0, 0);
        addWeekRow(2, 5, 0, 0, 9, 0, 0);
        RenumberTable("T_Week");
        for (auto [circuit, special] : {std::pair{1, 5}, {1, 6}, {2, 5}, {1, 0}}) {
            addYearRow(circuit, 27, 6, 1 + special, special);
            addEveryYearRow(circuit, 7, 1 + special, special);
        }
        UpdateYearProgramCount();
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
        QCOMPARE(entries(), before);
        QCOMPARE(grid->rowCount(), 1);
        grid->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(five, "Button_Delete");
        const QString ask = QStringLiteral("特殊プログラム|削除しますか？");
        QCOMPARE(shownMessages(), (QStringList{ask, ask, QStringLiteral("特殊プログラム|特殊番号5 は削除されます。")}));
        QCOMPARE(entries(), QStringLiteral("1/27/6/1:0 1/27/6/7:6 2/27/6/6:5 E1/7/1:0 E1/7/7:6 E2/7/6:5"));
        QCOMPARE(child<QLabel>(five, "Label_ProgramCount")->text(), QStringLiteral("898"));
        QCOMPARE(programCount(), QStringLiteral("497"));
        QCOMPARE(marked(), QStringLiteral("6/1 6/7 7/1 7/7"));

        EditRequest.SpecialNO = 6;
        auto* six = new Form_Special;
        m_dialogs.emplace_back(six);
        MessageBox::clearShown();
        click(six, "Button_AllDelete");  // No is the default answer
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE SpecialNO = 6"), 1);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(six, "Button_AllDelete");
        QCOMPARE(MessageBox::shown().first().defaultButton, QMessageBox::No);
        QCOMPARE(shownMessages().last(),
                 QStringLiteral("特殊プログラム|回路No.1 特殊番号6 の特殊プログラムをすべて削除しました。"));
        QCOMPARE(entries(), QStringLiteral("1/27/6/1:0 2/27/6/6:5 E1/7/1:0 E2/7/6:5"));
        QCOMPARE(count("SELECT MAX(ID) FROM T_Year"), 2);  // renumbered
        QCOMPARE(programCount(), QStringLiteral("498"));
        QCOMPARE(marked(), QStringLiteral("6/1 7/1"));
    }

    void holidayDialogAndItsSpecialNumber()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        addWeekRow(1, 5, 0, 0, 8, 0, 0);
        addWeekRow(1, 2, 0, 0, 8, 0, 0);
        addWeekRow(2, 7, 0, 0, 8, 0, 0);
        auto* button = child<QAbstractButton>(m_year.get(), "Button_Holiday");
        QVERIFY(!button->isEnabled());
        QVERIFY(!button->toolTip().isEmpty());
        chooseCircuit(1);
        QVERIFY(button->isEnabled());
        QDialog* dialog = openHoliday();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("祝日設定"));
        QCOMPARE(years(dialog)->currentText(), QStringLiteral("2027年"));
        QCOMPARE(years(dialog)->count(), 100);
        QTreeWidget* list = holidays(dialog);
        QCOMPARE(list->topLevelItemCount(), int(NationalHolidays(2027).size()));
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            QCOMPARE(list->topLevelItem(row)->checkState(0), Qt::Checked);
        QCOMPARE(list->topLevelItem(0)->text(0) + list->topLevelItem(0)->text(1) + list->topLevelItem(0)->text(2),
                 QStringLiteral("1月1日金元日"));
        QVERIFY(child<QRadioButton>(dialog, "Option_Action_0")->isChecked());
        QVERIFY(!special(dialog)->isEnabled());

        // A year after the announced ones says it is a forecast; the list follows the year.
        const QLabel* forecast = child<QLabel>(dialog, "Label_Forecast");
        QVERIFY(!forecast->isVisibleTo(dialog));
        years(dialog)->setCurrentIndex(years(dialog)->findText(QStringLiteral("2030年")));
        QVERIFY(forecast->isVisibleTo(dialog));
        QCOMPARE(list->topLevelItemCount(), int(NationalHolidays(2030).size()));

        child<QRadioButton>(dialog, "Option_Action_1")->setChecked(true);
        QComboBox* numbers = special(dialog);
        QVERIFY(numbers->isEnabled());
        QCOMPARE(items(numbers), (QStringList{"2", "5"}));
        QCOMPARE(numbers->currentIndex(), -1);
        click(dialog, "Button_OK");  // no number chosen
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("祝日設定|特殊番号を指定してください。")});
        QCOMPARE(entries(), QString());

        // 編集 opens the special window on the number; closing it refills the list, keeping the number.
        numbers->setCurrentIndex(numbers->findText(QStringLiteral("5")));
        click(dialog, "Button_Edit");
        QDialog* specialWindow = opened();
        QCOMPARE(child<QLabel>(specialWindow, "Label_Special")->text(), QStringLiteral("5"));
        QCOMPARE(child(specialWindow, "Button_Close")->toolTip(), QStringLiteral("祝日設定へ戻ります。"));
        addWeekRow(1, 9, 0, 0, 8, 0, 0);
        specialWindow->close();
        QCOMPARE(numbers->count(), 3);
        QCOMPARE(numbers->currentText(), QStringLiteral("5"));
        click(dialog, "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND Year = 30 AND SpecialNO = 5"),
                 int(NationalHolidays(2030).size()));
    }

    void writesTickedDaysReplacingEntries()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        chooseCircuit(1);
        addYearRow(1, 27, 1, 1, 3);  // another number: replaced
        addYearRow(1, 27, 5, 3, 0);  // already 停止: unchanged
        addYearRow(2, 27, 1, 11, 4);  // another circuit: untouched
        QDialog* dialog = openHoliday();
        for (int row = 0; row < holidays(dialog)->topLevelItemCount(); ++row)
            if (holidays(dialog)->topLevelItem(row)->data(0, Qt::UserRole).toDate() == QDate(2027, 5, 5))
                holidays(dialog)->topLevelItem(row)->setCheckState(0, Qt::Unchecked);
        const int days = int(NationalHolidays(2027).size()) - 1;

        MessageBox::queueAnswer(QMessageBox::No);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("祝日設定|設定済みの1日の年間プログラムを置き換えます。\r\n"
                                                             "よろしいですか？")});
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year"), 3);
        QVERIFY(dialog->isVisible());

        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND SpecialNO = 0"), days);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 2 AND SpecialNO = 4"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE ID = 0"), 0);  // renumbered
        QCOMPARE(programCount(), QString::number(500 - days - 1));
        QCOMPARE(marked(), QStringLiteral("4/29 5/3 5/4"));

        // Holidays are red, marks bold, a neighbouring month's days grey; the tooltip names the holiday.
        const QColor red = calendar()->dateTextFormat(QDate(2027, 5, 9)).foreground().color();  // a Sunday
        const struct {
            QDate day;
            QString tip;
            bool isRed;
            bool bold;
        } cases[] = {
            {QDate(2027, 5, 3), QStringLiteral("憲法記念日"), true, true},
            {QDate(2027, 5, 5), QStringLiteral("こどもの日"), true, false},
            {QDate(2027, 5, 6), QString(), false, false},
            {QDate(2027, 4, 29), QStringLiteral("昭和の日"), false, true},
        };
        for (const auto& c : cases) {
            const QTextCharFormat format = calendar()->dateTextFormat(c.day);
            QCOMPARE(format.toolTip(), c.tip);
            QCOMPARE(format.foreground().color() == red, c.isRed);
            QCOMPARE(format.fontWeight() == QFont::Bold, c.bold);
        }

        // A December page reaches into the next year's holidays; the tooltip follows the pointer.
        calendar()->showMonth(2026, 12);
        QWidget* grid = calendar()->dayGrid();
        const QPoint at = calendar()->dayRect(QDate(2027, 1, 1)).center();
        QHelpEvent help(QEvent::ToolTip, at, grid->mapToGlobal(at));
        QApplication::sendEvent(grid, &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("元日"));
    }

    void allOrNothingAtTheCapacityEdge_data()
    {
        QTest::addColumn<int>("spare");
        QTest::addColumn<bool>("written");
        QTest::newRow("exactly fits") << 0 << true;
        QTest::newRow("one short") << -1 << false;
    }

    void allOrNothingAtTheCapacityEdge()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        QFETCH(int, spare);
        QFETCH(bool, written);
        chooseCircuit(1);
        addYearRow(1, 27, 1, 1, 0);  // rewritten, so not counted
        const int toAdd = int(NationalHolidays(2027).size()) - 1;
        fillYearTo(YearCapacity - toAdd - spare);
        const int before = count("SELECT COUNT(*) FROM T_Year");
        QDialog* dialog = openHoliday();
        click(dialog, "Button_OK");
        if (written) {
            QVERIFY(shownMessages().isEmpty());
            QCOMPARE(count("SELECT COUNT(*) FROM T_Year"), YearCapacity);
            return;
        }
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("年間プログラム設定|年間プログラムの設定可能数500を超えてしまうため作成できません。\r\n"
                                            "新たに設定する日は%1日、設定できるのはあと%2日です。")
                                 .arg(toAdd)
                                 .arg(toAdd - 1)});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year"), before);
        QVERIFY(dialog->isVisible());
    }

private:
    static QComboBox* circuits(QWidget* year) { return child<QComboBox>(year, "Combo_Circuit"); }
    MonthCalendar* calendar() { return child<MonthCalendar>(m_year.get(), "MonthView1"); }
    void chooseCircuit(int circuit)
    {
        circuits(m_year.get())->setCurrentIndex(circuits(m_year.get())->findText(QString::number(circuit)));
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
    // Presses the mouse on `from`, moves it to `to` and releases it there.
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
        Transaction filling;
        for (int day = count("SELECT COUNT(*) FROM T_Year"); day < rows; ++day) {
            const QDate date = QDate(2050, 1, 1).addDays(day);
            addYearRow(8, date.year() - 2000, date.month(), date.day(), 0);
        }
        filling.commit();
    }

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<Form_Year> m_year;
    std::vector<std::unique_ptr<QDialog>> m_dialogs;
};

QTEST_MAIN(TestYearWindows)
#include "test_year_windows.moc"
