#include "TestSupport.h"
#include "holidays/Holidays.h"
#include "special/ModalDialogs.h"
#include "store/StoreRoutines.h"
#include "year/Form_Year.h"
#include "year/MonthCalendar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QRadioButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

// 祝日設定 in the year calendar, and the holidays in the calendar's look.
class TestHolidayDialog : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        setOneCircuitOfEachType();
        ModalDialogs::setRunner([this](QDialog* dialog) {
            m_dialogs.emplace_back(dialog);
            dialog->show();
        });
        m_year = std::make_unique<Form_Year>();
        m_year->show();
        calendar()->setSelectedDate(QDate(2027, 5, 10));
    }

    void cleanup()
    {
        ModalDialogs::setRunner({});
        while (!m_dialogs.empty())
            m_dialogs.pop_back();
        m_year.reset();
        m_store.reset();
    }

    void calendarShowsHolidaysInRed()
    {
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
        auto* button = child<QAbstractButton>(m_year.get(), "Button_Holiday");
        QVERIFY(!button->isEnabled());
        QVERIFY(!button->toolTip().isEmpty());
        chooseCircuit(2);
        QVERIFY(button->isEnabled());
        QDialog* dialog = openDialog();
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
        chooseCircuit(1);
        addYearRow(1, 27, 1, 1, 3);  // another number: replaced
        addYearRow(1, 27, 5, 3, 0);  // already 停止: unchanged
        addYearRow(2, 27, 1, 11, 4);  // another circuit: untouched
        QDialog* dialog = openDialog();
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
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QString::number(500 - days - 1));
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
        QFETCH(int, spare);
        QFETCH(bool, written);
        chooseCircuit(1);
        addYearRow(1, 27, 1, 1, 0);  // rewritten, so not counted
        const int toAdd = int(NationalHolidays(2027).size()) - 1;
        fillYearTo(YearCapacity - toAdd - spare);
        const int before = count("SELECT COUNT(*) FROM T_Year");
        QDialog* dialog = openDialog();
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
        chooseCircuit(1);
        addWeekRow(1, 5, 0, 0, 8, 0, 0);
        addWeekRow(1, 2, 0, 0, 8, 0, 0);
        addWeekRow(2, 7, 0, 0, 8, 0, 0);
        QDialog* dialog = openDialog();
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
        QDialog* specialWindow = m_dialogs.back().get();
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
    MonthCalendar* calendar() { return child<MonthCalendar>(m_year.get(), "MonthView1"); }
    void chooseCircuit(int circuit)
    {
        auto* circuits = child<QComboBox>(m_year.get(), "Combo_Circuit");
        circuits->setCurrentIndex(circuits->findText(QString::number(circuit)));
    }
    static void click(QWidget* window, const char* button) { child<QAbstractButton>(window, button)->click(); }
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
    QDialog* openDialog()
    {
        click(m_year.get(), "Button_Holiday");
        if (m_dialogs.empty())
            qFatal("no dialog opened");
        scriptDialogs();
        return m_dialogs.back().get();
    }
    // Dated rows of circuit 8 in 2050 until T_Year holds `rows` rows.
    static void fillYearTo(int rows)
    {
        for (int day = count("SELECT COUNT(*) FROM T_Year"); day < rows; ++day) {
            const QDate date = QDate(2050, 1, 1).addDays(day);
            addYearRow(8, date.year() - 2000, date.month(), date.day(), 0);
        }
    }

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<Form_Year> m_year;
    std::vector<std::unique_ptr<QDialog>> m_dialogs;
};

QTEST_MAIN(TestHolidayDialog)
#include "test_holiday_dialog.moc"
