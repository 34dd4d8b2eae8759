#include "TestSupport.h"
#include "holidays/Holidays.h"
#include "app/ui/WindowUtil.h"
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
#include <QPushButton>
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

    void opening()
    {
        addYearRow(1, 27, 1, 1, 0);
        addEveryYearRow(1, 1, 2, 0);
        Form_Year year;
        QCOMPARE(items(circuits(&year)), (QStringList{"1", "2", "3", "6"}));
        QCOMPARE(circuits(&year)->currentIndex(), -1);
        QCOMPARE(child<QLabel>(&year, "Label_ProgramCount")->text(), QStringLiteral("499"));
        auto* view = child<MonthCalendar>(&year, "MonthView1");
        QCOMPARE(view->selectedDate(), QDate::currentDate());
        QCOMPARE(view->minimumDate(), QDate(2000, 1, 1));
        QCOMPARE(view->maximumDate(), QDate(2099, 12, 31));
        view->setSelectedDate(QDate(2027, 1, 10));
        QVERIFY(!view->isMarked(QDate(2027, 1, 1)));  // no circuit chosen
    }

    void everyCommandNeedsACircuit()
    {
        const std::function<void()> actions[] = {[this] { clickDay(QDate::currentDate()); },
                                                 [this] { click(m_year.get(), "Button_Special"); },
                                                 [this] { click(m_year.get(), "Button_DeleteYear"); }};
        activate(m_year.get());
        for (const auto& action : actions) {
            MessageBox::clearShown();
            child(m_year.get(), "Button_Close")->setFocus();
            action();
            QCOMPARE(shownMessages(), QStringList{QStringLiteral("年間プログラム|回路を指定してください。")});
            QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
            QCOMPARE(QApplication::focusWidget(), circuits(m_year.get()));
        }
        QVERIFY(m_dialogs.empty());
    }

    void choosingDaysAndRuns()
    {
        chooseCircuit(2);
        calendar()->setSelectedDate(QDate(2026, 12, 10));
        clickDay(QDate(2026, 12, 28));
        QCOMPARE(handedOverRun(), QStringLiteral("26/12/28-26/12/28"));
        QCOMPARE(opened()->objectName(), QStringLiteral("Form_EditYear"));
        QCOMPARE(EditRequest.CircuitNO, qint16(2));

        // A drag onto January's tail hands over both years and turns the page, keeping the run.
        drag(QDate(2026, 12, 28), QDate(2027, 1, 3));
        QCOMPARE(handedOverRun(), QStringLiteral("26/12/28-27/1/3"));
        QCOMPARE(calendar()->monthShown(), 1);
        QCOMPARE(calendar()->selectionStart(), QDate(2026, 12, 28));
        QCOMPARE(calendar()->selectionEnd(), QDate(2027, 1, 3));

        // Shift-click runs from the last clicked day, backwards too.
        clickDay(QDate(2027, 1, 20));
        clickDay(QDate(2027, 1, 14), Qt::ShiftModifier);
        QCOMPARE(handedOverRun(), QStringLiteral("27/1/14-27/1/20"));
        QCOMPARE(m_dialogs.size(), size_t(4));
    }

    void turningThePage()
    {
        addEveryYearRow(1, 2, 29, 0);
        addYearRow(1, 28, 1, 15, 0);
        calendar()->setSelectedDate(QDate(2027, 3, 10));
        click(calendar(), "MonthView1_Previous");  // without a circuit the selection stays
        QCOMPARE(calendar()->selectedDate(), QDate(2027, 3, 10));
        chooseCircuit(1);
        QVERIFY(!calendar()->isMarked(QDate(2027, 2, 28)));
        click(calendar(), "MonthView1_Next");
        QCOMPARE(calendar()->selectionStart(), QDate(2027, 3, 1));
        QCOMPARE(calendar()->selectedDate(), QDate(2027, 3, 1));
        child<QSpinBox>(calendar(), "MonthView1_Year")->setValue(2028);
        QCOMPARE(calendar()->selectionEnd(), QDate(2028, 3, 1));
        QVERIFY(calendar()->isMarked(QDate(2028, 2, 29)));
        child<QComboBox>(calendar(), "MonthView1_Month")->setCurrentIndex(0);
        QVERIFY(calendar()->isMarked(QDate(2028, 1, 15)));
        QVERIFY(!calendar()->isMarked(QDate(2028, 1, 16)));
        chooseCircuit(2);  // another circuit's marks replace them
        QVERIFY(!calendar()->isMarked(QDate(2028, 1, 15)));
    }

    void dateDialogForOneDay()
    {
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2027, 8, 1));
        clickDay(QDate(2027, 8, 3));
        QDialog* dialog = opened();
        QCOMPARE(child<QLabel>(dialog, "Label_Date")->text(), QStringLiteral("2027年8月3日"));
        QCOMPARE(items(child<QComboBox>(dialog, "Combo_Year")), (QStringList{"毎年", "27年"}));
        QCOMPARE(child<QComboBox>(dialog, "Combo_Year")->currentIndex(), 1);
        QVERIFY(option(dialog, 0)->isChecked());
        QVERIFY(!child(dialog, "Combo_Special")->isEnabled());
        option(dialog, 1)->setChecked(true);
        click(dialog, "Button_OK");
        QVERIFY(dialog->isHidden());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND Year = 27 AND Month = 8 AND Day = 3 "
                       "AND SpecialNO = 0"),
                 1);
        QVERIFY(calendar()->isMarked(QDate(2027, 8, 3)));
        QCOMPARE(programCount(), QStringLiteral("499"));

        clickDay(QDate(2027, 8, 3));
        dialog = opened();
        QVERIFY(option(dialog, 1)->isChecked());
        child<QComboBox>(dialog, "Combo_Year")->setCurrentIndex(0);
        QCOMPARE(child<QLabel>(dialog, "Label_Date")->text(), QStringLiteral("8月3日"));
        QVERIFY(option(dialog, 0)->isChecked());

        // 設定なし in the year removes the entry again.
        child<QComboBox>(dialog, "Combo_Year")->setCurrentIndex(1);
        option(dialog, 0)->setChecked(true);
        click(dialog, "Button_OK");
        QCOMPARE(YearRowCount(), 0);
        QVERIFY(!calendar()->isMarked(QDate(2027, 8, 3)));
        QCOMPARE(programCount(), QStringLiteral("500"));
    }

    void dateDialogForARun()
    {
        addWeekRow(1, 4, 0, 0, 8, 0, 0);
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2026, 12, 1));
        drag(QDate(2026, 12, 28), QDate(2027, 1, 3));
        QDialog* dialog = opened();
        QCOMPARE(child<QLabel>(dialog, "Label_Date")->text(), QStringLiteral("2026年12月28日～2027年1月3日"));
        QVERIFY(!option(dialog, 0)->isChecked() && !option(dialog, 1)->isChecked() && !option(dialog, 2)->isChecked());
        option(dialog, 2)->setChecked(true);
        auto* specials = child<QComboBox>(dialog, "Combo_Special");
        QCOMPARE(items(specials), QStringList{"4"});
        QCOMPARE(specials->currentIndex(), -1);
        QVERIFY(child(dialog, "Button_Edit")->isEnabled());
        click(dialog, "Button_OK");  // no number chosen: nothing written
        QCOMPARE(YearRowCount(), 0);

        drag(QDate(2027, 1, 4), QDate(2027, 1, 2));
        dialog = opened();
        child<QComboBox>(dialog, "Combo_Year")->setCurrentIndex(0);
        QCOMPARE(child<QLabel>(dialog, "Label_Date")->text(), QStringLiteral("1月2日～1月4日"));
        option(dialog, 2)->setChecked(true);
        child<QComboBox>(dialog, "Combo_Special")->setCurrentIndex(0);
        click(dialog, "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_YearE WHERE CircuitNO = 1 AND SpecialNO = 4"), 3);
        QVERIFY(calendar()->isMarked(QDate(2027, 1, 3)));
        QCOMPARE(programCount(), QStringLiteral("500"));
    }

    void storedNumberWithoutProgramsIsKept()
    {
        addWeekRow(1, 2, 0, 0, 8, 0, 0);
        addYearRow(1, 27, 5, 5, 7);  // special 7 has no programs
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2027, 5, 1));
        clickDay(QDate(2027, 5, 5));
        QDialog* dialog = opened();
        QVERIFY(option(dialog, 2)->isChecked());
        auto* specials = child<QComboBox>(dialog, "Combo_Special");
        QCOMPARE(items(specials), (QStringList{"2", "7（プログラムなし）"}));
        QCOMPARE(specials->currentData().toInt(), 7);
        click(dialog, "Button_OK");
        QCOMPARE(count("SELECT SpecialNO FROM T_Year"), 7);
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
        child<QComboBox>(dialog, "Combo_Special")->setCurrentIndex(0);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(), QStringList{message});
        QVERIFY(dialog->isHidden());
        QVERIFY(calendar()->isMarked(QDate(2027, 8, 6)));
        QVERIFY(!calendar()->isMarked(QDate(2027, 8, 7)));
        QCOMPARE(programCount(), QStringLiteral("0"));
    }

    void newSpecialNumberFromTheDateDialog()
    {
        addWeekRow(1, 1, 0, 0, 8, 0, 0);
        addWeekRow(1, 3, 0, 0, 8, 0, 0);
        chooseCircuit(1);
        clickDay(calendar()->selectedDate());
        QDialog* dialog = opened();
        option(dialog, 2)->setChecked(true);
        click(dialog, "Button_New");
        QDialog* special = opened();
        QCOMPARE(child<QLabel>(special, "Label_Special")->text(), QStringLiteral("2"));
        QCOMPARE(child(special, "Button_Close")->toolTip(), QStringLiteral("日付設定へ戻ります。"));
        click(special, "Button_New");
        QDialog* entry = opened();
        child<QLineEdit>(entry, "Text_Hour")->setText("12");
        click(entry, "Button_OK");
        click(special, "Button_Close");
        auto* specials = child<QComboBox>(dialog, "Combo_Special");
        QCOMPARE(items(specials), (QStringList{"1", "2", "3"}));
        QCOMPARE(specials->currentText(), QStringLiteral("2"));
        QVERIFY(child(dialog, "Button_Edit")->isEnabled());
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
        auto* years = child<QComboBox>(dialog, "Combo_Year");
        QCOMPARE(items(years), (QStringList{"毎年", "26年", "27年"}));
        QCOMPARE(years->currentIndex(), -1);
        QVERIFY(!years->isEnabled());
        option(dialog, 1, "Option_Delete")->setChecked(true);
        QVERIFY(years->isEnabled());
        click(dialog, "Button_OK");  // no year chosen
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("年間プログラムの削除|削除する年を選択してください。")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), years);

        years->setCurrentIndex(1);
        MessageBox::clearShown();
        MessageBox::queueAnswer(QMessageBox::No);
        click(dialog, "Button_OK");
        QCOMPARE(QApplication::focusWidget(), child(dialog, "Button_Cancel"));
        QCOMPARE(YearRowCount(), 4);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        const QString ask = QStringLiteral("年間プログラムの削除|回路1 2026年 のデータをすべて消去してもよろしいですか？");
        QCOMPARE(shownMessages(),
                 (QStringList{ask, ask, QStringLiteral("年間プログラムの削除|回路1 2026年 のデータを消去しました。")}));
        QVERIFY(dialog->isHidden());
        QCOMPARE(entries(), QStringLiteral("1/27 2/26 2/27 E1 E2"));
        QCOMPARE(programCount(), QStringLiteral("497"));

        openDelete(1, 0);
        QCOMPARE(shownMessages().last(), QStringLiteral("年間プログラムの削除|回路1 毎年 のデータを消去しました。"));
        QCOMPARE(entries(), QStringLiteral("1/27 2/26 2/27 E2"));
        QCOMPARE(programCount(), QStringLiteral("497"));

        // 全削除 takes what is left of this circuit only, and clears the year choice.
        addEveryYearRow(1, 1, 1, 0);
        dialog = openDelete(1, 0, false);
        option(dialog, 0, "Option_Delete")->setChecked(true);
        QCOMPARE(child<QComboBox>(dialog, "Combo_Year")->currentIndex(), -1);
        MessageBox::clearShown();
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(),
                 (QStringList{QStringLiteral("年間プログラムの削除|回路1 のデータをすべて消去してもよろしいですか？"),
                              QStringLiteral("年間プログラムの削除|回路1 のデータを消去しました。")}));
        QCOMPARE(entries(), QStringLiteral("2/26 2/27 E2"));
        QCOMPARE(programCount(), QStringLiteral("498"));

        dialog = openDelete(-1, -1, false);
        MessageBox::clearShown();
        click(dialog, "Button_OK");
        QVERIFY(dialog->isHidden());
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("年間プログラムの削除|削除するデータがありません。")});
    }

    void deletingTheLastSpecialProgramUpdatesTheCalendar()
    {
        addWeekRow(1, 5, 0, 0, 8, 0, 0);
        RenumberTable("T_Week");
        addYearRow(1, 27, 6, 1, 5);
        addYearRow(1, 27, 6, 2, 0);
        UpdateYearProgramCount();
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2027, 6, 10));
        QVERIFY(calendar()->isMarked(QDate(2027, 6, 1)));
        QCOMPARE(programCount(), QStringLiteral("498"));

        click(m_year.get(), "Button_Special");
        QDialog* select = opened();
        child<QRadioButton>(select, "Option_Edit")->setChecked(true);
        child<QComboBox>(select, "Combo_Special")->setCurrentIndex(0);
        click(select, "Button_OK");
        QDialog* special = opened();
        child<ProgramGrid>(special, "DataGrid1")->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(special, "Button_Delete");
        QCOMPARE(programCount(), QStringLiteral("499"));
        QVERIFY(!calendar()->isMarked(QDate(2027, 6, 1)));
        QVERIFY(calendar()->isMarked(QDate(2027, 6, 2)));

        // 全削除 of another number does the same.
        addWeekRow(1, 6, 0, 0, 8, 0, 0);
        addYearRow(1, 27, 6, 3, 6);
        UpdateYearProgramCount();
        EditRequest.SpecialNO = 6;
        auto* six = new Form_Special;
        m_dialogs.emplace_back(six);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(six, "Button_AllDelete");
        QCOMPARE(programCount(), QStringLiteral("499"));
        QVERIFY(!calendar()->isMarked(QDate(2027, 6, 3)));
    }

    // 祝日設定 and the holidays in the calendar's look.
    void calendarShowsHolidaysInRed()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        chooseCircuit(1);
        addYearRow(1, 27, 5, 3, 0);
        m_year->RefreshYearBold(1);
        const QColor red = calendar()->dateTextFormat(QDate(2027, 5, 9)).foreground().color();  // a Sunday
        const struct {
            QDate day;
            QString tip;
            bool isRed;
            bool bold;
        } cases[] = {
            {QDate(2027, 5, 3), QStringLiteral("憲法記念日"), true, true},  // marked and a holiday: both
            {QDate(2027, 5, 4), QStringLiteral("みどりの日"), true, false},
            {QDate(2027, 5, 6), QString(), false, false},
            {QDate(2027, 4, 29), QStringLiteral("昭和の日"), false, false},  // April's tail: grey, named
        };
        for (const auto& c : cases) {
            const QTextCharFormat format = calendar()->dateTextFormat(c.day);
            QCOMPARE(format.toolTip(), c.tip);
            QCOMPARE(format.foreground().color() == red, c.isRed);
            QCOMPARE(format.fontWeight() == QFont::Bold, c.bold);
        }

        // A December page reaches into the next year's holidays; the tooltip follows the pointer.
        calendar()->showMonth(2026, 12);
        QCOMPARE(calendar()->holidayName(QDate(2027, 1, 1)), QStringLiteral("元日"));
        QWidget* grid = calendar()->dayGrid();
        const QPoint at = calendar()->dayRect(QDate(2027, 1, 1)).center();
        QHelpEvent help(QEvent::ToolTip, at, grid->mapToGlobal(at));
        QApplication::sendEvent(grid, &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("元日"));
    }

    void openingFollowsTheCalendar()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        auto* button = child<QAbstractButton>(m_year.get(), "Button_Holiday");
        QVERIFY(!button->isEnabled());
        QVERIFY(!button->toolTip().isEmpty());
        chooseCircuit(2);
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
    }

    void writesTickedDaysReplacingEntries()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        chooseCircuit(1);
        addYearRow(1, 27, 1, 1, 3);  // another number: replaced
        addYearRow(1, 27, 5, 3, 0);  // already 停止: unchanged
        addYearRow(2, 27, 1, 11, 4);  // another circuit: untouched
        QDialog* dialog = openHoliday();
        untick(dialog, QDate(2027, 5, 5));
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
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND Month = 5 AND Day = 5"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 2 AND SpecialNO = 4"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE ID = 0"), 0);  // renumbered
        QCOMPARE(programCount(), QString::number(500 - days - 1));
        QVERIFY(calendar()->isMarked(QDate(2027, 5, 4)));
        QVERIFY(!calendar()->isMarked(QDate(2027, 5, 5)));
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

    void specialNumberChoice()
    {
        calendar()->setSelectedDate(QDate(2027, 5, 10));
        chooseCircuit(1);
        addWeekRow(1, 5, 0, 0, 8, 0, 0);
        addWeekRow(1, 2, 0, 0, 8, 0, 0);
        addWeekRow(2, 7, 0, 0, 8, 0, 0);
        QDialog* dialog = openHoliday();
        child<QRadioButton>(dialog, "Option_Action_1")->setChecked(true);
        QComboBox* numbers = special(dialog);
        QVERIFY(numbers->isEnabled());
        QCOMPARE(numbers->count(), 2);
        QCOMPARE(numbers->currentIndex(), -1);

        click(dialog, "Button_OK");  // no number chosen
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("祝日設定|特殊番号を指定してください。")});
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year"), 0);

        // 編集 opens the special window on the number; closing it refills the list, nothing chosen but that number.
        numbers->setCurrentIndex(numbers->findText(QStringLiteral("5")));
        click(dialog, "Button_Edit");
        QDialog* specialWindow = opened();
        QCOMPARE(specialWindow->objectName(), QStringLiteral("Form_Special"));
        QCOMPARE(child(specialWindow, "Button_Close")->toolTip(), QStringLiteral("祝日設定へ戻ります。"));
        addWeekRow(1, 9, 0, 0, 8, 0, 0);
        specialWindow->close();
        QCOMPARE(numbers->count(), 3);
        QCOMPARE(numbers->currentText(), QStringLiteral("5"));

        click(dialog, "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND SpecialNO = 5"),
                 int(NationalHolidays(2027).size()));
    }

private:
    static QComboBox* circuits(QWidget* year) { return child<QComboBox>(year, "Combo_Circuit"); }
    MonthCalendar* calendar() { return child<MonthCalendar>(m_year.get(), "MonthView1"); }
    void chooseCircuit(int circuit)
    {
        circuits(m_year.get())->setCurrentIndex(circuits(m_year.get())->findText(QString::number(circuit)));
    }
    static QRadioButton* option(QWidget* dialog, int index, const char* name = "Option_Year")
    {
        return child<QRadioButton>(dialog, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index));
    }
    void mouse(QEvent::Type type, QDate day, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget* grid = calendar()->dayGrid();
        const QRect cell = calendar()->dayRect(day);
        if (!cell.isValid())
            qFatal("day not shown");
        const QPointF at = cell.center();
        QMouseEvent event(type, at, grid->mapToGlobal(at), Qt::LeftButton, buttons, modifiers);
        QApplication::sendEvent(grid, &event);
    }
    void clickDay(QDate day, Qt::KeyboardModifiers modifiers = {})
    {
        mouse(QEvent::MouseButtonPress, day, Qt::LeftButton, modifiers);
        mouse(QEvent::MouseButtonRelease, day, Qt::NoButton, modifiers);
    }
    void drag(QDate from, QDate to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
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
            child<QComboBox>(dialog, "Combo_Year")->setCurrentIndex(year);
        if (confirm) {
            MessageBox::queueAnswer(QMessageBox::Yes);
            click(dialog, "Button_OK");
        }
        return dialog;
    }
    // "circuit/year" of each dated entry, then "E" and the circuit of each every-year one.
    static QString entries()
    {
        QSqlQuery query = ProgramStore::exec(QStringLiteral(
            "SELECT (SELECT GROUP_CONCAT(CircuitNO || '/' || Year, ' ') FROM T_Year) || ' E' || "
            "(SELECT GROUP_CONCAT(CircuitNO, ' E') FROM T_YearE)"));
        return query.next() ? query.value(0).toString() : QString();
    }

    static QComboBox* years(QWidget* dialog) { return child<QComboBox>(dialog, "Combo_Year"); }
    static QComboBox* special(QWidget* dialog) { return child<QComboBox>(dialog, "Combo_Special"); }
    static QTreeWidget* holidays(QWidget* dialog) { return child<QTreeWidget>(dialog, "List_Holiday"); }
    static void untick(QWidget* dialog, QDate day)
    {
        QTreeWidget* list = holidays(dialog);
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            if (list->topLevelItem(row)->data(0, Qt::UserRole).toDate() == day)
                list->topLevelItem(row)->setCheckState(0, Qt::Unchecked);
    }
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
