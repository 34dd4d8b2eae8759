#include "TestSupport.h"
#include "app/ui/FileDialog.h"
#include "app/ui/Guard.h"
#include "app/ui/MessageBox.h"
#include "app/ui/WindowUtil.h"
#include "store/ProgramStore.h"

#include <QScreen>
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
};

QTEST_MAIN(TestUiHelpers)
#include "test_ui_helpers.moc"
