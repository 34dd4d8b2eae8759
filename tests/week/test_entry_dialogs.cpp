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
    }

    void cleanup()
    {
        m_dialog.reset();
        m_store.reset();
    }

    void controlsFollowTypeAndOrigin()
    {
        open(newJob(1, 3));
        for (const char* name : {"Text_Second", "Text_Chime", "Check_Chime", "Button_PlayChime", "Line_End"})
            QVERIFY2(child(dialog(), name)->isHidden(), name);
        QVERIFY(!child(dialog(), "Text_Minute")->isHidden());

        open(newJob(4, 6));
        QCOMPARE(child<QLabel>(dialog(), "Label_YobiON")->text(), QStringLiteral("土"));
        QCOMPARE(child<QComboBox>(dialog(), "Combo_YobiOFF")->currentIndex(), 6);
        QCOMPARE(texts({"Text_Repeat"}), QStringLiteral("1"));
        // The single-day timer dialog starts at the start hour and Tab walks
        // the times as in the group dialog; the end day comes after them.
        activate(dialog());
        QStringList order;
        for (int i = 0; i < 8; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"Text_HourON", "Text_MinuteON", "Text_HourOFF", "Text_MinuteOFF", "Text_Repeat",
                                     "Combo_YobiOFF", "Button_OK", "Button_Cancel"}));

        // A group and a special program have no day controls; a timer no
        // interval: it holds 0 and is not a box to check.
        for (const EditRequestData& job : {newJob(3, 7), newJob(3, 0, 2)}) {
            open(job);
            for (const char* name : {"Combo_YobiOFF", "Label_YobiON", "Text_Repeat"})
                QVERIFY2(child(dialog(), name)->isHidden(), name);
            click(dialog(), "Button_OK");
        }
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE CircuitNO = 3 AND Repeat = 0"), 6);
    }

    void spinnersAndEnter()
    {
        EditRequestData job = newJob(2, 1);
        job.TimeONH = 23;
        job.TimeONM = 8;
        job.ChimeNO = 7;
        open(job);
        child<UpDown>(dialog(), "UpDown2")->stepBy(1);
        child<UpDown>(dialog(), "UpDown1")->stepBy(1);  // no wrap past 23
        child<UpDown>(dialog(), "UpDown4")->stepBy(1);
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Chime"}), QStringLiteral("23,09,7"));
        type("Text_Hour", QStringLiteral("abc"));  // steps from where the spinner was
        child<UpDown>(dialog(), "UpDown1")->stepBy(-1);
        QCOMPARE(texts({"Text_Hour"}), QStringLiteral("22"));

        open(newJob(3, 2));
        child<UpDown>(dialog(), "UpDown3")->stepBy(-1);
        child<UpDown>(dialog(), "UpDown4")->stepBy(5);
        QCOMPARE(texts({"Text_HourOFF", "Text_MinuteOFF"}), QStringLiteral("5,00"));

        // Enter in a box confirms (not the chime preview, the first push button).
        open(newJob(2, 4));
        type("Text_Hour", QStringLiteral("7"));
        QTest::keyClick(child(dialog(), "Text_Hour"), Qt::Key_Return);
        QVERIFY(dialog()->isHidden());
        QCOMPARE(count("SELECT COUNT(*) FROM T_Week WHERE YobiON = 4 AND TimeONH = 7 AND ChimeNO = 1"), 1);
    }

    // A wrong entry shows its message once, puts the focus back into the
    // box and writes nothing, however it is confirmed: OK names the first
    // bad visible box in order, leaving a box checks that box. キャンセル
    // then closes whatever the boxes hold.
    void wrongEntryIsRefused_data()
    {
        QTest::addColumn<int>("circuit");
        QTest::addColumn<int>("day");
        // "box=text" typed in turn; the focus is left in the last box.
        QTest::addColumn<QStringList>("entries");
        // OK, OK clicked with the mouse, Enter, the chime adjustment ticked, or
        // the focus moved to the first box.
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("refocused");
        QTest::newRow("first bad box")
            << 1 << 2 << QStringList{"Text_Hour=", "Text_Minute=75"} << "ok" << "0～23" << "Text_Hour";
        QTest::newRow("box left")
            << 1 << 2 << QStringList{"Text_Hour=1", "Text_Minute=1e1"} << "leave" << "0～59" << "Text_Minute";
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
        QFETCH(int, circuit);
        QFETCH(int, day);
        QFETCH(QStringList, entries);
        QFETCH(QString, confirm);
        QFETCH(QString, range);
        QFETCH(QString, refocused);
        open(newJob(circuit, day));
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
        QCOMPARE(WeekRowCount(), 0);
    }

    // The adjustment moves the time back by the melody's length; taking it
    // back, or changing the melody, moves it forward by the length used.
    void chimeEndAdjustment()
    {
        open(newJob(2, 1));
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

        // Refused for want of a melody, the adjustment is not made: choosing
        // one then shifts nothing.
        type("Text_Chime", QString());
        adjust->click();
        type("Text_Chime", QStringLiteral("3"));
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("0,00,10"));
        adjust->click();
        QCOMPARE(texts({"Text_Hour", "Text_Minute", "Text_Second"}), QStringLiteral("23,59,29"));
    }

private:
    // Opens the entry dialog of the circuit's type for `job`.
    void open(const EditRequestData& job)
    {
        m_dialog.reset();
        EditRequest = job;
        if (CircuitSettingAt(job.CircuitNO).Program <= 2)
            m_dialog = std::make_unique<Form_EditTime>();
        else
            m_dialog = std::make_unique<Form_EditTimeTimer>();
        m_dialog->show();
    }
    QDialog* dialog() { return m_dialog.get(); }
    QString texts(std::initializer_list<const char*> boxes)
    {
        QStringList values;
        for (const char* box : boxes)
            values << child<QLineEdit>(dialog(), box)->text();
        return values.join(QLatin1Char(','));
    }
    void type(const char* box, const QString& text) { child<QLineEdit>(dialog(), box)->setText(text); }

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<QDialog> m_dialog;
};

QTEST_MAIN(TestEntryDialogs)
#include "test_entry_dialogs.moc"
