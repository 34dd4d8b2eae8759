#include "TestSupport.h"
#include "app/core/Dates.h"
#include "app/core/NumericText.h"
#include "app/ui/FileDialog.h"
#include "app/ui/Guard.h"
#include "app/ui/MessageBox.h"
#include "app/ui/WindowUtil.h"
#include "store/ProgramStore.h"

#include <QScreen>
#include <QtTest>

using namespace NumericText;
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
        QCOMPARE(shownMessages(), QStringList{"Error|disk I/O error"});
        const MessageBox::Shown box = MessageBox::lastShown();
        QCOMPARE(box.icon, MessageBox::Icon::None);
        QCOMPARE(box.buttons, MessageBox::Buttons(QMessageBox::Ok));
    }

    void fileDialogSeam()
    {
        FileDialog::queuePath("/tmp/x/WZ48PROG.dat");
        QCOMPARE(ShowFileDialog(nullptr, "保存先の指定", FileDialogSave), QStringLiteral("/tmp/x/WZ48PROG.dat"));
        QCOMPARE(ShowFileDialog(nullptr, "ファイルを開く WZ48PROG.dat", FileDialogOpen), QString());
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

    void onlyPlainDecimalsAreNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "12" << true << 12.0;
        QTest::newRow("signed") << "-3" << true << -3.0;
        QTest::newRow("fraction") << "0.3" << true << 0.3;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("blanks around") << " 7 " << true << 7.0;
        QTest::newRow("full-width digits") << "１２" << true << 12.0;
        QTest::newRow("full-width minus and point") << "－１．５" << true << -1.5;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "  " << false << 0.0;
        QTest::newRow("exponent") << "1e1" << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("hex") << "0x1F" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("inner blank") << "1 2" << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << 0.0;
    }

    void onlyPlainDecimalsAreNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const auto real = toReal(text);
        QCOMPARE(real.has_value(), numeric);
        if (numeric)
            QCOMPARE(*real, value);
    }

    void roundsHalvesToEven()
    {
        QCOMPARE(roundHalfEven(0.5), 0LL);
        QCOMPARE(roundHalfEven(1.5), 2LL);
        QCOMPARE(roundHalfEven(2.5), 2LL);
        QCOMPARE(roundHalfEven(-2.5), -2LL);
        QCOMPARE(roundHalfEven(2.6), 3LL);
        QCOMPARE(toInteger("５８．５").value(), 58);
        QVERIFY(!toInteger("99999999999999").has_value());
    }

    void realDates()
    {
        QVERIFY(!IsRealDate(2014, 2, 29));
        QVERIFY(IsRealDate(2016, 2, 29));
        QVERIFY(!IsRealDate(2014, 4, 31));
        QVERIFY(IsRealDate(14, 5, 3));
        QVERIFY(IsRealDate(0, 2, 29));  // 2000 was a leap year
        QVERIFY(!IsRealDate(2014, 13, 1));
        QVERIFY(!IsRealDate(2014, 0, 10));
        QVERIFY(!IsRealDate(2014, 1, 0));
    }
};

QTEST_MAIN(TestUiHelpers)
#include "test_ui_helpers.moc"
