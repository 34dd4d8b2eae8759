#include "FakeChimePlayer.h"
#include "TestSupport.h"
#include "app/Form_Main.h"
#include "ui/WindowUtil.h"
#include "settings/Form_Environment.h"
#include "settings/UpDownButtons.h"
#include "snd/player/PlayChime.h"
#include "store/ScheduleDocument.h"
#include "store/CircuitSetting.h"
#include "store/StoreRoutines.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace TestSupport;

namespace {

const QString kLocked = QStringLiteral("初期設定|設定済みのプログラムがあるため、回路のプログラムの種類は変更できません。");
const QString kNotNumeric = QStringLiteral("初期設定|入力した値が不正です。\r\n1～59の値を設定してください。");
const QString kOneTo59 = QStringLiteral("初期設定|1～59の値を設定してください。");
const QString kZeroTo59 = QStringLiteral("初期設定|0～59の値を設定してください。");
const QString kBadTune = QStringLiteral("初期設定|入力した値が不正です。\r\n1～7の値を設定してください。");
const QString kPlaying = QStringLiteral("チャイム演奏|OKを押すと再生を終了します。");

// The settings window of one test, shown and active so that focus moves
// run the checks as they do for a user.
class Window
{
public:
    explicit Window(Form_Environment* existing = nullptr) : form(existing ? existing : new Form_Environment(Scratch::history()))
    {
        activate(form);
    }
    ~Window() { delete form.data(); }

    template <typename T>
    T* get(const char* name, int row) const
    {
        return child<T>(form, QStringLiteral("%1_%2").arg(name).arg(row));
    }
    QComboBox* type(int row) const { return get<QComboBox>("Combo_Function", row); }
    QLineEdit* value(int row) const { return get<QLineEdit>("Text_Function", row); }
    QLineEdit* tune(int row) const { return get<QLineEdit>("Text_Chime", row); }
    void click(const char* button) { QTest::mouseClick(child<QPushButton>(form, button), Qt::LeftButton); }

    // Fills a row as a user would, moving on with the Tab key: type, then
    // value, then tune.
    void fill(int row, int typeCode, const QString& seconds, const QString& tuneText = QStringLiteral("1"))
    {
        type(row)->setFocus(Qt::TabFocusReason);
        type(row)->setCurrentIndex(typeCode);
        value(row)->setFocus(Qt::TabFocusReason);
        value(row)->setText(seconds);
        tune(row)->setFocus(Qt::TabFocusReason);
        tune(row)->setText(tuneText);
        child<QPushButton>(form, "Button_Close")->setFocus(Qt::TabFocusReason);
    }

    // "type [－]value [off] ♪tune", "off" when the value and its arrows are
    // both disabled, the box with the focus in brackets.
    QString state(int row) const
    {
        const auto shown = [](QWidget* box, const QString& text) { return box->hasFocus() ? "[" + text + "]" : text; };
        const bool on = value(row)->isEnabled();
        const bool minus = get<QLabel>("Label_Minus", row)->isVisible();
        const QString off = on == get<UpDownButtons>("UpDown", row)->isEnabled() ? (on ? "" : " off") : " arrows?";
        return shown(type(row), QString::number(type(row)->currentIndex())) + (minus ? " －" : " ")
               + shown(value(row), value(row)->text()) + off + " ♪" + shown(tune(row), tune(row)->text());
    }

    QPointer<Form_Environment> form;
};

// Circuits 1 to 8 as saved, "Program PulseTime Chime" each, when T_Setting
// and CircuitSettings agree.
QStringList saved()
{
    QStringList all;
    for (int circuit = 1; circuit <= 8; ++circuit) {
        const QString table = Scratch::scalar(
            "SELECT Program || ' ' || PulseTime || ' ' || Chime FROM T_Setting WHERE CircuitNO = ?", {circuit}).toString();
        const CircuitSetting& s = Scratch::document().circuits()[circuit];
        const QString memory = QStringLiteral("%1 %2 %3").arg(s.Program).arg(s.PulseTime).arg(s.Chime);
        all << (table == memory ? table : QStringLiteral("table %1, memory %2").arg(table, memory));
    }
    return all;
}

}  // namespace

class TestEnvironment : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        Scratch::document().resetCircuits();
        m_playLog.clear();
        setChimePlayer(std::make_unique<FakeChimePlayer>(&m_playLog));
    }
    void cleanup() { m_store.reset(); }

    // Row 3 is filled in and left by a click: on the next row's list, or on
    // 試聴 from the tune box (type -1). Leaving a type box checks the type
    // lock first, then the row's value; going from the type to its value
    // leaves the value to be checked when it is left in turn. A refused entry
    // keeps the focus and the click is dropped: one message and nothing else.
    void leavingABox_data()
    {
        QTest::addColumn<QString>("stored");  // circuit 3's type (its value 5) and programs
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");  // for the value or tune box; none: the type box is left
        QTest::addColumn<QStringList>("outcome");  // messages, row 3, then "list" dropped down or tune played
        QTest::newRow("locked by week programs") << "1 week" << 4 << QString() << QStringList{kLocked, "[4] 5 ♪1"};
        QTest::newRow("locked by year programs") << "2 year" << 4 << QString() << QStringList{kLocked, "[4] 5 ♪1"};
        QTest::newRow("locked, no value check") << "1 week" << 4 << "abc" << QStringList{kLocked, kLocked, "[4] abc ♪1"};
        QTest::newRow("no programs") << "1" << 4 << QString() << QStringList{"4 5 ♪1", "list"};
        QTest::newRow("stored type 0 is no lock") << "0 week" << 4 << QString() << QStringList{kOneTo59, "4 [0] ♪1"};
        QTest::newRow("abc, timer names 1-59 too") << "" << 3 << "abc" << QStringList{kNotNumeric, "3 [abc] ♪1"};
        QTest::newRow("0, timer") << "" << 3 << "0" << QStringList{"3 0 ♪1", "list"};
        QTest::newRow("0, chime") << "" << 2 << "0" << QStringList{kOneTo59, "2 －[0] ♪1"};
        QTest::newRow("0.5 would be stored as 0") << "" << 1 << "0.5" << QStringList{kOneTo59, "1 [0.5] ♪1"};
        QTest::newRow("59.4, above 59 before rounding") << "" << 3 << "59.4" << QStringList{kZeroTo59, "3 [59.4] ♪1"};
        QTest::newRow("-0.4, below 0 before rounding") << "" << 3 << "-0.4" << QStringList{kZeroTo59, "3 [-0.4] ♪1"};
        QTest::newRow("full-width 59, chime") << "" << 2 << "５９" << QStringList{"2 －５９ ♪1", "list"};
        for (const char* tune : {"abc", "8", "0", "7.4"})
            QTest::addRow("tune %s", tune)
                << "" << -1 << tune << QStringList{kBadTune, "0 0 off ♪[" + QString(tune) + "]"};
        QTest::newRow("tune ７") << "" << -1 << "７" << QStringList{kPlaying, "0 0 off ♪７", "played 07.mp3"};
    }
    void leavingABox()
    {
        QFETCH(QString, stored); QFETCH(int, type); QFETCH(QString, text); QFETCH(QStringList, outcome);
        setCircuit(3, stored.left(1).toInt(), 5);
        if (stored.endsWith("week"))
            addWeekRow(3, 0, 1, 0, 8, 0, 0);
        else if (stored.endsWith("year"))
            addYearRow(3, 24, 5, 3, 0);
        Window w;
        w.type(2)->setFocus(Qt::TabFocusReason);
        w.type(2)->setCurrentIndex(std::max(type, 0));
        QLineEdit* box = type < 0 ? w.tune(2) : w.value(2);
        if (!text.isNull()) {
            box->setText(text);
            box->setFocus(Qt::TabFocusReason);
        }
        QWidget* next = type < 0 ? w.get<QWidget>("Button_Chime", 2) : w.type(3);
        QTest::mouseClick(next, Qt::LeftButton);
        QStringList got = shownMessages() << w.state(2);
        if (w.type(3)->view()->isVisible())
            got << "list";
        if (!m_playLog.isEmpty())
            got << "played " + m_playLog.first().section('/', -1).section(' ', 0, 0);
        QCOMPARE(got, outcome);
    }

    // Entries changed without leaving their boxes are caught on closing:
    // refused types first, lowest circuit first, then values and tunes.
    void closingChecksEverythingAgain()
    {
        setCircuit(2, 1, 5, 1);
        setCircuit(5, 3, 0, 1);
        addRows({{2, 0, 1, 0, 8, 0, 0}, {5, 12, 31, 0}});
        Window w;
        w.type(4)->setCurrentIndex(1);
        w.type(1)->setCurrentIndex(2);
        w.type(0)->setCurrentIndex(1);  // value 0
        w.tune(3)->setText("abc");
        const QStringList expected = {kLocked, kLocked, kOneTo59, kBadTune};
        const QList<QWidget*> focused = {w.type(1), w.type(4), w.value(0), w.tune(3)};
        const QStringList before = saved();
        const QList<std::function<void()>> fixes = {
            [&] { w.type(1)->setCurrentIndex(1); }, [&] { w.type(4)->setCurrentIndex(3); },
            [&] { w.value(0)->setText("30"); }, [&] { w.tune(3)->setText("4"); }};
        // Every other time by Escape, which closes as 閉じる does.
        const auto closeBy = [&](int i) {
            if (i % 2 == 0)
                return w.form->close();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            return w.form->isHidden();
        };
        for (int i = 0; i < fixes.size(); ++i) {
            QVERIFY(!closeBy(i) && w.form->isVisible() && focused[i]->hasFocus() && saved() == before);
            QCOMPARE(shownMessages(), expected.mid(0, i + 1));
            fixes[i]();
        }
        QVERIFY(closeBy(1));
        QCOMPARE(shownMessages(), expected);
        for (const MessageBox::Shown& box : MessageBox::shown())
            QCOMPARE(box.icon, MessageBox::Icon::Exclamation);
        QCOMPARE(saved(), (QStringList{"1 30 1", "1 5 1", "0 0 1", "0 0 4", "3 0 1", "0 0 1", "0 0 1", "0 0 1"}));
    }

    // Without a sound device the user is told so and nothing plays. The real
    // player, back after a null replacement: tunes outside 1～7 do nothing at
    // all (the time entry passes any number), a missing file ends in the box
    // alone, and the player may be destroyed while playing.
    void playChime()
    {
        const QString noDevice = QStringLiteral("チャイム演奏|音を再生できる装置がないため、試聴できません。");
        setChimePlayer(std::make_unique<FakeChimePlayer>(&m_playLog, false));
        PlayChime(3);
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        setChimePlayer(nullptr);
        for (int tune : {0, 8, 5})
            PlayChime(tune);  // no tune files beside the test
        QCOMPARE(shownMessages() + m_playLog,
                 (QStringList{noDevice, chimePlayer().hasOutputDevice() ? kPlaying : noDevice}));
        QVERIFY(MessageBox::lastShown().buttons == QMessageBox::Ok && !QGuiApplication::overrideCursor());
        const QString built = qEnvironmentVariable("WZ_BUILD_DIR") + "/snd/03.mp3";
        QVERIFY(QFileInfo::exists(built));
        std::unique_ptr<ChimePlayer> player = makeSystemChimePlayer();
        player->play(built);
        QTest::qWait(300);
        player->stop();
        player->play(built);
        player.reset();
        setChimePlayer(nullptr);  // gone before the application object
    }

    // The new user's first session: settings made, heard, saved, and shown
    // again at the next opening.
    void firstSession()
    {
        Form_Main main(Scratch::history());
        main.Form_Load();
        main.show();
        click(&main, "Button_Initial");
        auto* opened = qobject_cast<Form_Environment*>(FindForm("Form_Environment"));
        QVERIFY(opened && !main.isVisible());
        {
            Window w(opened);
            w.fill(0, 2, "10", "3");
            w.fill(1, 3, "０", "７");  // full-width digits
            w.fill(2, 1, "12.5");      // half to even
            w.fill(3, 4, "58.6", "2");
            w.click("Button_Chime_2");
            w.click("Button_Close");
            QVERIFY(main.isVisible() && !IsFormLoaded("Form_Environment"));
        }
        QCOMPARE(saved(), (QStringList{"2 10 3", "3 0 7", "1 12 1", "4 59 2", "0 0 1", "0 0 1", "0 0 1", "0 0 1"}));
        // Played before the box opens, stopped once it is closed, the hourglass up all along.
        QCOMPARE(m_playLog << shownMessages(),
                 (QStringList{"play " + QCoreApplication::applicationDirPath() + "/snd/01.mp3 boxes=0 busy", "stop boxes=1 busy",
                              kPlaying}));

        click(&main, "Button_Week");
        click(&main, "Button_Year");
        Scratch::exec("UPDATE T_Setting SET PulseTime = 5 WHERE CircuitNO = 5");  // stale, unused
        click(&main, "Button_Initial");
        auto* reopened = qobject_cast<Form_Environment*>(FindForm("Form_Environment"));
        QVERIFY(reopened);
        Window w(reopened);
        QCOMPARE((QStringList{w.state(0), w.state(1), w.state(4), w.form->windowTitle(),
                              child<QLabel>(w.form, "Label_Titile")->text(), w.type(0)->itemText(4),
                              child<QPushButton>(w.form, "Button_Close")->text(), w.type(0)->toolTip(),
                              w.value(0)->toolTip()}),
                 (QStringList{"[2] －10 ♪3", "3 0 ♪7", "0 0 off ♪1", "初期設定", "初　期　設　定", "繰返し", "閉じる (&X)",
                              "チャイムプログラム･･･指定時刻に内蔵チャイムを鳴らします。",
                              "1～59秒の範囲でチャイム起動時間を入力します。"}));

        // The arrows stop at the ends of their range.
        QTest::mouseClick(w.get<UpDownButtons>("UpDown", 1)->upButton(), Qt::LeftButton);
        QTest::mouseClick(w.get<UpDownButtons>("UpDown", 3)->upButton(), Qt::LeftButton);
        w.get<UpDownButtons>("UpDownChime", 3)->stepBy(6);
        w.type(4)->setCurrentIndex(4);
        w.type(0)->setCurrentIndex(0);
        QCOMPARE((QStringList{w.state(0), w.state(1), w.state(3), w.state(4), w.type(0)->toolTip(),
                              w.value(0)->toolTip()}),
                 (QStringList{"[0] 0 off ♪3", "3 1 ♪7", "4 59 ♪7", "4 0 ♪1",
                              "プログラムの種類を 報時、チャイム、タイマ、繰返しの中から選択します。",
                              "プログラムの種類により、出力時間、チャイム起動時間等を入力します。"}));
        QCOMPARE(shownMessages(), QStringList{kPlaying});  // 週間プログラム no longer asks for settings
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Information);
    }

private:
    std::unique_ptr<ScratchStore> m_store;
    QStringList m_playLog;
};

QTEST_MAIN(TestEnvironment)
#include "test_environment.moc"
