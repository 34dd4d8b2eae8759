// The helpers every window uses: the guard, the file dialog's seam, window placing, the number box check.
#include "TestSupport.h"
#include "store/ScheduleDocument.h"
#include "ui/DateTyping.h"
#include "ui/FileDialog.h"
#include "ui/Guard.h"
#include "ui/InputCheck.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QScreen>
#include <QVBoxLayout>
#include <QtTest>

using namespace TestSupport;

class TestUi : public QObject
{
    Q_OBJECT
private slots:
    void init() { scriptDialogs(); }

    // The guard turns failures into the "エラー" box; the file dialog's seam.
    void guardAndFileDialogSeam()
    {
        QVERIFY(runGuarded(nullptr, [] {}));
        QVERIFY(!runGuarded(nullptr, [] { throw StoreError("disk I/O error"); }));
        QCOMPARE(shownMessages(), QStringList{"エラー|disk I/O error"});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::None);
        QCOMPARE(MessageBox::lastShown().buttons, MessageBox::Buttons(QMessageBox::Ok));

        FileDialog::queuePath("/tmp/x/WZ48PROG.dat");
        QCOMPARE(ShowFileDialog(nullptr, "保存先の指定", FileDialogSave), QStringLiteral("/tmp/x/WZ48PROG.dat"));
        QCOMPARE(ShowFileDialog(nullptr, "ファイルを開く WZ48PROG.dat", FileDialogOpen), QString());
        // The next dialog starts where the last chosen file is, a cancelled one changes nothing.
        QCOMPARE(FileDialog::startFolder(), QFileInfo("/tmp/x/WZ48PROG.dat").absolutePath());
        // A 行事予定 table kept elsewhere does not move where program files are looked for.
        FileDialog::queuePath("/tmp/y/gyoji.csv");
        QCOMPARE(ShowFileDialog(nullptr, "行事予定を開く", FileDialogOpenTable), QStringLiteral("/tmp/y/gyoji.csv"));
        QCOMPARE(FileDialog::startFolder(), QFileInfo("/tmp/x/WZ48PROG.dat").absolutePath());
    }

    // Windows open centred on the main window, or on the screen before there is one, and always inside the screen.
    void windowsOpenCentredAndInView()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const auto placed = [](int width, int height) {
            QWidget window;
            window.resize(width, height);
            placeWindow(&window);
            return window.frameGeometry();
        };
        // Across: a window not shown yet has no title bar to reckon with.
        const auto offCentre = [](const QRect& window, const QRect& around) {
            return qAbs(window.center().x() - around.center().x());
        };
        QVERIFY(offCentre(placed(200, 100), screen) <= 1);

        QWidget main;
        main.setObjectName("Form_Main");
        main.setGeometry(screen.left() + 10, screen.top() + 20, 300, 200);
        main.show();
        main.hide();  // hidden while a working window is open: still the centre
        QVERIFY(offCentre(placed(100, 60), main.frameGeometry()) <= 1);
        const QRect tall = placed(100, screen.height() * 2);
        QVERIFY(offCentre(tall, main.frameGeometry()) <= 1);
        QCOMPARE(tall.top(), screen.top());
    }

    // A number box outside its range, the typed value or its rounding, is refused once with the range and gets
    // the focus back, its text selected.
    void numberBoxCheck_data()
    {
        QTest::addColumn<QString>("text"); QTest::addColumn<int>("hi"); QTest::addColumn<bool>("accepted");
        QTest::newRow("hour 23") << "23" << 23 << true;
        QTest::newRow("hour 23.4") << "23.4" << 23 << false;
        QTest::newRow("hour 24") << "24" << 23 << false;
        QTest::newRow("tune 7.4") << "7.4" << 7 << false;
    }
    void numberBoxCheck()
    {
        QFETCH(QString, text); QFETCH(int, hi); QFETCH(bool, accepted);
        QWidget window;
        auto* box = new QLineEdit(text, &window);
        auto* next = new QPushButton(&window);
        (new QVBoxLayout(&window))->addWidget(box);
        window.layout()->addWidget(next);
        activate(&window);
        next->setFocus();
        QCOMPARE(InputCheck::checkRange(box, 0, hi), accepted);
        QCOMPARE(shownMessages(), accepted ? QStringList()
                                           : QStringList{QStringLiteral("入力エラー|入力した値が不正です。\r\n0～%1の値を設定してください。")
                                                             .arg(hi)});
        QCOMPARE(std::pair(box->hasFocus(), box->selectedText()), std::pair(!accepted, accepted ? QString() : text));
    }

    // A number typed into a number box replaces it, whether the box got the focus by a click or as its window
    // opened; coming back from another window leaves the cursor where it was.
    void numberBoxTypedOver_data()
    {
        QTest::addColumn<bool>("spin"); QTest::addColumn<QString>("how"); QTest::addColumn<QString>("text");
        QTest::newRow("clicked") << false << "click" << "12";
        QTest::newRow("window opened") << false << "open" << "12";
        QTest::newRow("back from another window") << false << "back" << "312";
        QTest::newRow("spin box clicked") << true << "click" << "12日";
    }
    void numberBoxTypedOver()
    {
        QFETCH(bool, spin); QFETCH(QString, how); QFETCH(QString, text);
        QWidget window;
        QWidget* box = nullptr;
        if (spin) {
            auto* days = new QSpinBox(&window);
            days->setRange(1, 31);
            days->setValue(3);
            days->setSuffix(QStringLiteral("日"));
            selectWholeOnFocus(days);
            box = days;
        } else {
            box = makeNumberBox(&window, QStringLiteral("Text_Number"), 60);
            static_cast<QLineEdit*>(box)->setText(QStringLiteral("3"));
        }
        auto* other = new QPushButton(&window);
        (new QVBoxLayout(&window))->addWidget(box);
        window.layout()->addWidget(other);
        activate(&window);
        QLineEdit* line = spin ? box->findChild<QLineEdit*>() : static_cast<QLineEdit*>(box);
        if (how == "click") {
            other->setFocus();
            QTest::mouseClick(line, Qt::LeftButton, {}, QPoint(2, line->height() / 2));
        } else if (how == "back") {
            line->setCursorPosition(line->text().size());
            QWidget elsewhere;
            activate(&elsewhere);
            activate(&window);
        }
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
        QCOMPARE(line->text(), text);
    }

    // Digits typed while a date box's calendar is dropped down close it and make the date in the box.
    void typingWithTheCalendarDown()
    {
        QWidget window;
        auto* box = new QDateEdit(&window);
        box->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
        box->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        box->setCalendarPopup(true);
        box->setDate(QDate(2026, 5, 1));
        AllowWholeDateTyping(box);
        (new QVBoxLayout(&window))->addWidget(box);
        activate(&window);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        QCalendarWidget* calendar = box->calendarWidget();
        QVERIFY(calendar->isVisible());
        QTest::keyClick(calendar->findChild<QAbstractItemView*>(), Qt::Key_2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0280720"));
        QCOMPARE(box->date(), QDate(2028, 7, 20));
        QVERIFY(!calendar->isVisible());
    }
};

QTEST_MAIN(TestUi)
#include "test_ui.moc"
