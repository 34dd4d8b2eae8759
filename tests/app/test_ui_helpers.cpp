#include "TestSupport.h"
#include "app/ui/FileDialog.h"
#include "app/ui/Guard.h"
#include "app/ui/InputCheck.h"
#include "app/ui/MessageBox.h"
#include "app/ui/WindowUtil.h"
#include "store/ProgramStore.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <QtTest>

using namespace TestSupport;

class TestUiHelpers : public QObject
{
    Q_OBJECT
private slots:
    void init() { scriptDialogs(); }

    void guardTurnsFailuresIntoTheErrorBox()
    {
        QVERIFY(runGuarded(nullptr, [] {}));
        QVERIFY(!runGuarded(nullptr, [] { throw StoreError("disk I/O error"); }));
        const MessageBox::Shown box = MessageBox::lastShown();
        QCOMPARE(box.title, QStringLiteral("Error"));
        QCOMPARE(box.text, QStringLiteral("disk I/O error"));
        QCOMPARE(box.icon, MessageBox::Icon::None);
        QCOMPARE(box.buttons, MessageBox::Buttons(QMessageBox::Ok));
    }

    void fileDialogSeam()
    {
        FileDialog::queuePath("/tmp/x/WZ48PROG.dat");
        QCOMPARE(ShowFileDialog(nullptr, "保存先の指定", FileDialogSave), QStringLiteral("/tmp/x/WZ48PROG.dat"));
        QCOMPARE(ShowFileDialog(nullptr, "ファイルを開く WZ48PROG.dat", FileDialogOpen), QString());
        QCOMPARE(ShowFileDialog(nullptr, "other", 2), QString());  // unknown mode shows nothing
        QCOMPARE(FileDialog::titlesShown(), (QStringList{"保存先の指定", "ファイルを開く WZ48PROG.dat"}));
        // The next dialog starts where the last chosen file is, a cancelled one changes nothing.
        QCOMPARE(FileDialog::startFolder(), QStringLiteral("/tmp/x"));
    }

    // Windows open centred on the main window, or on the screen before
    // there is one, and always inside the screen.
    void windowsOpenCentredAndInView()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // Across: a window not shown yet has no title bar to reckon with.
        const auto centredOn = [](const QWidget& window, const QRect& around) {
            return qAbs(window.frameGeometry().center().x() - around.center().x()) <= 1;
        };
        QWidget lone;
        lone.resize(200, 100);
        placeWindow(&lone);
        QVERIFY(centredOn(lone, screen));

        QWidget main;
        main.setObjectName("Form_Main");
        main.setGeometry(screen.left() + 10, screen.top() + 20, 300, 200);
        main.show();
        main.hide();  // hidden while a working window is open: still the centre
        QWidget working;
        working.resize(100, 60);
        placeWindow(&working);
        QVERIFY(centredOn(working, main.frameGeometry()));

        QWidget tall;
        tall.resize(100, screen.height() * 2);
        placeWindow(&tall);
        QVERIFY(centredOn(tall, main.frameGeometry()));
        QCOMPARE(tall.frameGeometry().top(), screen.top());
    }

    void focusLossCheckRefocusesTheBox()
    {
        QWidget window;
        auto* box = new QLineEdit(&window);
        auto* other = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        QWidget* seenNext = nullptr;
        InputCheck::onFocusLoss(box, [&](QWidget* next) {
            seenNext = next;
            InputCheck::checkRange(box, 0, 23);
        });
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));

        box->setFocus();
        box->setText("２４");
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(seenNext, other);
        QCOMPARE(MessageBox::lastShown().text, QStringLiteral("入力した値が不正です。\r\n0～23の値を設定してください。"));
        QCOMPARE(MessageBox::lastShown().title, QStringLiteral("入力エラー"));
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QVERIFY(box->hasFocus());

        MessageBox::clearShown();
        box->setText("２３");
        other->setFocus(Qt::TabFocusReason);
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(other->hasFocus());
    }

    void loadedWindowsAndCountLabels()
    {
        ScratchStore store;
        auto* week = new QWidget;
        week->setObjectName("Form_Week");
        auto* label = new QLabel(week);
        label->setObjectName("Label_ProgramCount");
        QVERIFY(IsFormLoaded("Form_Week"));
        QVERIFY(!IsFormLoaded("form_week"));
        for (int i = 0; i < 5; ++i)
            addWeekRow(1, 0, i, 0, 8, 0, 0);
        UpdateProgramCount("Form_Week");
        QCOMPARE(label->text(), QStringLiteral("895"));
        UpdateProgramCount("Form_Year");  // not a week window: nothing happens
        QCOMPARE(label->text(), QStringLiteral("895"));
        MarkFormUnloaded(week);
        QVERIFY(!IsFormLoaded("Form_Week"));
        delete week;
        QVERIFY(!IsFormLoaded("Form_Copy"));
    }
};

QTEST_MAIN(TestUiHelpers)
#include "test_ui_helpers.moc"
