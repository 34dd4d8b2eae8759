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
#include <QAbstractItemView>
#include <QToolButton>
#include <QtTest>

using namespace TestSupport;

namespace {

const QString kLocked = QStringLiteral("初期設定|設定済みのプログラムがあるため、回路のプログラムの種類は変更できません。");
const QString kNotNumeric = QStringLiteral("初期設定|入力した値が不正です。\r\n1～59の値を設定してください。");
const QString kOneTo59 = QStringLiteral("初期設定|1～59の値を設定してください。");
const QString kZeroTo59 = QStringLiteral("初期設定|0～59の値を設定してください。");
const QString kBadTune = QStringLiteral("初期設定|入力した値が不正です。\r\n1～7の値を設定してください。");

// The settings window of one test, shown and active so that focus moves
// run the checks as they do for a user.
class Window
{
public:
    explicit Window(Form_Environment* existing = nullptr) : form(existing ? existing : new Form_Environment)
    {
        activate(form);
    }
    ~Window() { delete form.data(); }

    template <typename T>
    T* get(const char* name, int row = -1) const
    {
        T* widget = form->findChild<T*>(row < 0 ? QString(name) : QStringLiteral("%1_%2").arg(name).arg(row));
        if (!widget)
            qFatal("no control %s %d", name, row);
        return widget;
    }
    QComboBox* type(int row) const { return get<QComboBox>("Combo_Function", row); }
    QLineEdit* value(int row) const { return get<QLineEdit>("Text_Function", row); }
    QLineEdit* tune(int row) const { return get<QLineEdit>("Text_Chime", row); }
    void click(const char* button, int row = -1) { QTest::mouseClick(get<QPushButton>(button, row), Qt::LeftButton); }

    // Moves the focus to `box` as the Tab key does, then sets its text.
    static QWidget* focus(QWidget* box, const QString& text = {})
    {
        box->setFocus(Qt::TabFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(box); edit && !text.isNull())
            edit->setText(text);
        return box;
    }
    // Fills a row as a user would: type, then value, then on to the tune.
    void fill(int row, int typeCode, const QString& seconds, const QString& tuneText = QStringLiteral("1"))
    {
        focus(type(row));
        type(row)->setCurrentIndex(typeCode);
        if (typeCode != 0)
            focus(value(row), seconds);
        focus(tune(row), tuneText);
        focus(get<QPushButton>("Button_Close"));
    }

    // "type [－]value [off] ♪tune", "off" when the value and its arrows are
    // both disabled.
    QString state(int row) const
    {
        const bool on = value(row)->isEnabled();
        const bool minus = get<QLabel>("Label_Minus", row)->isVisible();
        const QString off = on == get<UpDownButtons>("UpDown", row)->isEnabled() ? (on ? "" : " off") : " arrows?";
        return QString::number(type(row)->currentIndex()) + (minus ? " －" : " ") + value(row)->text() + off + " ♪"
               + tune(row)->text();
    }

    QPointer<Form_Environment> form;
};

// "Program PulseTime Chime" as saved, when T_Setting and CircuitSettings agree.
QString saved(int circuit)
{
    const QString table = ProgramStore::scalar(
        "SELECT Program || ' ' || PulseTime || ' ' || Chime FROM T_Setting WHERE CircuitNO = ?", {circuit}).toString();
    const CircuitSetting& s = CircuitSettings[circuit];
    const QString memory = QStringLiteral("%1 %2 %3").arg(s.Program).arg(s.PulseTime).arg(s.Chime);
    return table == memory ? table : QStringLiteral("table %1, memory %2").arg(table, memory);
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

    void rowStateFollowsTheType()
    {
        setCircuit(1, 2, 58, 3);
        setCircuit(2, 3, 0, 7);
        ProgramStore::exec("UPDATE T_Setting SET PulseTime = 5 WHERE CircuitNO = 3");  // stale, unused
        Window w;
        QCOMPARE((QStringList{w.form->windowTitle(), w.get<QLabel>("Label_Titile")->text(), w.type(0)->itemText(4),
                              w.get<QPushButton>("Button_Close")->text()}),
                 (QStringList{"初期設定", "初　期　設　定", "繰返し", "閉じる (&X)"}));
        QCOMPARE((QStringList{w.state(0), w.state(1), w.state(2)}),
                 (QStringList{"2 －58 ♪3", "3 0 ♪7", "0 0 off ♪1"}));
        QCOMPARE(w.type(0)->toolTip(), QStringLiteral("チャイムプログラム･･･指定時刻に内蔵チャイムを鳴らします。"));
        QCOMPARE(w.value(0)->toolTip(), QStringLiteral("1～59秒の範囲でチャイム起動時間を入力します。"));

        // The arrows stop at the ends of their range.
        QTest::mouseClick(w.get<UpDownButtons>("UpDown", 0)->upButton(), Qt::LeftButton);
        QTest::mouseClick(w.get<UpDownButtons>("UpDown", 0)->upButton(), Qt::LeftButton);
        w.get<UpDownButtons>("UpDownChime", 0)->stepBy(5);
        QCOMPARE(w.state(0), QStringLiteral("2 －59 ♪7"));

        w.type(2)->setCurrentIndex(4);
        w.type(0)->setCurrentIndex(0);
        QCOMPARE((QStringList{w.state(0), w.state(2)}), (QStringList{"0 0 off ♪7", "4 0 ♪1"}));
        QCOMPARE(w.type(0)->toolTip(), QStringLiteral("プログラムの種類を 報時、チャイム、タイマ、繰返しの中から選択します。"));
        QCOMPARE(w.value(0)->toolTip(), QStringLiteral("プログラムの種類により、出力時間、チャイム起動時間等を入力します。"));
        QVERIFY(shownMessages().isEmpty());
    }

    // Leaving a type box checks the type lock first, then the row's value.
    void leavingATypeBox_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("programs");
        QTest::addColumn<QString>("message");
        QTest::newRow("week programs") << 1 << "week" << kLocked;
        QTest::newRow("only year programs") << 2 << "year" << kLocked;
        QTest::newRow("no programs") << 1 << "" << QString();
        QTest::newRow("type 0 takes any type, value 0 is checked") << 0 << "week" << kOneTo59;
    }
    void leavingATypeBox()
    {
        QFETCH(int, stored);
        QFETCH(QString, programs);
        QFETCH(QString, message);
        setCircuit(3, stored, stored == 0 ? 0 : 5);
        if (programs == "week")
            addWeekRow(3, 0, 1, 0, 8, 0, 0);
        else if (programs == "year")
            addYearRow(3, 24, 5, 3, 0);
        Window w;
        Window::focus(w.type(2));
        w.type(2)->setCurrentIndex(4);
        Window::focus(w.type(3));
        QCOMPARE(shownMessages(), message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY((message.isEmpty() ? w.type(3) : message == kLocked ? w.type(2) : static_cast<QWidget*>(w.value(2)))
                    ->hasFocus());
        if (message != kLocked)
            return;
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QCOMPARE(w.type(2)->currentIndex(), 4);  // the wrong choice stays on screen

        // Going on to the same row's value is refused too, without a value
        // check of its own.
        w.value(2)->setText("abc");
        Window::focus(w.value(2));
        QCOMPARE(shownMessages(), (QStringList{kLocked, kLocked}));
        QVERIFY(w.type(2)->hasFocus());
    }

    // Type -1 stands for the row's tune box. The box is reached from the
    // row's type box, which leaves the value (still 0) unchecked.
    void entryChecks_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("abc, time signal") << 1 << "abc" << kNotNumeric;
        QTest::newRow("abc, timer names 1-59 too") << 3 << "abc" << kNotNumeric;
        QTest::newRow("0, timer") << 3 << "0" << QString();
        QTest::newRow("0, time signal") << 1 << "0" << kOneTo59;
        QTest::newRow("0, chime") << 2 << "0" << kOneTo59;
        QTest::newRow("0, repeat") << 4 << "0" << kOneTo59;
        QTest::newRow("0.5 would be stored as 0") << 1 << "0.5" << kOneTo59;
        QTest::newRow("59.5, timer") << 3 << "59.5" << kZeroTo59;
        QTest::newRow("59.4, above 59 before rounding") << 3 << "59.4" << kZeroTo59;
        QTest::newRow("-0.4, below 0 before rounding") << 3 << "-0.4" << kZeroTo59;
        QTest::newRow("full-width 59, chime") << 2 << "５９" << QString();
        for (const char* tune : {"abc", "8", "0", "7.5", "７"})
            QTest::addRow("tune %s", tune) << -1 << tune << (QString(tune) == "７" ? QString() : kBadTune);
    }
    void entryChecks()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Window w;
        Window::focus(w.type(4));
        w.type(4)->setCurrentIndex(std::max(type, 0));
        QWidget* box = Window::focus(type < 0 ? w.tune(4) : w.value(4), text);
        Window::focus(w.type(5));
        QCOMPARE(shownMessages(), message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY((message.isEmpty() ? w.type(5) : box)->hasFocus());
        if (!message.isEmpty())
            QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
    }

    // Entries changed without leaving their boxes are caught on closing:
    // refused types first, lowest circuit first, then values and tunes.
    void closingChecksEverythingAgain()
    {
        setCircuit(2, 1, 5, 1);
        setCircuit(5, 3, 0, 1);
        addWeekRow(2, 0, 1, 0, 8, 0, 0);
        addEveryYearRow(5, 12, 31, 0);
        Window w;
        w.type(4)->setCurrentIndex(1);
        w.type(1)->setCurrentIndex(2);
        w.type(0)->setCurrentIndex(1);  // value 0
        w.tune(3)->setText("abc");
        const QStringList expected = {kLocked, kLocked, kOneTo59, kBadTune};
        const QList<QWidget*> focused = {w.type(1), w.type(4), w.value(0), w.tune(3)};
        const QList<std::function<void()>> fixes = {
            [&] { w.type(1)->setCurrentIndex(1); }, [&] { w.type(4)->setCurrentIndex(3); },
            [&] { w.value(0)->setText("30"); }, [&] { w.tune(3)->setText("4"); }};
        for (int i = 0; i < fixes.size(); ++i) {
            QVERIFY(!w.form->close() && w.form->isVisible());
            QCOMPARE(shownMessages(), expected.mid(0, i + 1));
            QVERIFY(focused[i]->hasFocus());
            QCOMPARE(saved(5), QStringLiteral("3 0 1"));
            fixes[i]();
        }
        QVERIFY(w.form->close());
        QCOMPARE(shownMessages().size(), 4);
        QCOMPARE((QStringList{saved(1), saved(4)}), (QStringList{"1 30 1", "0 0 4"}));
    }

    // A click on 試聴 or 閉じる that takes the focus out of a wrong entry is
    // dropped: the user sees that entry's message once and nothing else.
    void clickAfterARefusedEntryIsDropped()
    {
        Window w;
        Window::focus(w.tune(5), "8");
        w.click("Button_Chime", 5);
        QCOMPARE(shownMessages(), QStringList{kBadTune});
        QVERIFY(m_playLog.isEmpty() && w.tune(5)->hasFocus());

        w.tune(5)->setText("6");
        w.type(2)->setCurrentIndex(3);
        Window::focus(w.value(2), "60");
        w.click("Button_Close");
        QCOMPARE(shownMessages(), (QStringList{kBadTune, kZeroTo59}));
        QVERIFY(w.form->isVisible() && w.value(2)->hasFocus());

        w.value(2)->setText("0");
        w.click("Button_Close");
        QVERIFY(!w.form->isVisible());
        QCOMPARE(shownMessages().size(), 2);
        QCOMPARE((QStringList{saved(3), saved(6)}), (QStringList{"3 0 1", "0 0 6"}));
    }

    // The list clicked out of a refused type change does not drop down.
    void listClickedAfterATypeLockStaysShut()
    {
        setCircuit(3, 1, 5);
        addWeekRow(3, 0, 1, 0, 8, 0, 0);
        Window w;
        Window::focus(w.type(2));
        w.type(2)->setCurrentIndex(4);
        QTest::mouseClick(w.type(3), Qt::LeftButton);
        QCOMPARE(shownMessages(), QStringList{kLocked});
        QVERIFY(w.type(2)->hasFocus());
        QVERIFY(!w.type(3)->view()->isVisible());
    }

    // The new user's first session: settings made, heard, saved, kept.
    void settingsAreSavedAndKeptAcrossOpenings()
    {
        setCircuit(8, 4, 20, 2);
        Form_Main main;
        main.Form_Load();
        main.show();
        auto* initial = main.findChild<QPushButton*>("Button_Initial");
        initial->click();
        auto* opened = qobject_cast<Form_Environment*>(FindForm("Form_Environment"));
        QVERIFY(opened);
        QVERIFY(!main.isVisible());
        {
            Window w(opened);
            w.fill(0, 2, "10", "3");
            w.fill(1, 3, "０", "７");  // full-width digits
            w.fill(2, 1, "12.5");      // half to even
            w.fill(3, 4, "58.6", "2");
            w.fill(7, 0, "");
            w.click("Button_Chime", 0);
            QCOMPARE(m_playLog.size(), 2);
            QVERIFY(m_playLog[0].endsWith("/snd/03.mp3 boxes=0"));
            w.click("Button_Close");
            QVERIFY(main.isVisible() && !IsFormLoaded("Form_Environment"));
        }
        QStringList all;
        for (int circuit = 1; circuit <= 8; ++circuit)
            all << saved(circuit);
        QCOMPARE(all, (QStringList{"2 10 3", "3 0 7", "1 12 1", "4 59 2", "0 0 1", "0 0 1", "0 0 1", "0 0 1"}));
        QCOMPARE(shownMessages(), QStringList{"チャイム演奏|OKを押すと再生を終了します。"});

        MessageBox::clearShown();
        main.findChild<QPushButton*>("Button_Week")->click();
        main.findChild<QPushButton*>("Button_Year")->click();
        QVERIFY(shownMessages().isEmpty());  // 週間プログラム no longer asks for settings
        initial->click();
        auto* reopened = qobject_cast<Form_Environment*>(FindForm("Form_Environment"));
        QVERIFY(reopened);
        Window again(reopened);
        QCOMPARE((QStringList{again.state(0), again.state(1)}), (QStringList{"2 －10 ♪3", "3 0 ♪7"}));
    }

private:
    std::unique_ptr<ScratchStore> m_store;
    QStringList m_playLog;
};

QTEST_MAIN(TestEnvironment)
#include "test_environment.moc"
