#include "FakeChimePlayer.h"
#include "TestSupport.h"
#include "app/Form_Main.h"
#include "app/ui/WindowUtil.h"
#include "settings/Form_Environment.h"
#include "settings/UpDownButtons.h"
#include "store/ProgramStore.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace TestSupport;

namespace {

const QString kTitle = QStringLiteral("初期設定");
const QString kLocked = QStringLiteral("初期設定|設定済みのプログラムがあるため、回路のプログラムの種類は変更できません。");
const QString kNotNumeric = QStringLiteral("入力した値が不正です。\r\n1～59の値を設定してください。");

// The settings window of one test, shown and active so that focus moves
// run the checks as they do for a user.
class Window
{
public:
    explicit Window(Form_Environment* existing = nullptr)
        : form(existing ? existing : new Form_Environment)
    {
        form->show();
        QApplication::setActiveWindow(form);
        if (!QTest::qWaitForWindowActive(form))
            qFatal("settings window did not become active");
    }
    ~Window() { delete form.data(); }

    template <typename T>
    T* get(const QString& name) const
    {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    QComboBox* type(int row) const { return get<QComboBox>(QStringLiteral("Combo_Function_%1").arg(row)); }
    QLineEdit* value(int row) const { return get<QLineEdit>(QStringLiteral("Text_Function_%1").arg(row)); }
    QLineEdit* tune(int row) const { return get<QLineEdit>(QStringLiteral("Text_Chime_%1").arg(row)); }
    QLabel* minus(int row) const { return get<QLabel>(QStringLiteral("Label_Minus_%1").arg(row)); }
    UpDownButtons* upDown(int row) const { return get<UpDownButtons>(QStringLiteral("UpDown_%1").arg(row)); }
    QPushButton* closeButton() const { return get<QPushButton>(QStringLiteral("Button_Close")); }

    // Fills a row as a user would: type, then value, then on to the tune.
    void fill(int row, int typeCode, const QString& seconds, const QString& tuneText = QStringLiteral("1"))
    {
        type(row)->setFocus(Qt::TabFocusReason);
        type(row)->setCurrentIndex(typeCode);
        if (typeCode != 0) {
            value(row)->setFocus(Qt::TabFocusReason);
            value(row)->setText(seconds);
        }
        tune(row)->setFocus(Qt::TabFocusReason);
        tune(row)->setText(tuneText);
        closeButton()->setFocus(Qt::TabFocusReason);
    }

    QPointer<Form_Environment> form;
};

QList<int> settingRow(int circuit)
{
    QSqlQuery row = ProgramStore::exec(
        QStringLiteral("SELECT Program, PulseTime, Chime FROM T_Setting WHERE CircuitNO = ?"), {circuit});
    if (!row.next())
        return {};
    return {row.value(0).toInt(), row.value(1).toInt(), row.value(2).toInt()};
}

QList<int> memoryRow(int circuit)
{
    const CircuitSetting& s = CircuitSettings[circuit];
    return {s.Program, s.PulseTime, s.Chime};
}

}  // namespace

class TestEnvironment : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        ResetCircuitSettings();
        m_playLog.clear();
        setChimePlayer(std::make_unique<FakeChimePlayer>(&m_playLog));
    }
    void cleanup() { m_store.reset(); }

    void loadsTheStoredRowsWithTheirState()
    {
        setCircuit(1, 2, 10, 3);
        setCircuit(2, 3, 0, 7);
        // A stale value of an unused circuit is shown as 0.
        ProgramStore::exec("UPDATE T_Setting SET PulseTime = 5 WHERE CircuitNO = 3");
        Window w;
        QCOMPARE(w.form->windowTitle(), kTitle);
        QCOMPARE(w.get<QLabel>("Label_Titile")->text(), QStringLiteral("初　期　設　定"));
        QCOMPARE(w.get<QLabel>("Label_Pulse")->text(), QStringLiteral("出力時間／チャイム起動時間"));
        QCOMPARE(w.get<QLabel>("Label_No_7")->text(), QStringLiteral("8"));
        QCOMPARE(w.closeButton()->text(), QStringLiteral("閉じる (&X)"));
        QCOMPARE(w.closeButton()->toolTip(), QStringLiteral("設定を保存してメイン画面に戻ります。"));
        QCOMPARE(w.tune(4)->toolTip(), QStringLiteral("出力スイッチを手動に倒した時に演奏する曲目を指定します"));
        QCOMPARE(w.type(0)->count(), 5);
        QCOMPARE(w.type(0)->itemText(4), QStringLiteral("繰返し"));

        QCOMPARE(w.type(0)->currentIndex(), 2);
        QCOMPARE(w.value(0)->text(), QStringLiteral("10"));
        QCOMPARE(w.tune(0)->text(), QStringLiteral("3"));
        QVERIFY(w.minus(0)->isVisible());
        QCOMPARE(w.type(0)->toolTip(), QStringLiteral("チャイムプログラム･･･指定時刻に内蔵チャイムを鳴らします。"));
        QCOMPARE(w.value(0)->toolTip(), QStringLiteral("1～59秒の範囲でチャイム起動時間を入力します。"));

        QCOMPARE(w.type(1)->currentIndex(), 3);
        QCOMPARE(w.value(1)->text(), QStringLiteral("0"));
        QVERIFY(!w.minus(1)->isVisible());
        QCOMPARE(w.tune(1)->text(), QStringLiteral("7"));

        QCOMPARE(w.value(2)->text(), QStringLiteral("0"));
        QVERIFY(!w.value(2)->isEnabled());
        QVERIFY(!w.upDown(2)->isEnabled());
        QCOMPARE(w.tune(2)->text(), QStringLiteral("1"));

        // Choosing a type enables the value and changes the tooltips;
        // choosing the empty type takes them back.
        w.type(2)->setCurrentIndex(4);
        QVERIFY(w.value(2)->isEnabled());
        QVERIFY(!w.minus(2)->isVisible());
        QCOMPARE(w.type(2)->toolTip(),
                 QStringLiteral("繰返しプログラム･･･ある一定の期間、１分以内の出力を指定した間隔で繰返します。"));
        QCOMPARE(w.value(2)->toolTip(), QStringLiteral("1～59秒の範囲で出力時間を入力します。"));
        w.type(0)->setCurrentIndex(0);
        QCOMPARE(w.value(0)->text(), QStringLiteral("0"));
        QVERIFY(!w.value(0)->isEnabled());
        QVERIFY(!w.minus(0)->isVisible());
        QCOMPARE(w.type(0)->toolTip(),
                 QStringLiteral("プログラムの種類を 報時、チャイム、タイマ、繰返しの中から選択します。"));
        QCOMPARE(w.value(0)->toolTip(),
                 QStringLiteral("プログラムの種類により、出力時間、チャイム起動時間等を入力します。"));
        QVERIFY(shownMessages().isEmpty());
    }

    void spinnersStepWithinTheirRangeAndMarkTheRow()
    {
        setCircuit(1, 1, 58, 6);
        Window w;
        QToolButton* up = w.upDown(0)->upButton();
        QTest::mouseClick(up, Qt::LeftButton);
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(w.value(0)->text(), QStringLiteral("59"));
        auto* chimeUp = w.get<UpDownButtons>("UpDownChime_0");
        chimeUp->stepBy(5);
        QCOMPARE(w.tune(0)->text(), QStringLiteral("7"));
        w.tune(0)->setText("x");
        chimeUp->stepBy(-1);
        QCOMPARE(w.tune(0)->text(), QStringLiteral("1"));

        w.type(0)->setFocus(Qt::TabFocusReason);
        QVERIFY(w.upDown(0)->focusedLook());
        w.value(0)->setFocus(Qt::TabFocusReason);
        QVERIFY(w.upDown(0)->focusedLook());
        w.type(1)->setFocus(Qt::TabFocusReason);
        QVERIFY(!w.upDown(0)->focusedLook());
        QVERIFY(w.upDown(1)->focusedLook());
    }

    void typeLock_data()
    {
        QTest::addColumn<int>("storedType");
        QTest::addColumn<QString>("programs");
        QTest::addColumn<bool>("refused");
        QTest::newRow("week programs") << 1 << "week" << true;
        QTest::newRow("special programs") << 1 << "special" << true;
        QTest::newRow("only dated year programs") << 2 << "year" << true;
        QTest::newRow("only every-year programs") << 3 << "everyYear" << true;
        QTest::newRow("no programs") << 1 << "" << false;
        QTest::newRow("type 0 takes any type") << 0 << "week" << false;
    }
    void typeLock()
    {
        QFETCH(int, storedType);
        QFETCH(QString, programs);
        QFETCH(bool, refused);
        setCircuit(3, storedType, storedType == 0 ? 0 : 5);
        if (programs == "week")
            addWeekRow(3, 0, 1, 0, 8, 0, 0);
        else if (programs == "special")
            addWeekRow(3, 12, 0, 0, 8, 0, 0);
        else if (programs == "year")
            addYearRow(3, 24, 5, 3, 0);
        else if (programs == "everyYear")
            addEveryYearRow(3, 1, 1, 0);
        const int other = storedType == 4 ? 1 : 4;
        Window w;
        w.type(2)->setFocus(Qt::TabFocusReason);
        w.type(2)->setCurrentIndex(other);
        if (storedType == 0)
            w.value(2)->setText("5");
        w.type(3)->setFocus(Qt::TabFocusReason);
        if (!refused) {
            QVERIFY(shownMessages().isEmpty());
            QVERIFY(w.type(3)->hasFocus());
            return;
        }
        QCOMPARE(shownMessages(), QStringList{kLocked});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QVERIFY(w.type(2)->hasFocus());
        QCOMPARE(w.type(2)->currentIndex(), other);  // the wrong choice stays on screen

        // Going on to the same row's value is refused as well, without a
        // value check of its own.
        w.value(2)->setText("abc");
        w.value(2)->setFocus(Qt::TabFocusReason);
        QCOMPARE(shownMessages(), (QStringList{kLocked, kLocked}));
        QVERIFY(w.type(2)->hasFocus());

        // Choosing the stored type again lets the focus go.
        w.value(2)->setText("5");
        w.type(2)->setCurrentIndex(storedType);
        w.type(3)->setFocus(Qt::TabFocusReason);
        QCOMPARE(shownMessages().size(), 2);
        QVERIFY(w.type(3)->hasFocus());
        QVERIFY(!w.form->typeChangeBlocked());
    }

    void valueChecks_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString oneTo59 = QStringLiteral("1～59の値を設定してください。");
        const QString zeroTo59 = QStringLiteral("0～59の値を設定してください。");
        QTest::newRow("abc, time signal") << 1 << "abc" << kNotNumeric;
        QTest::newRow("abc, timer names 1-59 too") << 3 << "abc" << kNotNumeric;
        QTest::newRow("empty, repeat") << 4 << "" << kNotNumeric;
        QTest::newRow("exponent is not a number") << 2 << "1e1" << kNotNumeric;
        QTest::newRow("0, timer") << 3 << "0" << QString();
        QTest::newRow("0, time signal") << 1 << "0" << oneTo59;
        QTest::newRow("0, chime") << 2 << "0" << oneTo59;
        QTest::newRow("0, repeat") << 4 << "0" << oneTo59;
        QTest::newRow("59.5, timer") << 3 << "59.5" << zeroTo59;
        QTest::newRow("59.5, chime") << 2 << "59.5" << oneTo59;
        QTest::newRow("-1, timer") << 3 << "-1" << zeroTo59;
        QTest::newRow("60, repeat") << 4 << "60" << oneTo59;
        QTest::newRow("30.7, time signal") << 1 << "30.7" << QString();
        QTest::newRow("0.4, timer") << 3 << "0.4" << QString();
        QTest::newRow("full-width 59, chime") << 2 << "５９" << QString();
        // 0.5 is above 0 but would be stored as 0.
        QTest::newRow("0.5, time signal") << 1 << "0.5" << oneTo59;
    }
    void valueChecks()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Window w;
        w.type(4)->setCurrentIndex(type);
        w.value(4)->setFocus(Qt::TabFocusReason);
        w.value(4)->setText(text);
        w.tune(4)->setFocus(Qt::TabFocusReason);
        if (message.isEmpty()) {
            QVERIFY(shownMessages().isEmpty());
            QVERIFY(w.tune(4)->hasFocus());
            return;
        }
        QCOMPARE(shownMessages(), QStringList{kTitle + "|" + message});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QVERIFY(w.value(4)->hasFocus());
    }

    void typeToItsOwnValueIsNotChecked()
    {
        Window w;
        w.type(0)->setFocus(Qt::TabFocusReason);
        w.type(0)->setCurrentIndex(1);  // value is still "0"
        w.value(0)->setFocus(Qt::TabFocusReason);
        QVERIFY(shownMessages().isEmpty());
        QVERIFY(w.value(0)->hasFocus());
        w.type(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(shownMessages(), QStringList{kTitle + "|1～59の値を設定してください。"});
        QVERIFY(w.value(0)->hasFocus());

        // Leaving the type box anywhere else checks the row's value.
        w.value(0)->setText("5");
        w.type(0)->setFocus(Qt::TabFocusReason);
        w.value(0)->setText("0");
        MessageBox::clearShown();
        w.type(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(shownMessages().size(), 1);
        QVERIFY(w.value(0)->hasFocus());
    }

    void tuneIsChecked()
    {
        Window w;
        const QString message = QStringLiteral("初期設定|入力した値が不正です。\r\n1～7の値を設定してください。");
        for (const char* bad : {"abc", "9", "0", "7.5"}) {
            MessageBox::clearShown();
            w.tune(6)->setFocus(Qt::TabFocusReason);
            w.tune(6)->setText(bad);
            w.type(7)->setFocus(Qt::TabFocusReason);
            QCOMPARE(shownMessages(), QStringList{message});
            QVERIFY2(w.tune(6)->hasFocus(), bad);
        }
        MessageBox::clearShown();
        w.tune(6)->setText("７");
        w.type(7)->setFocus(Qt::TabFocusReason);
        QVERIFY(shownMessages().isEmpty());
    }

    void closingWithARefusedTypeStaysOpen()
    {
        setCircuit(2, 1, 5, 1);
        setCircuit(5, 3, 0, 1);
        addWeekRow(2, 0, 1, 0, 8, 0, 0);
        addEveryYearRow(5, 12, 31, 0);
        Window w;
        // Changed without leaving the boxes, so only closing can catch it.
        w.type(4)->setCurrentIndex(1);
        w.type(1)->setCurrentIndex(2);
        w.value(1)->setText("5");
        QVERIFY(!w.form->close());
        QCOMPARE(shownMessages(), QStringList{kLocked});
        QVERIFY(w.form->isVisible());
        QVERIFY(w.type(1)->hasFocus());

        w.type(1)->setCurrentIndex(1);
        QVERIFY(!w.form->close());
        QCOMPARE(shownMessages().size(), 2);
        QVERIFY(w.type(4)->hasFocus());
        QCOMPARE(settingRow(5), (QList<int>{3, 0, 1}));
        QCOMPARE(memoryRow(5), (QList<int>{3, 0, 1}));

        w.type(4)->setCurrentIndex(3);
        QVERIFY(w.form->close());
        QCOMPARE(shownMessages().size(), 2);
    }

    void closingChecksTheValuesAgain()
    {
        Window w;
        // Values typed and left without a focus change (the close box
        // clicked straight after typing).
        w.type(0)->setCurrentIndex(1);
        w.value(0)->setText("0");
        w.tune(3)->setText("abc");
        QVERIFY(!w.form->close());
        QCOMPARE(shownMessages(), QStringList{kTitle + "|1～59の値を設定してください。"});
        QVERIFY(w.value(0)->hasFocus());

        w.value(0)->setText("30");
        QVERIFY(!w.form->close());
        QCOMPARE(shownMessages().last(), QStringLiteral("初期設定|入力した値が不正です。\r\n1～7の値を設定してください。"));
        QVERIFY(w.tune(3)->hasFocus());
        QCOMPARE(settingRow(1), (QList<int>{0, 0, 1}));
        QCOMPARE(memoryRow(1)[0], 0);

        w.tune(3)->setText("4");
        QVERIFY(w.form->close());
        QCOMPARE(shownMessages().size(), 2);
        QCOMPARE(settingRow(1), (QList<int>{1, 30, 1}));
        QCOMPARE(settingRow(4), (QList<int>{0, 0, 4}));
    }

    // A click on 閉じる moves the focus out of a wrong value first: the user
    // sees that value's message once and the window stays.
    void closeButtonAfterARefusedValue()
    {
        Window w;
        w.type(2)->setCurrentIndex(3);
        w.value(2)->setFocus(Qt::TabFocusReason);
        w.value(2)->setText("60");
        QTest::mouseClick(w.closeButton(), Qt::LeftButton);
        QCOMPARE(shownMessages(), QStringList{kTitle + "|0～59の値を設定してください。"});
        QVERIFY(w.form->isVisible());
        QVERIFY(w.value(2)->hasFocus());

        w.value(2)->setText("0");
        QTest::mouseClick(w.closeButton(), Qt::LeftButton);
        QCOMPARE(shownMessages().size(), 1);
        QVERIFY(!w.form->isVisible());
        QCOMPARE(settingRow(3), (QList<int>{3, 0, 1}));
    }

    void savesIntoTheTableAndTheCircuitSettings()
    {
        setCircuit(8, 4, 20, 2);
        Window w;
        w.fill(0, 2, "10", "3");
        w.fill(1, 3, "０", "７");  // full-width digits
        w.fill(2, 1, "12.5");      // stored as an integer, half to even
        w.fill(3, 4, "59", "2");
        w.fill(7, 0, "");
        QVERIFY(shownMessages().isEmpty());
        QVERIFY(w.form->close());
        QCOMPARE(settingRow(1), (QList<int>{2, 10, 3}));
        QCOMPARE(settingRow(2), (QList<int>{3, 0, 7}));
        QCOMPARE(settingRow(3), (QList<int>{1, 12, 1}));
        QCOMPARE(settingRow(4), (QList<int>{4, 59, 2}));
        QCOMPARE(settingRow(5), (QList<int>{0, 0, 1}));
        QCOMPARE(settingRow(8), (QList<int>{0, 0, 1}));
        for (int circuit = 1; circuit <= 8; ++circuit)
            QCOMPARE(memoryRow(circuit), settingRow(circuit));
    }

    void previewPlaysTheRowsTune()
    {
        setCircuit(6, 0, 0, 6);
        Window w;
        QTest::mouseClick(w.get<QPushButton>("Button_Chime_5"), Qt::LeftButton);
        QCOMPARE(m_playLog.size(), 2);
        QVERIFY(m_playLog[0].contains("/snd/06.mp3"));
        QCOMPARE(shownMessages(), QStringList{"チャイム演奏|OKを押すと再生を終了します。"});

        // A wrong tune is refused when the focus leaves it; nothing plays.
        m_playLog.clear();
        MessageBox::clearShown();
        w.tune(5)->setFocus(Qt::TabFocusReason);
        w.tune(5)->setText("8");
        QTest::mouseClick(w.get<QPushButton>("Button_Chime_5"), Qt::LeftButton);
        QCOMPARE(shownMessages().size(), 1);
        QVERIFY(m_playLog.isEmpty());
    }

    // The new user's first session: settings made, heard, kept.
    void settingsAreKeptAcrossOpenings()
    {
        Form_Main main;
        main.Form_Load();
        main.show();
        auto* initial = main.findChild<QPushButton*>("Button_Initial");
        initial->click();
        QPointer<Form_Environment> opened = qobject_cast<Form_Environment*>(FindForm("Form_Environment"));
        QVERIFY(opened);
        QVERIFY(!main.isVisible());
        {
            QApplication::setActiveWindow(opened);
            QVERIFY(QTest::qWaitForWindowActive(opened));
            Window w(opened);
            w.fill(0, 2, "10", "3");
            w.fill(1, 3, "0");
            QTest::mouseClick(w.get<QPushButton>("Button_Chime_0"), Qt::LeftButton);
            QVERIFY(m_playLog.value(0).contains("/snd/03.mp3"));
            QTest::mouseClick(w.closeButton(), Qt::LeftButton);
            QVERIFY(main.isVisible());
            QVERIFY(!IsFormLoaded("Form_Environment"));
        }
        MessageBox::clearShown();
        main.findChild<QPushButton*>("Button_Week")->click();
        main.findChild<QPushButton*>("Button_Year")->click();
        QVERIFY(shownMessages().isEmpty());

        QTRY_VERIFY(opened.isNull());
        initial->click();
        auto* again = qobject_cast<Form_Environment*>(FindForm("Form_Environment"));
        QVERIFY(again);
        Window w(again);
        QCOMPARE(w.type(0)->currentIndex(), 2);
        QCOMPARE(w.value(0)->text(), QStringLiteral("10"));
        QCOMPARE(w.tune(0)->text(), QStringLiteral("3"));
        QCOMPARE(w.type(1)->currentIndex(), 3);
        QCOMPARE(w.value(1)->text(), QStringLiteral("0"));
        QVERIFY(w.value(1)->isEnabled());
    }

private:
    std::unique_ptr<ScratchStore> m_store;
    QStringList m_playLog;
};

QTEST_MAIN(TestEnvironment)
#include "test_environment.moc"
