#include "TestSupport.h"
#include "app/ui/WindowUtil.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/Form_Copy.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/Form_Week.h"
#include "week/ProgramGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace TestSupport;

namespace {

template <typename T = QWidget>
T* child(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

void fillTo(int rows)
{
    for (int i = WeekRowCount(); i < rows; ++i)
        addWeekRow(8, 0, i % 7, 0, i / 60 % 24, i % 60, 0);
}

QString texts(QWidget* dialog, std::initializer_list<const char*> names)
{
    QStringList values;
    for (const char* name : names)
        values << child<QLineEdit>(dialog, name)->text();
    return values.join(QLatin1Char(','));
}

}  // namespace

class TestWeekWindows : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        setCircuit(1, 1, 5);
        setCircuit(2, 2, 10);
        setCircuit(3, 3, 0);
        setCircuit(5, 4, 3);
        m_week = new Form_Week;
        m_week->openDialog = [this](QDialog* dialog) {
            m_dialog.reset(dialog);
            dialog->show();
        };
        m_week->show();
    }

    void cleanup()
    {
        m_dialog.reset();
        delete m_week;
        m_store.reset();
    }

    void opening()
    {
        auto* circuits = child<QComboBox>(m_week, "Combo_Circuit");
        QCOMPARE(circuits->count(), 4);
        QCOMPARE(circuits->itemText(3), QStringLiteral("5"));
        QCOMPARE(circuits->currentIndex(), -1);
        QCOMPARE(child<QComboBox>(m_week, "Combo_Yobi")->itemText(8), QStringLiteral("毎日"));
        QVERIFY(child(m_week, "DataGrid1")->isHidden());
        QCOMPARE(child<QLabel>(m_week, "Label_ProgramCount")->text(), QStringLiteral("900"));
        QCOMPARE(child<QPushButton>(m_week, "Button_Copy")->text(), QStringLiteral("コピー (&C)"));
    }

    void circuitAndDayChoices()
    {
        choose(2, 1);
        QCOMPARE(child<QLabel>(m_week, "Label_Mode")->text(), QStringLiteral("チャイム"));
        QCOMPARE(child<QLabel>(m_week, "Label_Pulse")->text(), QStringLiteral("10秒"));
        QVERIFY(child(m_week, "Button_Copy")->isEnabled());
        QVERIFY(!grid()->isHidden());
        choose(2, 7);
        QVERIFY(!child(m_week, "Button_Copy")->isEnabled());
        choose(3, 1);
        QVERIFY(!child(m_week, "Button_Copy")->isEnabled());
    }

    void newWeekdayChimeThroughTheDialog()
    {
        choose(2, 7);
        click(m_week, "Button_New");
        QVERIFY(qobject_cast<Form_EditTime*>(m_dialog.get()));
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second", "Text_Chime"}), QStringLiteral("0,00,00,1"));
        type("Text_Hour", QStringLiteral("１２"));  // full-width digits
        type("Text_Minute", QStringLiteral("30"));
        type("Text_Chime", QStringLiteral("3"));
        click(dialog(), "Button_OK");
        QVERIFY(dialog()->isHidden());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = 2 AND TimeONH = 12 AND TimeONM = 30 AND "
                       "ChimeNO = 3 AND YobiON BETWEEN 1 AND 5"),
                 5);
        QCOMPARE(grid()->rowCount(), 1);
        QCOMPARE(child<QLabel>(m_week, "Label_ProgramCount")->text(), QStringLiteral("895"));

        // Edit the listed program: the dialog shows it, the change moves all five rows.
        grid()->selectRow(0);
        click(m_week, "Button_Edit");
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second", "Text_Chime"}),
                 QStringLiteral("12,30,00,3"));
        type("Text_Minute", QStringLiteral("45"));
        click(dialog(), "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE TimeONM = 45"), 5);
        QCOMPARE(WeekRowCount(), 5);
    }

    void okChecksEveryBox()
    {
        choose(1, 2);
        click(m_week, "Button_New");
        activate(dialog());
        type("Text_Hour", QString());
        type("Text_Minute", QStringLiteral("75"));
        child(dialog(), "Text_Minute")->setFocus();
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n0～23の値を設定してください。")});
        QCOMPARE(QApplication::focusWidget(), child(dialog(), "Text_Hour"));
        QVERIFY(dialog()->isVisible());
        QCOMPARE(WeekRowCount(), 0);
    }

    void focusLossCheck()
    {
        choose(1, 2);
        click(m_week, "Button_New");
        activate(dialog());
        auto* minute = child<QLineEdit>(dialog(), "Text_Minute");
        minute->setFocus();
        minute->setText(QStringLiteral("1e1"));
        MessageBox::clearShown();
        child(dialog(), "Text_Hour")->setFocus();
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n0～59の値を設定してください。")});
        QCOMPARE(QApplication::focusWidget(), minute);
    }

    void chimeEndAdjustment()
    {
        choose(2, 1);
        click(m_week, "Button_New");
        type("Text_Second", QStringLiteral("10"));
        auto* adjust = child<QCheckBox>(dialog(), "Check_Chime");
        adjust->click();
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("23,59,46"));
        adjust->click();
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("0,00,10"));
        adjust->click();
        type("Text_Chime", QStringLiteral("4"));  // undone with melody 1's length
        QVERIFY(!adjust->isChecked());
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("0,00,10"));
        adjust->click();
        QCOMPARE(texts(dialog(), {"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("23,59,15"));
    }

    void capacityRefusalWritesNothing()
    {
        fillTo(896);
        choose(1, 7);
        click(m_week, "Button_New");
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|設定可能数900を超えてしまうため作成できません。")});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Critical);
        QCOMPARE(WeekRowCount(), 896);
        QVERIFY(dialog()->isHidden());
    }

    void overnightTimerEveryDay()
    {
        choose(3, 8);
        click(m_week, "Button_New");
        QVERIFY(qobject_cast<Form_EditTimeTimer*>(m_dialog.get()));
        QVERIFY(child(dialog(), "Text_Repeat")->isHidden());
        QVERIFY(child(dialog(), "Combo_YobiOFF")->isHidden());
        type("Text_HourON", QStringLiteral("22"));
        type("Text_HourOFF", QStringLiteral("6"));
        click(dialog(), "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = 3 AND YobiOFF = (YobiON + 1) % 7"), 7);
        QCOMPARE(grid()->rowCount(), 1);
        grid()->selectRow(0);
        QCOMPARE(grid()->selectedText(QStringLiteral(" 開始時刻")), QStringLiteral("22:00"));
        QCOMPARE(grid()->selectedText(QStringLiteral(" 終了時刻")), QStringLiteral(" 6:00"));
    }

    void repeatSingleDay()
    {
        choose(5, 2);
        click(m_week, "Button_New");
        QCOMPARE(child<QLineEdit>(dialog(), "Text_Repeat")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>(dialog(), "Label_YobiON")->text(), QStringLiteral("火"));
        child<QComboBox>(dialog(), "Combo_YobiOFF")->setCurrentIndex(3);
        type("Text_Repeat", QStringLiteral("60"));
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n1～59の値を設定してください。")});
        type("Text_Repeat", QStringLiteral("15"));
        type("Text_HourON", QStringLiteral("22"));
        click(dialog(), "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE YobiON = 2 AND YobiOFF = 3 AND Repeat = 15"), 1);
        grid()->selectRow(0);
        QCOMPARE(grid()->selectedText(QStringLiteral(" 終了曜日")), QStringLiteral("水"));
        QCOMPARE(grid()->selectedText(QStringLiteral("繰返し間隔(分)")), QStringLiteral("15"));
    }

    void deleteInGroupAndSingleDayViews()
    {
        for (int day = 0; day <= 6; ++day)
            addWeekRow(2, 0, day, 0, 7, 30, 5, 0, 0, 0, 3);
        RenumberTable("T_Week");
        choose(2, 7);
        grid()->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(m_week, "Button_Delete");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week"), 2);
        QCOMPARE(child<QLabel>(m_week, "Label_ProgramCount")->text(), QStringLiteral("898"));
        choose(2, 6);
        grid()->selectRow(0);
        MessageBox::queueAnswer(QMessageBox::No);
        click(m_week, "Button_Delete");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week"), 2);
        MessageBox::queueAnswer(QMessageBox::Yes);
        grid()->selectRow(0);
        click(m_week, "Button_Delete");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE YobiON = 0"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week"), 1);
    }

    void deleteAll()
    {
        addWeekRow(1, 0, 1, 0, 8, 0, 0);
        addWeekRow(1, 2, 0, 0, 8, 0, 0);
        choose(1, 1);
        MessageBox::clearShown();
        click(m_week, "Button_AllDelete");  // default answer No
        QCOMPARE(WeekRowCount(), 2);
        MessageBox::queueAnswer(QMessageBox::Yes);
        click(m_week, "Button_AllDelete");
        QCOMPARE(shownMessages().last(), QStringLiteral("週間プログラム|回路No.1 の週間プログラムをすべて削除しました。"));
        QCOMPARE(WeekRowCount(), 1);
        QCOMPARE(grid()->rowCount(), 0);
    }

    void copyADay()
    {
        addWeekRow(1, 0, 1, 0, 8, 0, 0);
        addWeekRow(1, 0, 1, 0, 9, 0, 0);
        choose(1, 2);
        click(m_week, "Button_Copy");
        auto* source = child<QComboBox>(dialog(), "Combo_SendYobi");
        QCOMPARE(source->count(), 1);
        QCOMPARE(child<QLabel>(dialog(), "Label_ReceiveYobi")->text(), QStringLiteral("火曜日"));
        QVERIFY(!child(dialog(), "Option_Copy_1")->isEnabled());
        QCOMPARE(source->currentIndex(), 0);
        click(dialog(), "Button_OK");
        QCOMPARE(grid()->rowCount(), 2);
        click(m_week, "Button_Copy");
        click(dialog(), "Button_OK");
        QCOMPARE(WeekRowCount(), 4);
    }

    void copyWithoutSource()
    {
        choose(1, 2);
        click(m_week, "Button_Copy");
        MessageBox::clearShown();
        click(dialog(), "Button_OK");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("コピー|曜日が選択されていません")});
        QVERIFY(dialog()->isVisible());
    }

    void copyToSpecialOffersEveryDay()
    {
        addWeekRow(2, 0, 3, 0, 8, 0, 0, 0, 0, 0, 1);
        addWeekRow(2, 4, 0, 0, 8, 0, 0, 0, 0, 0, 1);
        EditRequest = EditRequestData{};
        EditRequest.CircuitNO = 2;
        EditRequest.SpecialNO = 5;
        EditRequest.YobiON = 3;  // left over from an earlier hand-over
        Form_Copy copy;
        QCOMPARE(child<QComboBox>(&copy, "Combo_SendYobi")->itemText(0), QStringLiteral("水"));
        QCOMPARE(child<QLabel>(&copy, "Label_ReceiveYobi")->text(), QStringLiteral("特殊番号 5"));
        child<QRadioButton>(&copy, "Option_Copy_1")->setChecked(true);
        QCOMPARE(child<QLabel>(&copy, "Label_Copy")->text(), QStringLiteral("特殊番号"));
        QCOMPARE(child<QComboBox>(&copy, "Combo_SendYobi")->itemText(0), QStringLiteral("4"));
        click(&copy, "Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE SpecialNO = 5"), 1);
    }

    void closingShowsTheMainWindow()
    {
        QWidget main;
        main.setObjectName(QStringLiteral("Form_Main"));
        click(m_week, "Button_Close");
        QVERIFY(main.isVisible());
        QVERIFY(!IsFormLoaded(QStringLiteral("Form_Week")));
    }

private:
    void choose(int circuit, int day)
    {
        auto* circuits = child<QComboBox>(m_week, "Combo_Circuit");
        circuits->setCurrentIndex(circuits->findText(QString::number(circuit)));
        child<QComboBox>(m_week, "Combo_Yobi")->setCurrentIndex(day);
    }
    ProgramGrid* grid() { return child<ProgramGrid>(m_week, "DataGrid1"); }
    QDialog* dialog()
    {
        if (!m_dialog)
            qFatal("no dialog open");
        return m_dialog.get();
    }
    void click(QWidget* window, const char* button) { child<QAbstractButton>(window, button)->click(); }
    void type(const char* box, const QString& text) { child<QLineEdit>(dialog(), box)->setText(text); }
    void activate(QWidget* window)
    {
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    std::unique_ptr<ScratchStore> m_store;
    Form_Week* m_week = nullptr;
    std::unique_ptr<QDialog> m_dialog;
};

QTEST_MAIN(TestWeekWindows)
#include "test_week_windows.moc"
