#include "FakeChimePlayer.h"
#include "TestSupport.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/UpDown.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace TestSupport;

namespace {

EditRequestData newJob(int circuit, int day, int origin = 1)
{
    EditRequestData r;
    r.CircuitNO = qint16(circuit);
    r.YobiON = qint16(day);
    r.YobiOFF = qint16(day);
    r.Origin = qint16(origin);
    return r;
}

}  // namespace

class TestEntryDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        setOneCircuitOfEachType();
        m_played.clear();
        setChimePlayer(std::make_unique<FakeChimePlayer>(&m_played));
    }

    void cleanup()
    {
        m_dialog.reset();
        setChimePlayer(nullptr);
        m_store.reset();
    }

    void controlsFollowTypeAndOrigin()
    {
        open<Form_EditTime>(newJob(1, 3));
        for (const char* name : {"Text_Second", "Text_Chime", "Check_Chime", "Button_PlayChime", "Line_End"})
            QVERIFY2(child(dialog(), name)->isHidden(), name);
        QVERIFY(!child(dialog(), "Text_Minute")->isHidden());

        open<Form_EditTimeTimer>(newJob(4, 6));
        QCOMPARE(child<QLabel>(dialog(), "Label_YobiON")->text(), QStringLiteral("土"));
        QCOMPARE(child<QComboBox>(dialog(), "Combo_YobiOFF")->currentIndex(), 6);
        QCOMPARE(text("Text_Repeat"), QStringLiteral("1"));
        QVERIFY(!child(dialog(), "Text_Repeat")->isHidden());

        // A group and a special program have no day controls; a timer no interval.
        for (const EditRequestData& job : {newJob(3, 7), newJob(3, 0, 2)}) {
            open<Form_EditTimeTimer>(job);
            QVERIFY(child(dialog(), "Combo_YobiOFF")->isHidden());
            QVERIFY(child(dialog(), "Label_YobiON")->isHidden());
            QVERIFY(child(dialog(), "Text_Repeat")->isHidden());
        }
    }

    void spinnersStepAndFormat()
    {
        EditRequestData job = newJob(2, 1);
        job.TimeONH = 23;
        job.TimeONM = 8;
        job.ChimeNO = 7;
        open<Form_EditTime>(job);
        child<UpDown>(dialog(), "UpDown2")->stepBy(1);
        QCOMPARE(text("Text_Minute"), QStringLiteral("09"));
        child<UpDown>(dialog(), "UpDown1")->stepBy(1);  // no wrap past 23
        QCOMPARE(text("Text_Hour"), QStringLiteral("23"));
        child<UpDown>(dialog(), "UpDown4")->stepBy(1);
        QCOMPARE(text("Text_Chime"), QStringLiteral("7"));
        type("Text_Hour", QStringLiteral("abc"));  // steps from where the spinner was
        child<UpDown>(dialog(), "UpDown1")->stepBy(-1);
        QCOMPARE(text("Text_Hour"), QStringLiteral("22"));

        open<Form_EditTimeTimer>(newJob(3, 2));
        child<UpDown>(dialog(), "UpDown3")->stepBy(-1);
        QCOMPARE(text("Text_MinuteOFF"), QStringLiteral("00"));
        child<UpDown>(dialog(), "UpDown4")->stepBy(5);
        QCOMPARE(text("Text_HourOFF"), QStringLiteral("5"));
    }

    void enterInABoxConfirms()
    {
        open<Form_EditTime>(newJob(2, 4));
        type("Text_Hour", QStringLiteral("7"));
        QTest::keyClick(child(dialog(), "Text_Hour"), Qt::Key_Return);
        QVERIFY(m_played.isEmpty());
        QVERIFY(dialog()->isHidden());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE YobiON = 4 AND TimeONH = 7 AND ChimeNO = 1"), 1);

        // Enter in a box still holding a bad value writes nothing.
        open<Form_EditTimeTimer>(newJob(4, 8));
        activate(dialog());
        auto* minute = child<QLineEdit>(dialog(), "Text_MinuteON");
        minute->setFocus();
        minute->setText(QStringLiteral("６０"));
        MessageBox::clearShown();
        QTest::keyClick(minute, Qt::Key_Return);
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n0～59の値を設定してください。")});
        QVERIFY(dialog()->isVisible());
        QCOMPARE(WeekRowCount(), 1);
    }

    void okChecksTheVisibleTimerBoxes()
    {
        open<Form_EditTimeTimer>(newJob(4, 8));
        activate(dialog());
        type("Text_HourOFF", QStringLiteral("24"));
        type("Text_Repeat", QStringLiteral("0"));
        child(dialog(), "Text_HourON")->setFocus();
        MessageBox::clearShown();
        click("Button_OK");
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n0～23の値を設定してください。")});
        QCOMPARE(QApplication::focusWidget(), child(dialog(), "Text_HourOFF"));
        type("Text_HourOFF", QStringLiteral("23"));
        for (const char* interval : {"0", "60"}) {
            type("Text_Repeat", QLatin1String(interval));
            MessageBox::clearShown();
            click("Button_OK");
            QCOMPARE(shownMessages(),
                     QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n1～59の値を設定してください。")});
        }
        QCOMPARE(WeekRowCount(), 0);

        // A timer's hidden interval holds 0 and is not a box to check.
        open<Form_EditTimeTimer>(newJob(3, 8));
        QCOMPARE(text("Text_Repeat"), QStringLiteral("0"));
        click("Button_OK");
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = 3 AND Repeat = 0"), 7);
    }

    // The single-day timer dialog starts at the start hour and Tab walks the
    // times as in the group dialog; the end day comes after them.
    void keyboardStartsAtTheStartHour()
    {
        open<Form_EditTimeTimer>(newJob(4, 2));
        activate(dialog());
        QStringList order;
        for (int i = 0; i < 8; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"Text_HourON", "Text_MinuteON", "Text_HourOFF", "Text_MinuteOFF", "Text_Repeat",
                                     "Combo_YobiOFF", "Button_OK", "Button_Cancel"}));
    }

    // OK clicked out of a wrong entry shows its message once and does
    // nothing else; キャンセル closes whatever the boxes hold.
    void clickOutOfAWrongEntry()
    {
        open<Form_EditTimeTimer>(newJob(3, 2));
        activate(dialog());
        type("Text_HourON", QStringLiteral("24"));
        MessageBox::clearShown();
        QTest::mouseClick(child(dialog(), "Button_OK"), Qt::LeftButton);
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n0～23の値を設定してください。")});
        QVERIFY(dialog()->isVisible());
        QCOMPARE(QApplication::focusWidget(), child(dialog(), "Text_HourON"));
        QTest::mouseClick(child(dialog(), "Button_Cancel"), Qt::LeftButton);
        QCOMPARE(shownMessages().size(), 1);
        QVERIFY(dialog()->isHidden());
        QCOMPARE(WeekRowCount(), 0);
    }

    void adjustmentNeedsAValidMelody()
    {
        open<Form_EditTime>(newJob(2, 1));
        activate(dialog());
        type("Text_Second", QStringLiteral("10"));
        type("Text_Chime", QString());
        MessageBox::clearShown();
        auto* adjust = child<QCheckBox>(dialog(), "Check_Chime");
        adjust->click();
        QVERIFY(!adjust->isChecked());
        QCOMPARE(shownMessages(),
                 QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n1～7の値を設定してください。")});
        QCOMPARE(QApplication::focusWidget(), child(dialog(), "Text_Chime"));
        // Choosing a melody then shifts nothing: no adjustment was made.
        type("Text_Chime", QStringLiteral("3"));
        QCOMPARE(text("Text_Hour") + text("Text_Minute") + text("Text_Second"), QStringLiteral("00010"));
        adjust->click();
        QCOMPARE(text("Text_Hour") + text("Text_Minute") + text("Text_Second"), QStringLiteral("235929"));
    }

private:
    template <typename Dialog>
    void open(const EditRequestData& job)
    {
        m_dialog.reset();
        EditRequest = job;
        m_dialog = std::make_unique<Dialog>();
        m_dialog->show();
    }
    QDialog* dialog()
    {
        if (!m_dialog)
            qFatal("no dialog open");
        return m_dialog.get();
    }
    QString text(const char* box) { return child<QLineEdit>(dialog(), box)->text(); }
    void type(const char* box, const QString& text) { child<QLineEdit>(dialog(), box)->setText(text); }
    void click(const char* button) { child<QAbstractButton>(dialog(), button)->click(); }

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<QDialog> m_dialog;
    QStringList m_played;
};

QTEST_MAIN(TestEntryDialogs)
#include "test_entry_dialogs.moc"
