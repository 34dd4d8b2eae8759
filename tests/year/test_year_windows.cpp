#include "TestSupport.h"
#include "app/ui/WindowUtil.h"
#include "special/Form_Special.h"
#include "special/ModalDialogs.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/ProgramGrid.h"
#include "year/Form_Year.h"
#include "year/MonthCalendar.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
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
        closeDialogs();
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
        QCOMPARE(openedName(), QStringLiteral("Form_EditYear"));
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
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("499"));

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
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("500"));
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
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("500"));
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
        Transaction filling;
        for (int i = 0; i < 495; ++i)
            addYearRow(2, 30 + i / 300, 1 + i / 28 % 10, 1 + i % 28, 0);
        filling.commit();
        chooseCircuit(1);
        calendar()->setSelectedDate(QDate(2027, 8, 1));
        drag(QDate(2027, 8, 2), QDate(2027, 8, 8));
        QDialog* dialog = opened();
        this->option(dialog, option)->setChecked(true);
        child<QComboBox>(dialog, "Combo_Special")->setCurrentIndex(0);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(), QStringList{message});
        QVERIFY(dialog->isHidden());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1"), 5);
        QVERIFY(calendar()->isMarked(QDate(2027, 8, 6)));
        QVERIFY(!calendar()->isMarked(QDate(2027, 8, 7)));
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("0"));
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
        click(m_year.get(), "Button_DeleteYear");
        QDialog* dialog = opened();
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
        QCOMPARE(shownMessages(), QStringList{QStringLiteral(
                                      "年間プログラムの削除|回路1 2026年 のデータをすべて消去してもよろしいですか？")});
        QCOMPARE(QApplication::focusWidget(), child(dialog, "Button_Cancel"));
        QCOMPARE(YearRowCount(), 4);

        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages().last(), QStringLiteral("年間プログラムの削除|回路1 2026年 のデータを消去しました。"));
        QVERIFY(dialog->isHidden());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1 AND Year = 27"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 2"), 2);
        QCOMPARE(count("SELECT COUNT(*) FROM T_YearE"), 2);
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("497"));

        click(m_year.get(), "Button_DeleteYear");
        dialog = opened();
        option(dialog, 1, "Option_Delete")->setChecked(true);
        child<QComboBox>(dialog, "Combo_Year")->setCurrentIndex(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages().last(), QStringLiteral("年間プログラムの削除|回路1 毎年 のデータを消去しました。"));
        QCOMPARE(count("SELECT COUNT(*) FROM T_YearE"), 1);
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("497"));

        // 全削除 takes what is left of this circuit only; 全削除 clears the year choice.
        addEveryYearRow(1, 1, 1, 0);
        click(m_year.get(), "Button_DeleteYear");
        dialog = opened();
        option(dialog, 1, "Option_Delete")->setChecked(true);
        child<QComboBox>(dialog, "Combo_Year")->setCurrentIndex(0);
        option(dialog, 0, "Option_Delete")->setChecked(true);
        QCOMPARE(child<QComboBox>(dialog, "Combo_Year")->currentIndex(), -1);
        MessageBox::clearShown();
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(),
                 (QStringList{QStringLiteral("年間プログラムの削除|回路1 のデータをすべて消去してもよろしいですか？"),
                              QStringLiteral("年間プログラムの削除|回路1 のデータを消去しました。")}));
        QCOMPARE(count("SELECT COUNT(*) FROM T_Year WHERE CircuitNO = 1") +
                     count("SELECT COUNT(*) FROM T_YearE WHERE CircuitNO = 1"),
                 0);
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("498"));

        click(m_year.get(), "Button_DeleteYear");
        dialog = opened();
        MessageBox::clearShown();
        click(dialog, "Button_OK");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("年間プログラムの削除|削除するデータがありません。")});
        QVERIFY(dialog->isHidden());
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
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("498"));

        click(m_year.get(), "Button_Special");
        QDialog* select = opened();
        option(select, 1, "Option")->setChecked(true);
        child<QComboBox>(select, "Combo_Special")->setCurrentIndex(0);
        click(select, "Button_OK");
        QDialog* special = opened();
        QCOMPARE(child(special, "Button_Close")->toolTip(), QStringLiteral("年間プログラム設定へ戻ります。"));
        child<ProgramGrid>(special, "DataGrid1")->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(special, "Button_Delete");
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("499"));
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
        QCOMPARE(child<QLabel>(m_year.get(), "Label_ProgramCount")->text(), QStringLiteral("499"));
        QVERIFY(!calendar()->isMarked(QDate(2027, 6, 3)));
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
        if (QLatin1String(name) == QLatin1String("Option"))
            return child<QRadioButton>(dialog, index == 0 ? "Option_New" : "Option_Edit");
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
    QString openedName() { return opened()->objectName(); }
    // Latest first: a dialog may be the parent of the ones opened after it.
    void closeDialogs()
    {
        while (!m_dialogs.empty())
            m_dialogs.pop_back();
    }

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<Form_Year> m_year;
    std::vector<std::unique_ptr<QDialog>> m_dialogs;
};

QTEST_MAIN(TestYearWindows)
#include "test_year_windows.moc"
