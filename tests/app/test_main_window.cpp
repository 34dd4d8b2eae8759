#include "TestSupport.h"
#include "app/Form_End.h"
#include "app/Form_Main.h"
#include "app/Startup.h"
#include "app/ui/FileDialog.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"

#include <QFileIconProvider>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace TestSupport;

namespace {

const QString kOpenTitle = QStringLiteral("ファイルを開く WZ48PROG.dat");
const QString kNoFile = QStringLiteral("ファイルを開く|ファイルが選択されていません。");
const QString kDiscard = QStringLiteral("データの読込|設定中のデータあります。\r\nデータは破棄されますが読込を続けますか？");

}  // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Form_End::setDisplayMilliseconds(10); }

    // Every caption, label and tooltip of the window, by objectName ("" for
    // no tooltip check).
    void fixedTexts()
    {
        Form_Main main;
        QCOMPARE(main.windowTitle(), QStringLiteral("WZ/QX プログラム作成"));
        const std::initializer_list<std::tuple<const char*, const char*, const char*>> texts{
            {"Button_Initial", "初期設定", "初期設定をします。"},
            {"Button_Week", "週間プログラム", "週間プログラムを設定します。"},
            {"Button_Year", "年間プログラム", "年間プログラムを設定します。"},
            {"Button_Day", "日付確認", "指定した日に実行されるプログラムを確認します。"},
            {"Button_Check", "プログラム印刷", "設定済みのプログラムを印刷します。"},
            {"Button_SaveFile", "書込", "プログラムファイルを保存します。"},
            {"Button_LoadFile", "読込", "プログラムファイルを読み込みます。"},
            {"Button_Quit", "終了", "WZ/QXシリーズプログラム作成ソフトウェアを終了します。"},
            {"Option_FileEdit_1", "編集", "作成済みのプログラムを読み込んで編集します。"},
            {"Option_FileEdit_0", "新規", "プログラムを新規で作成します。"},
            {"Frame_SelectProgram", "作成プログラム", ""},
            {"Label_Titile", "WZ/QX シリーズ プログラム作成ソフトウェア ", ""},
            {"Label_Version", "Version 1.28", ""},
            {"Label_Initial", "接続機器によって使用\nするプログラムを回路\nごとに設定します", ""},
            {"Label_Week", "普段実行するプログラム\nを曜日ごとに設定します", ""},
            {"Label_Year", "特定の日に実行するプロ\nグラムを設定します", ""},
            {"Label_Day", "指定した日に実行する\nプログラムを確認します", ""},
            {"Label_Check", "設定したプログラムを印\n刷します", ""},
            {"Label_Edit", "更新日:", ""},
            {"Label_FileTimeStamp", "", ""}};
        for (const auto& [name, text, tip] : texts) {
            QWidget* widget = child(&main, name);
            const QString shown = qobject_cast<QLabel*>(widget)           ? qobject_cast<QLabel*>(widget)->text()
                                  : qobject_cast<QGroupBox*>(widget)      ? qobject_cast<QGroupBox*>(widget)->title()
                                                                          : child<QAbstractButton>(&main, name)->text();
            QCOMPARE(shown, QString::fromUtf8(text));
            if (*tip)
                QCOMPARE(widget->toolTip(), QString::fromUtf8(tip));
        }
    }

    // The boxes' buttons and the file dialog are Qt's own; they must not
    // stay English in a Japanese editor.
    void qtOwnTextsAreJapanese()
    {
        applyJapaneseLook(*qApp);
        QMessageBox box(QMessageBox::Question, QStringLiteral("新規作成"), QString(),
                        QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));
        // The file dialog's type of a folder (a text Qt 6 moved).
        QCOMPARE(QFileIconProvider().type(QFileInfo(QDir::tempPath())), QStringLiteral("フォルダ"));
    }

    // A store left with programs (the last run never reached its exit) is
    // offered back; settings alone are not work worth a question.
    void startUpOffersLeftProgramsBack_data()
    {
        QTest::addColumn<bool>("programs");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("kept");
        QTest::newRow("settings only") << false << int(QMessageBox::Yes) << false;
        QTest::newRow("answered no") << true << int(QMessageBox::No) << false;
        QTest::newRow("answered yes") << true << int(QMessageBox::Yes) << true;
    }

    void startUpOffersLeftProgramsBack()
    {
        QFETCH(bool, programs);
        QFETCH(int, answer);
        QFETCH(bool, kept);
        ScratchStore store;
        setCircuit(2, 3, 5, 4);
        if (programs) {
            addWeekRow(2, 0, 1, 1, 8, 0, 0, 9, 0);
            addWeekRow(2, 1, 0, 0, 8, 0, 0, 9, 0);
            addYearRow(2, 27, 1, 6, 1);
            addEveryYearRow(2, 5, 3, 0);
        }
        const QString before = storeSnapshot();
        MessageBox::queueAnswer(MessageBox::Button(answer));
        Form_Main main;
        main.Form_Load();

        if (programs) {
            QCOMPARE(shownMessages(),
                     QStringList{"WZ QXプログラム作成|前回の編集内容が残っています。\r\n復元しますか？\r\n\r\n"
                                 "週間・特殊: 2  年間(日付): 1  年間(毎年): 1"});
            QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Question);
            QCOMPARE(MessageBox::lastShown().defaultButton, QMessageBox::Yes);
        } else {
            QVERIFY(shownMessages().isEmpty());
        }
        QCOMPARE(storeSnapshot() == before, kept);
        QCOMPARE(WeekRowCount(), kept ? 2 : 0);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Setting WHERE Program = 0"), kept ? 7 : 8);
        QCOMPARE(CircuitSettings[2].Program, qint16(kept ? 3 : 0));
        QCOMPARE(CircuitSettings[2].PulseTime, qint16(kept ? 5 : 99));
        QCOMPARE(main.editModeActive(), kept);
        QCOMPARE(child<QRadioButton>(&main, "Option_FileEdit_1")->isChecked(), kept);
        QVERIFY(child<QLabel>(&main, "Label_FileTimeStamp")->text().isEmpty());
        QVERIFY(FileDialog::titlesShown().isEmpty());
    }

    void weekAndYearAskForInitialSettings_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("week") << "Button_Week" << "週間プログラム設定";
        QTest::newRow("year") << "Button_Year" << "年間プログラム設定";
        QTest::newRow("day") << "Button_Day" << "日付確認";
    }

    void weekAndYearAskForInitialSettings()
    {
        QFETCH(QString, button);
        QFETCH(QString, title);
        ScratchStore store;
        ResetCircuitSettings();
        Form_Main main;
        activate(&main);
        auto* command = main.findChild<QPushButton*>(button);
        command->setFocus();
        QTest::mouseClick(command, Qt::LeftButton);
        QCOMPARE(shownMessages(), QStringList{title + "|初期設定をしてください 。"});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QVERIFY(child<QPushButton>(&main, "Button_Initial")->hasFocus());
        QVERIFY(main.testAttribute(Qt::WA_KeyboardFocusChange));  // its focus frame is drawn
    }

    void editChoiceCancelledGoesBackToNew()
    {
        ScratchStore store;
        Form_Main main;
        activate(&main);
        auto* edit = child<QRadioButton>(&main, "Option_FileEdit_1");
        auto* fresh = child<QRadioButton>(&main, "Option_FileEdit_0");
        edit->click();
        QCOMPARE(FileDialog::titlesShown(), QStringList{kOpenTitle});
        QCOMPARE(shownMessages(), QStringList{kNoFile});
        QVERIFY(fresh->isChecked());
        QVERIFY(!main.editModeActive());
        // Choosing 編集 again opens the dialog again.
        edit->click();
        QCOMPARE(FileDialog::titlesShown().size(), 2);
    }

    // Programs of any circuit, 1 to 8, and year entries of either kind are
    // data to discard; settings alone are not. The question comes once.
    void loadAsksBeforeDiscardingPrograms_data()
    {
        QTest::addColumn<QString>("programs");
        QTest::newRow("circuits 2 and 5") << "week 2, year 5";
        QTest::newRow("only circuit 8") << "week 8";
        QTest::newRow("only an every-year entry") << "every year 3";
        QTest::newRow("settings only") << "";
    }
    void loadAsksBeforeDiscardingPrograms()
    {
        QFETCH(QString, programs);
        ScratchStore store;
        Form_Main main;
        activate(&main);
        setCircuit(1, 2, 10);
        if (programs.startsWith("week"))
            addWeekRow(programs == "week 8" ? 8 : 2, 0, 1, 0, 8, 0, 0);
        if (programs.endsWith("year 5"))
            addYearRow(5, 26, 1, 1, 0);
        if (programs == "every year 3")
            addEveryYearRow(3, 12, 31, 0);
        const QString before = storeSnapshot();
        MessageBox::queueAnswer(QMessageBox::No);
        QTest::mouseClick(child<QPushButton>(&main, "Button_LoadFile"), Qt::LeftButton);
        QVERIFY(child<QRadioButton>(&main, "Option_FileEdit_0")->isChecked());
        if (programs.isEmpty()) {
            // No question; the cancelled dialog reports the missing file.
            QCOMPARE(shownMessages(), QStringList{kNoFile});
            QCOMPARE(FileDialog::titlesShown(), QStringList{kOpenTitle});
            return;
        }
        QCOMPARE(shownMessages(), QStringList{kDiscard});
        QCOMPARE(MessageBox::lastShown().defaultButton, QMessageBox::No);
        QVERIFY(FileDialog::titlesShown().isEmpty());
        QCOMPARE(storeSnapshot(), before);
    }

    // 編集 asks before discarding typed programs; 新規 chosen without a file
    // discards nothing.
    void fileChoicesKeepTypedPrograms()
    {
        ScratchStore store;
        Form_Main main;
        activate(&main);
        addWeekRow(1, 0, 3, 0, 12, 0, 0);
        MessageBox::queueAnswer(QMessageBox::No);
        child<QRadioButton>(&main, "Option_FileEdit_1")->click();
        QCOMPARE(shownMessages(), QStringList{kDiscard});
        QVERIFY(FileDialog::titlesShown().isEmpty());
        auto* fresh = child<QRadioButton>(&main, "Option_FileEdit_0");
        QVERIFY(fresh->isChecked());
        MessageBox::clearShown();
        fresh->setChecked(false);
        fresh->click();
        QVERIFY(shownMessages().isEmpty());
        QCOMPARE(WeekRowCount(), 1);
    }

    void quitAsksAndCancelKeepsRunning()
    {
        ScratchStore store;
        Form_Main main;
        activate(&main);
        addWeekRow(1, 0, 3, 0, 12, 0, 0);
        MessageBox::queueAnswer(QMessageBox::Cancel);
        QTest::mouseClick(child<QPushButton>(&main, "Button_Quit"), Qt::LeftButton);
        QCOMPARE(shownMessages(), QStringList{"WZ/QXシリーズプログラム作成ソフトウェア|プログラム作成を終了しますか？"});
        QCOMPARE(MessageBox::lastShown().defaultButton, QMessageBox::Ok);
        QVERIFY(main.isVisible());
        QCOMPARE(WeekRowCount(), 1);

        QTest::mouseClick(child<QPushButton>(&main, "Button_Quit"), Qt::LeftButton);  // default: OK
        QVERIFY(!main.isVisible());
        QCOMPARE(WeekRowCount(), 0);
    }

    void closeBoxRunsExitSequenceWithoutQuestion()
    {
        ScratchStore store;
        Form_Main main;
        activate(&main);
        setCircuit(4, 1, 5);
        addWeekRow(4, 0, 3, 0, 12, 0, 0);
        main.close();
        QVERIFY(shownMessages().isEmpty());
        QVERIFY(!main.isVisible());
        QCOMPARE(WeekRowCount(), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM T_Setting WHERE Program = 0"), 8);
    }

    void closingWindowShowsItsText()
    {
        Form_End closing;
        QCOMPARE(closing.windowTitle(), QStringLiteral("WZ/QXプログラム作成ソフトウェア"));
        QCOMPARE(child<QLabel>(&closing, "Label1")->text(), QStringLiteral("終了中・・・"));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(closing.exec(), int(QDialog::Accepted));  // closes itself on its timer
        QVERIFY(timer.elapsed() < 5000);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
