// The main window and its commands; the editor binary itself: start-up failures, locks, a second start, a killed editor's work, a damaged store.
#include "app/FileHandOver.h"
#include "app/Form_End.h"
#include "app/Form_Main.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "history/UndoHistory.h"
#include "ui/FileDialog.h"
#include "ui/WindowUtil.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ScheduleDocument.h"
#include "store/Schema.h"
#include "store/CircuitSetting.h"
#include "store/StoreRoutines.h"
#include "print/Form_Print.h"
#include "print/Form_PrintSelect.h"
#include "review/Form_Calendar.h"
#include "review/Form_Review.h"
#include "settings/Form_Environment.h"
#include "special/Form_Special.h"
#include "special/Form_SpecialSelect.h"
#include "week/Form_Bells.h"
#include "week/Form_Copy.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/Form_Week.h"
#include "whenruns/Form_DayPreview.h"
#include "whenruns/WeekViewSwitch.h"
#include "year/Form_DeleteYear.h"
#include "year/Form_EditYear.h"
#include "year/Form_Holiday.h"
#include "year/Form_Year.h"
#include "year/MonthCalendar.h"
#include "TestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QLineEdit>
#include <QUndoStack>
#include <QDropEvent>
#include <QFile>
#include <QFileIconProvider>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLocalSocket>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTreeWidget>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QtTest>
#include <QUrl>

#include <pwd.h>
#include <sys/stat.h>  // mkfifo
#include <unistd.h>

using namespace TestSupport;

namespace {

const QByteArray kWeekLine = "122  1   103120000" + QByteArray(12, ' ');
const QByteArray kOtherWeekLine = "122  2   103120000" + QByteArray(12, ' ');
const QString kReadQuestion = QStringLiteral("データの読込|設定中のデータあります。\r\nデータは破棄されますが読込を続けますか？");
const QString kReadDone = QStringLiteral("プログラムファイルの読み込み|プログラムファイルを読み込みました。");
const QString kNoFile = QStringLiteral("ファイルを開く|ファイルが選択されていません。");
const QString kRefused = QStringLiteral("ファイルを開く|データが不正です。読み込みできません。");
const QString kNewQuestion = QStringLiteral("新規作成|現在、読み込まれているデータを破棄して新規で作成しますか？");
const QString kOpenTitle = QStringLiteral("ファイルを開く WZ48PROG.dat");
const QString kSampleStamp = QStringLiteral(" 2014/05/03 07:08.09");

QString received(const QString& path)
{
    return QString(kReadQuestion).replace("|", "|ファイル「" + path + "」を受け取りました。\r\n");
}

// The boxes an editor process showed: title, icon and text on each line.
QStringList logLines(const QString& path)
{
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<Form_Main> m_form;

    QRadioButton* option(int index)
    {
        return child<QRadioButton>(m_form.get(), QStringLiteral("Option_FileEdit_%1").arg(index));
    }
    QString timeStamp() { return child<QLabel>(m_form.get(), "Label_FileTimeStamp")->text(); }
    QString pathOf(const char* name) { return m_store->path() + QLatin1Char('/') + QLatin1String(name); }
    // Drags the files over the window and, when it takes them, drops them.
    void drop(const QList<QUrl>& urls, bool accepted)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        if (!accepted)
            return;
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &dropped);
        QTRY_VERIFY(!shownMessages().isEmpty());
    }

    QTemporaryDir m_home;
    QTemporaryDir m_runtime;

    QString storePath() const { return m_home.filePath("wzqxprog/db/wz48prg.db"); }
    // T_Week's rows in the editor's store file; -1 while it has none.
    int weekRows() const { return storeValue("SELECT COUNT(*) FROM T_Week"); }
    // What `sql` gives on the editor's store file (0 for no row); -1 while it has none.
    int storeValue(const QString& sql) const
    {
        int rows = -1;
        if (!QFile::exists(storePath()))  // opening would make an empty file under the editor
            return rows;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "probe");
            db.setDatabaseName(storePath());
            QSqlQuery query(db);
            if (db.open() && query.exec(sql))
                rows = query.next() ? query.value(0).toInt() : 0;
        }
        QSqlDatabase::removeDatabase("probe");
        return rows;
    }

    // Starts the editor in the home folder with its boxes logged to `log`.
    void start(QProcess& editor, const QString& log, const QStringList& args = {}, const QString& home = QString(),
               const QStringList& runAs = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.isEmpty() ? m_home.path() : home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("WZQXPROG_MESSAGE_LOG", log);
        editor.setProcessEnvironment(env);
        editor.setWorkingDirectory(m_home.path());
        if (runAs.isEmpty())
            editor.start(editorBinary(), args);
        else
            editor.start("setpriv", runAs + QStringList{editorBinary()} + args);
        QVERIFY(editor.waitForStarted());
    }

    // A second start that ends at once with `status`; returns what it showed.
    QStringList startSecond(const QStringList& args, int status = 0)
    {
        const QString log = m_home.filePath("second.log");
        QFile::remove(log);
        QProcess second;
        start(second, log, args);
        if (!second.waitForFinished(30000) || second.exitStatus() != QProcess::NormalExit || second.exitCode() != status)
            return {QStringLiteral("did not end well")};
        return logLines(log);
    }

private slots:
    void initTestCase() { Form_End::setDisplayMilliseconds(10); }

    void init()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));  // the hand-over's folder
        m_store = std::make_unique<ScratchStore>();
        m_form = std::make_unique<Form_Main>(Scratch::history());
        m_form->Form_Load();
        m_form->show();
        scriptDialogs();
    }

    void cleanup()
    {
        m_form.reset();
        m_store.reset();
    }

    // Every caption, label and tooltip of the window, by objectName ("" for no tooltip check), the Tab order, the
    // focus after a box, and the closing window's texts.
    void fixedTexts()
    {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("WZ/QX プログラム作成"));
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
            {"Label_Version", "Version " WZ_VERSION, ""},
            {"Label_Initial", "接続機器によって使用\nするプログラムを回路\nごとに設定します", ""},
            {"Label_Week", "普段実行するプログラム\nを曜日ごとに設定します", ""},
            {"Label_Year", "特定の日に実行するプロ\nグラムを設定します", ""},
            {"Label_Day", "指定した日に実行する\nプログラムを確認します", ""},
            {"Label_Check", "設定したプログラムを印\n刷します", ""},
            {"Label_Edit", "更新日:", ""},
            {"Label_FileTimeStamp", "", ""}};
        for (const auto& [name, text, tip] : texts) {
            QWidget* widget = child(m_form.get(), name);
            const QString shown = qobject_cast<QLabel*>(widget)      ? qobject_cast<QLabel*>(widget)->text()
                                  : qobject_cast<QGroupBox*>(widget) ? qobject_cast<QGroupBox*>(widget)->title()
                                                                     : qobject_cast<QAbstractButton*>(widget)->text();
            QCOMPARE(shown, QString::fromUtf8(text));
            if (*tip)
                QCOMPARE(widget->toolTip(), QString::fromUtf8(tip));
        }
        // Tab walks the commands as they are drawn.
        activate(m_form.get());
        QStringList order;
        for (int i = 0; i < 6; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            order << QApplication::focusWidget()->objectName();
        QCOMPARE(order, (QStringList{"Button_Initial", "Button_Week", "Button_Year", "Button_Day", "Button_Check",
                                     "Button_SaveFile"}));
        // A real box closing leaves no window active: the helper gives the window back its activation and focus.
        MessageBox::setScripted(false);
        QTimer::singleShot(0, [] {
            QVERIFY(QTest::qWaitFor([] { return QApplication::activeWindow() == QApplication::activeModalWidget(); }));
            QApplication::activeModalWidget()->close();
        });
        MessageBox::show(nullptr, "x", "y", MessageBox::Icon::Information);
        scriptDialogs();
        QTRY_COMPARE(QApplication::focusWidget(), child(m_form.get(), "Option_FileEdit_0"));

        Form_End closing;
        QCOMPARE(closing.windowTitle(), QStringLiteral("WZ/QXプログラム作成ソフトウェア"));
        QCOMPARE(child<QLabel>(&closing, "Label1")->text(), QStringLiteral("終了中・・・"));
        QCOMPARE(closing.exec(), int(QDialog::Accepted));  // closes itself on its timer

        // The boxes' buttons and the file dialog are Qt's own; they must not stay English in a Japanese editor.
        applyJapaneseLook(*qApp);
        QMessageBox box(QMessageBox::Question, QStringLiteral("新規作成"), QString(), QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));  // はい, いいえ alike
        // The file dialog's type of a folder (a text Qt 6 moved).
        QCOMPARE(QFileIconProvider().type(QFileInfo(QDir::tempPath())), QStringLiteral("フォルダ"));
        // A drop-down list opens below its box, whatever item is chosen.
        QComboBox list;
        list.addItems({"1", "2", "3", "4", "5", "6"});
        list.setCurrentIndex(4);
        list.show();
        list.showPopup();
        QWidget* popup = list.view()->window();
        QTRY_VERIFY(popup->isVisible());
        QVERIFY(popup->geometry().top() >= list.mapToGlobal(QPoint(0, list.height() - 2)).y());
        list.hidePopup();

        // The C library's locale is ja_JP.UTF-8, or C.UTF-8 where no locale is installed: never plain C.
        useJapaneseLocale();
        QCOMPARE(useInstalledCLocale(), "ja_JP.UTF-8");
        const QTemporaryDir noLocales;
        qputenv("LOCPATH", noLocales.path().toUtf8());
        QCOMPARE(useInstalledCLocale(), "C.UTF-8");
        qunsetenv("LOCPATH");
    }

    // A store left with programs of any kind (the last run never reached its
    // exit) is offered back; settings alone are not work worth a question.
    void startUpOffersLeftProgramsBack_data()
    {
        QTest::addColumn<QString>("left");  // the count line of the question
        QTest::addColumn<int>("answer"); QTest::addColumn<bool>("kept");
        const QString all = "週間・特殊: 2  年間(日付): 1  年間(毎年): 1";
        QTest::newRow("settings only") << "" << int(QMessageBox::Yes) << false;
        QTest::newRow("answered no") << all << int(QMessageBox::No) << false;
        QTest::newRow("answered yes") << all << int(QMessageBox::Yes) << true;
        QTest::newRow("every year only") << "週間・特殊: 0  年間(日付): 0  年間(毎年): 1" << int(QMessageBox::Yes) << true;
    }

    void startUpOffersLeftProgramsBack()
    {
        QFETCH(QString, left); QFETCH(int, answer); QFETCH(bool, kept);
        const QString empty = storeSnapshot();
        setCircuit(2, 3, 5, 4);
        if (left.startsWith("週間・特殊: 2"))
            addRows({{2, 0, 1, 1, 8, 0, 0, 9, 0}, {2, 1, 0, 0, 8, 0, 0, 9, 0}, {2, 27, 1, 6, 1}});
        if (!left.isEmpty())
            addEveryYearRow(2, 5, 3, 0);
        const QString before = storeSnapshot();
        MessageBox::queueAnswer(MessageBox::Button(answer));
        Form_Main main(Scratch::history());
        main.Form_Load();

        const QString question = "WZ QXプログラム作成|前回の編集内容が残っています。\r\n復元しますか？\r\n\r\n" + left;
        QCOMPARE(shownMessages(), left.isEmpty() ? QStringList() : QStringList{question});
        if (!left.isEmpty())
            QCOMPARE(std::pair(MessageBox::lastShown().icon, MessageBox::lastShown().defaultButton),
                     std::pair(MessageBox::Icon::Question, MessageBox::Button(QMessageBox::Yes)));
        QCOMPARE(storeSnapshot(), kept ? before : empty);
        QCOMPARE(Scratch::document().circuits()[2].Program, qint16(kept ? 3 : 0));
        QCOMPARE(main.editModeActive(), kept);
        QCOMPARE(child<QRadioButton>(&main, "Option_FileEdit_1")->isChecked(), kept);
    }

    void weekAndYearAskForInitialSettings_data()
    {
        QTest::addColumn<QString>("button"); QTest::addColumn<QString>("title");
        QTest::newRow("week") << "Button_Week" << "週間プログラム設定";
        QTest::newRow("year") << "Button_Year" << "年間プログラム設定";
        QTest::newRow("day") << "Button_Day" << "日付確認";
    }

    void weekAndYearAskForInitialSettings()
    {
        QFETCH(QString, button); QFETCH(QString, title);
        activate(m_form.get());
        auto* command = child<QPushButton>(m_form.get(), button);
        command->setFocus();
        QTest::mouseClick(command, Qt::LeftButton);
        QCOMPARE(shownMessages(), QStringList{title + "|初期設定をしてください 。"});
        QCOMPARE(MessageBox::lastShown().icon, MessageBox::Icon::Exclamation);
        QVERIFY(child<QPushButton>(m_form.get(), "Button_Initial")->hasFocus());
        QVERIFY(m_form->testAttribute(Qt::WA_KeyboardFocusChange));  // its focus frame is drawn
    }

    // Escape closes a working window as 閉じる does, from whichever control has the focus.
    void escapeClosesWorkingWindows_data()
    {
        QTest::addColumn<QString>("button"); QTest::addColumn<QString>("form");
        QTest::newRow("settings") << "Button_Initial" << "Form_Environment";
        QTest::newRow("week") << "Button_Week" << "Form_Week";
        QTest::newRow("year") << "Button_Year" << "Form_Year";
        QTest::newRow("print") << "Button_Check" << "Form_Print";
    }

    void escapeClosesWorkingWindows()
    {
        QFETCH(QString, button); QFETCH(QString, form);
        setOneCircuitOfEachType();
        const QString settings = storeSnapshot();
        click(m_form.get(), qPrintable(button));
        QWidget* window = FindForm(form);
        QVERIFY(window && !m_form->isVisible());
        activate(window);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(m_form->isVisible() && !IsFormLoaded(form));
        QCOMPARE(storeSnapshot(), settings);
        QCOMPARE(shownMessages(), QStringList());
    }

    // 年間プログラム opens again on the circuit and month it was left at, while the editor runs; a circuit no
    // longer offered is not chosen, and the month stays.
    void yearWindowOpensWhereItWasLeft()
    {
        setOneCircuitOfEachType();
        addRows({{2, 28, 3, 10, 0}});
        const auto open = [this] {
            click(m_form.get(), "Button_Year");
            return FindForm("Form_Year");
        };
        const auto state = [](QWidget* year) {
            auto* calendar = child<MonthCalendar>(year, "MonthView1");
            return QStringLiteral("%1 %2 %3/%4 %5%6")
                .arg(child<QComboBox>(year, "Combo_Circuit")->currentText(), child<QLabel>(year, "Label_Mode")->text())
                .arg(calendar->yearShown())
                .arg(calendar->monthShown())
                .arg(calendar->selectedDate().toString("d"), calendar->isMarked(QDate(2028, 3, 10)) ? " marked" : "");
        };
        QWidget* year = open();
        QCOMPARE(child<MonthCalendar>(year, "MonthView1")->selectedDate(), QDate::currentDate());
        auto* circuits = child<QComboBox>(year, "Combo_Circuit");
        circuits->setCurrentIndex(circuits->findText("2"));
        child<MonthCalendar>(year, "MonthView1")->showMonth(2028, 3);
        click(year, "Button_Close");
        year = open();
        QCOMPARE(state(year), QStringLiteral("2 チャイム 2028/3 1 marked"));
        QVERIFY(child<QPushButton>(year, "Button_Holiday")->isEnabled());
        child<MonthCalendar>(year, "MonthView1")->setSelection(QDate(2028, 3, 20), QDate(2028, 3, 20));
        click(year, "Button_Close");
        setCircuit(2, 4, 3);  // 繰返し: no longer on the calendar
        year = open();
        QCOMPARE(state(year), QStringLiteral("  2028/3 20"));
        click(year, "Button_Close");
    }

    // Every window and dialog, with its buttons, fits a 1366×768 screen under a 40 px taskbar. A window opens at
    // its size hint cut to two thirds of the screen, never below its minimum size: the minimum and the title bar
    // must fit. Each in its tallest form (chime circuits show their tunes).
    void everyWindowFitsASmallScreen()
    {
        applyJapaneseLook(*qApp);  // the editor's font
        setOneCircuitOfEachType();
        const auto job = [](int circuit) {
            EntryJob job;
            job.row.CircuitNO = circuit;
            job.row.YobiON = 1;
            return job;
        };
        const QDate day(2027, 4, 2);
        std::vector<std::unique_ptr<QWidget>> windows;
        windows.emplace_back(new Form_End);
        windows.emplace_back(new Form_Environment(Scratch::history()));
        windows.emplace_back(new Form_Week(Scratch::history(), WeekViewSwitch::makerFor(Scratch::document())));
        windows.emplace_back(new Form_EditTime(Scratch::history(), job(2)));
        windows.emplace_back(new Form_EditTimeTimer(Scratch::history(), job(4)));
        windows.emplace_back(new Form_Copy(Scratch::history(), 2, {1, 0}));
        windows.emplace_back(new Form_Bells(Scratch::history(), 2, {7, 0}));
        windows.emplace_back(new Form_Year(Scratch::history()));
        windows.emplace_back(new Form_EditYear(Scratch::history(), 2, day, day));
        windows.emplace_back(new Form_DeleteYear(Scratch::history(), 2));
        windows.emplace_back(new Form_Holiday(Scratch::history(), 2, day));
        windows.emplace_back(new Form_SpecialSelect(Scratch::history(), 2));
        windows.emplace_back(new Form_Special(Scratch::history(), 2, 0, QString()));
        windows.emplace_back(new Form_Print(Scratch::history()));
        windows.emplace_back(new Form_PrintSelect(Scratch::history(), PrintJob::forCircuit(Scratch::document(), 3, 2)));
        windows.emplace_back(new Form_DayPreview(Scratch::history()));
        QStringList tooLarge;
        QList<QWidget*> all{m_form.get()};
        for (const auto& window : windows)
            all << window.get();
        for (QWidget* window : all) {
            window->ensurePolished();
            window->layout()->activate();
            const QSize least = window->minimumSize().expandedTo(window->minimumSizeHint());
            if (least.width() > 1366 || least.height() + 32 > 768 - 40)
                tooLarge << QStringLiteral("%1 %2x%3").arg(window->objectName()).arg(least.width()).arg(least.height());
        }
        QCOMPARE(tooLarge, QStringList());
    }

    // 終了 asks first, its default OK, and Cancel keeps everything; the
    // closing itself asks nothing (as the close box), and empties the store.
    void quitAsksAndEmptiesTheStore()
    {
        const QString empty = storeSnapshot();
        Form_Main& main = *m_form;
        activate(&main);
        setCircuit(4, 1, 5);
        addWeekRow(4, 0, 3, 0, 12, 0, 0);
        const QString before = storeSnapshot();
        const QStringList question{"WZ/QXシリーズプログラム作成ソフトウェア|プログラム作成を終了しますか？"};
        MessageBox::queueAnswer(QMessageBox::Cancel);
        QTest::mouseClick(child<QPushButton>(&main, "Button_Quit"), Qt::LeftButton);
        QCOMPARE(shownMessages(), question);
        QVERIFY(main.isVisible());
        QCOMPARE(storeSnapshot(), before);

        scriptDialogs();
        QTest::mouseClick(child<QPushButton>(&main, "Button_Quit"), Qt::LeftButton);
        QCOMPARE(shownMessages(), question);
        QVERIFY(!main.isVisible());
        QCOMPARE(storeSnapshot(), empty);
    }

    void save()
    {
        setCircuit(5, 3, 0);
        addYearRow(5, 20, 1, 2, 0);
        click(m_form.get(), "Button_SaveFile");  // no file name
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("保存先の指定|ファイル名が指定されていません。")});

        // A "folder" that is a plain file cannot be written into, root included.
        scriptDialogs();
        const QString plain = writeBytes(pathOf("plain"), "old");
        FileDialog::queuePath(plain + QStringLiteral("/WZ48PROG.dat"));
        click(m_form.get(), "Button_SaveFile");
        QVERIFY(shownMessages().size() == 1 && shownMessages()[0].startsWith(QStringLiteral("エラー|") + plain));

        scriptDialogs();
        const QString path = writeBytes(pathOf("WZ48PROG.dat"), "old");
        FileDialog::queuePath(path);
        click(m_form.get(), "Button_SaveFile");
        QCOMPARE(shownMessages(), QStringList{QStringLiteral("ファイルの保存|プログラムファイルを作成しました。")});
        QCOMPARE(readBytes(path), ProgramFileWriter::buildProgramFile(Scratch::document()));

        // While another run of ours writes the file, 書込 refuses at once instead of freezing the window.
        {
            scriptDialogs();
            Platform::FileLock held(path, Platform::lockPathFor(Platform::resolveOutput(path)));
            QVERIFY(held.tryLock());
            FileDialog::queuePath(path);
            QElapsedTimer waited;
            waited.start();
            click(m_form.get(), "Button_SaveFile");
            QVERIFY2(waited.elapsed() < 2000, qPrintable(QString::number(waited.elapsed())));
            QCOMPARE(shownMessages(), QStringList{"エラー|" + path + ": ほかの書き込みが終わっていないため書き込めません。"
                                                  "しばらくしてからやり直してください。"});
        }

        // A disk that kept fewer or more bytes than it reported: the file is
        // read back, so 書込 fails loudly instead of reporting success.
        for (const qint64 kept : {qint64(8), QFileInfo(path).size() + 1}) {
            scriptDialogs();
            m_form->setAfterSaveForTesting([kept](const QString& file) { QFile(file).resize(kept); });
            FileDialog::queuePath(path);
            click(m_form.get(), "Button_SaveFile");
            m_form->setAfterSaveForTesting({});
            QVERIFY(shownMessages().size() == 1 && shownMessages()[0].startsWith(QStringLiteral("エラー|") + path));
        }
    }

    // 書込 with dated entries: 年間チェック first, only when it finds something (special 7 holds no programs).
    // 「戻って直す」 writes nothing and asks for no file; 「このまま書込」 writes; 「今後表示しない」 leaves the
    // review out of the next 書込.
    void saveReviewsTheYearFirst_data()
    {
        QTest::addColumn<int>("special"); QTest::addColumn<QString>("answer"); QTest::addColumn<bool>("dontShow");
        QTest::newRow("no finding") << 3 << "" << false;
        QTest::newRow("back") << 7 << "Button_Back" << false;
        QTest::newRow("write anyway") << 7 << "Button_WriteAnyway" << false;
        QTest::newRow("back, then not again") << 7 << "Button_Back" << true;
    }

    void saveReviewsTheYearFirst()
    {
        QFETCH(int, special); QFETCH(QString, answer); QFETCH(bool, dontShow);
        setCircuit(1, 2, 10);
        addWeekRow(1, 3, 0, 0, 9, 0, 0);
        addYearRow(1, 28, 5, 10, special);
        std::unique_ptr<QDialog> review;
        ModalDialogs::setRunner([&](QDialog* dialog) { review.reset(dialog); });
        const QString path = pathOf("WZ48PROG.dat");
        for (int round = 0; round < 2; ++round) {
            scriptDialogs();
            writeBytes(path, "old");
            FileDialog::queuePath(path);
            click(m_form.get(), "Button_SaveFile");
            const bool shown = special == 7 && !(round == 1 && dontShow);
            QCOMPARE(bool(review), shown);
            if (shown) {
                QCOMPARE(child<QTreeWidget>(review.get(), "List_Findings")->topLevelItemCount(), 1);
                child<QCheckBox>(review.get(), "Check_DontShow")->setChecked(dontShow);
                click(review.get(), qPrintable(answer));
            }
            const bool writes = !shown || answer == "Button_WriteAnyway";
            QCOMPARE(shownMessages(), writes ? QStringList{"ファイルの保存|プログラムファイルを作成しました。"} : QStringList());
            QCOMPARE(FileDialog::titlesShown().size(), writes ? 1 : 0);
            QCOMPARE(readBytes(path) == ProgramFileWriter::buildProgramFile(Scratch::document()), writes);
            review.reset();
        }
    }

    // From 年間プログラム, 年間チェック only closes, names the special number by the editor's names file, and a
    // finding's day clicked turns the calendar to it and its circuit; 年間カレンダー opens on the circuit and 年度
    // shown, and from プログラム印刷 on its circuit.
    void yearAtAGlanceFromTheWindows()
    {
        QTemporaryDir namesDir;
        SpecialNames::Names names;
        names.setName(7, QStringLiteral("行事"));
        QVERIFY(!names.write(namesDir.filePath("names.json")));
        m_form.reset();
        m_form = std::make_unique<Form_Main>(Scratch::history(), nullptr, namesDir.filePath("names.json"));
        m_form->Form_Load();
        m_form->show();
        setCircuit(1, 2, 10);
        setCircuit(2, 1, 5);
        addWeekRow(1, 0, 1, 0, 9, 0, 0);
        addWeekRow(2, 0, 1, 0, 9, 0, 0);
        addYearRow(2, 28, 5, 10, 7);
        std::unique_ptr<QDialog> dialog;
        ModalDialogs::setRunner([&](QDialog* opened) { dialog.reset(opened); });
        click(m_form.get(), "Button_Year");
        QWidget* year = FindForm("Form_Year");
        click(year, "Button_Review");
        QVERIFY(dialog && dialog->objectName() == "Form_Review" && !dialog->findChild<QWidget*>("Button_WriteAnyway"));
        auto* findings = child<QTreeWidget>(dialog.get(), "List_Findings");
        QTreeWidgetItem* empty = findings->findItems(QStringLiteral("特殊番号 7（行事）"), Qt::MatchContains, 1).value(0);
        QVERIFY(empty && empty->text(0) == "回路2");
        findings->scrollToItem(empty);
        QTest::mouseClick(findings->viewport(), Qt::LeftButton, {}, findings->visualItemRect(empty).center());
        auto* calendar = child<MonthCalendar>(year, "MonthView1");
        QCOMPARE(calendar->selectedDate(), QDate(2028, 5, 10));
        QCOMPARE(child<QComboBox>(year, "Combo_Circuit")->currentData().toInt(), 2);

        click(year, "Button_Calendar");
        QVERIFY(dialog && dialog->objectName() == "Form_Calendar");
        QCOMPARE(child<QComboBox>(dialog.get(), "Combo_Circuit")->currentData().toInt(), 2);
        QCOMPARE(child<QLineEdit>(dialog.get(), "Text_SchoolYear")->text(), QStringLiteral("2028"));
        dialog.reset();
        click(year, "Button_Close");

        click(m_form.get(), "Button_Check");
        QWidget* print = FindForm("Form_Print");
        child<QComboBox>(print, "Combo_Circuit")->setCurrentIndex(0);
        click(print, "Button_Calendar");
        QVERIFY(dialog && dialog->objectName() == "Form_Calendar");
        QCOMPARE(child<QComboBox>(dialog.get(), "Combo_Circuit")->currentData().toInt(), 1);
        QCOMPARE(qobject_cast<Form_Calendar*>(dialog.get())->footFileName(), QString());
        dialog.reset();
        click(print, "Button_Close");

        // Once written, the calendar's foot names the file.
        QTemporaryDir out;
        FileDialog::queuePath(out.filePath(QStringLiteral("学校.dat")));
        click(m_form.get(), "Button_SaveFile");
        QVERIFY(dialog && dialog->objectName() == "Form_Review");
        click(dialog.get(), "Button_WriteAnyway");
        QVERIFY(QFile::exists(out.filePath(QStringLiteral("学校.dat"))));
        click(m_form.get(), "Button_Year");
        click(FindForm("Form_Year"), "Button_Calendar");
        QCOMPARE(qobject_cast<Form_Calendar*>(dialog.get())->footFileName(), QStringLiteral("学校.dat"));
        dialog.reset();
        click(FindForm("Form_Year"), "Button_Close");
    }

    // Programs of any circuit, 1 to 8, and year entries of either kind are data to discard, for 読込, 編集 and a file
    // from outside (named in the question); settings are not. The default No, or no file chosen, keeps the store and
    // 新規, every time; 新規 then discards nothing.
    void readAsksBeforeDiscardingPrograms_data()
    {
        QTest::addColumn<QString>("command"); QTest::addColumn<QString>("programs");
        QTest::newRow("読込, circuits 2 and 5") << "Button_LoadFile" << "week 2, year 5";
        QTest::newRow("読込, only circuit 8") << "Button_LoadFile" << "week 8";
        QTest::newRow("読込, only an every-year entry") << "Button_LoadFile" << "every year 3";
        QTest::newRow("読込, settings only") << "Button_LoadFile" << "";
        QTest::newRow("編集, circuit 2") << "Option_FileEdit_1" << "week 2";
        QTest::newRow("編集, settings only") << "Option_FileEdit_1" << "";
        QTest::newRow("file from outside, circuit 2") << "outside" << "week 2";
    }

    void readAsksBeforeDiscardingPrograms()
    {
        QFETCH(QString, command); QFETCH(QString, programs);
        setCircuit(1, 2, 10);
        if (programs.startsWith("week"))
            addWeekRow(programs.startsWith("week 8") ? 8 : 2, 0, 1, 0, 8, 0, 0);
        if (programs.endsWith("year 5"))
            addYearRow(5, 26, 1, 1, 0);
        if (programs == "every year 3")
            addEveryYearRow(3, 12, 31, 0);
        const QString before = storeSnapshot();
        for (int time = 1; time <= 2; ++time) {
            scriptDialogs();
            if (command == "outside")
                m_form->openFromOutside(writeBytes(pathOf("WZ48PROG.dat"), withTrailer({kWeekLine})));
            else
                child<QAbstractButton>(m_form.get(), command)->click();
            QVERIFY(option(0)->isChecked() && !m_form->editModeActive());
            const QString question = command == "outside" ? received(pathOf("WZ48PROG.dat")) : kReadQuestion;
            QCOMPARE(shownMessages(), QStringList{programs.isEmpty() ? kNoFile : question});
            QCOMPARE(FileDialog::titlesShown(), programs.isEmpty() ? QStringList{kOpenTitle} : QStringList());
            if (!programs.isEmpty())
                QCOMPARE(MessageBox::lastShown().defaultButton, QMessageBox::No);
        }
        scriptDialogs();
        option(0)->setChecked(false);
        option(0)->click();
        QVERIFY(shownMessages().isEmpty());
        QCOMPARE(storeSnapshot(), before);
    }

    // 編集 or 読込 over programs, answered Yes, reads a file. Over it, another file by 読込 or dropped (one at a
    // time): a refused file, and 読込 without a file (it offers 新規; the default Cancel), keep store, time stamp and
    // 編集. 新規 then discards the data.
    void readOverAFile_data()
    {
        QTest::addColumn<QString>("how"); QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("messages");  // after データの読込; the last one's beginning
        QTest::newRow("invalid") << "読込" << QByteArray("*01\r\n") << QStringList{kRefused};
        QTest::newRow("over capacity")
            << "読込" << (kWeekLine + "\r\n").repeated(901)
            << QStringList{QStringLiteral("お知らせ|設定可能プログラム数を超えたため、読み込みできませんでした。")};
        QTest::newRow("missing") << "読込" << QByteArray() << QStringList{QStringLiteral("エラー|")};
        QTest::newRow("store full") << "読込, store full" << withTrailer(QList<QByteArray>(360, kWeekLine))
                                    << QStringList{"エラー|データベースを読み書きできません: ディスクの空き容量が足りません。"};
        QTest::newRow("no file chosen") << "cancel" << QByteArray() << QStringList{kNoFile, kNewQuestion};
        QTest::newRow("dropped, not a program file") << "drop" << QByteArray("[Desktop Entry]\nName=x\n")
                                                     << QStringList{kRefused};
        QTest::newRow("dropped program file") << "drop" << withTrailer({kWeekLine, kOtherWeekLine})
                                              << QStringList{kReadDone};
    }

    void readOverAFile()
    {
        QFETCH(QString, how); QFETCH(QByteArray, content); QFETCH(QStringList, messages);
        addRows({{2, 0, 1, 0, 7, 0, 0}, {5, 20, 1, 2, 0}});
        MessageBox::queueAnswer(QMessageBox::Yes);
        QFile sample(writeBytes(pathOf("WZ48PROG.dat"), withTrailer({kWeekLine})));
        QVERIFY(sample.open(QIODevice::ReadWrite)
                && sample.setFileTime(QDateTime(QDate(2014, 5, 3), QTime(7, 8, 9)), QFileDevice::FileModificationTime));
        FileDialog::queuePath(sample.fileName());
        // The dropped files come over a file read with 編集, the others over one read with 読込.
        child<QAbstractButton>(m_form.get(), how == "drop" ? "Option_FileEdit_1" : "Button_LoadFile")->click();
        QCOMPARE(shownMessages(), (QStringList{kReadQuestion, kReadDone}));

        const QString before = storeSnapshot();
        const QString path = pathOf("other.dat");
        if (!content.isEmpty())
            writeBytes(path, content);
        scriptDialogs();
        MessageBox::queueAnswer(QMessageBox::Yes);
        if (how == "drop") {
            drop({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}, false);
            drop({QUrl::fromLocalFile(path)}, true);
        } else {
            if (how.startsWith("読込"))
                FileDialog::queuePath(path);
            if (how.endsWith("store full"))
                Scratch::exec("PRAGMA max_page_count = " + Scratch::scalar("PRAGMA page_count").toString());
            click(m_form.get(), "Button_LoadFile");
        }
        messages.prepend(how == "drop" ? received(path) : kReadQuestion);
        QCOMPARE(shownMessages().size(), messages.size());
        QVERIFY2(shownMessages().join('\n').startsWith(messages.join('\n')), qPrintable(shownMessages().join('\n')));
        if (messages.last() == kReadDone) {
            QCOMPARE(WeekRowCount(Scratch::document()), 2);
        } else {
            QCOMPARE(storeSnapshot(), before);
            QCOMPARE(timeStamp(), kSampleStamp);
        }
        QVERIFY(option(1)->isChecked() && m_form->editModeActive());

        MessageBox::queueAnswer(QMessageBox::Ok);
        option(0)->click();
        QCOMPARE(std::tuple(WeekRowCount(Scratch::document()), timeStamp(), m_form->editModeActive()), std::tuple(0, QString(), false));
    }

    // Every kind of change through its window is one step of the history, named for it: undone, the store (and for
    // 読込 the 新規/編集 choice) is as before; redone, as after. 新規 ends all.
    void everyChangeIsOneStep()
    {
        QDialog* opened = nullptr;
        ModalDialogs::setRunner([&opened](QDialog* dialog) { (opened = dialog)->show(); });
        const auto fill = [&opened](QList<std::pair<const char*, const char*>> boxes) {
            for (const auto& [box, text] : boxes)
                child<QLineEdit>(opened, QLatin1String(box))->setText(QString::fromUtf8(text));
            click(opened, "Button_OK");
        };
        const auto pick = [](QWidget* window, const char* combo, const QVariant& data) {
            auto* box = child<QComboBox>(window, QLatin1String(combo));
            box->setCurrentIndex(box->findData(data));
        };
        // Open from the start, so their circuit choices follow 初期設定 and its undo.
        auto week = std::make_unique<Form_Week>(Scratch::history());
        auto year = std::make_unique<Form_Year>(Scratch::history());
        QWidget* special = nullptr;
        const auto answered = [](QMessageBox::StandardButton answer, QWidget* window, const char* button) {
            MessageBox::queueAnswer(answer);
            click(window, button);
        };
        const auto firstRow = [](QWidget* window) { child<QTableView>(window, "DataGrid1")->selectRow(0); };
        const QString file = writeBytes(pathOf("WZ48PROG.dat"), withTrailer({kWeekLine}));
        const QList<std::pair<QString, std::function<void()>>> steps{
            {"初期設定", [] {
                 Form_Environment settings(Scratch::history());
                 child<QComboBox>(&settings, "Combo_Function_0")->setCurrentIndex(2);
                 child<QLineEdit>(&settings, "Text_Function_0")->setText("10");
                 settings.close();
             }},
            {"週間プログラムの追加（回路1）", [&] {
                 pick(week.get(), "Combo_Circuit", 1);
                 child<QComboBox>(week.get(), "Combo_Yobi")->setCurrentIndex(1);
                 click(week.get(), "Button_New");
                 fill({{"Text_Hour", "8"}, {"Text_Minute", "30"}});
             }},
            {"週間プログラムの変更（回路1）", [&] { firstRow(week.get()); click(week.get(), "Button_Edit"); fill({{"Text_Minute", "45"}}); }},
            {"週間プログラムのコピー（回路1）", [&] {
                 child<QComboBox>(week.get(), "Combo_Yobi")->setCurrentIndex(2);
                 click(week.get(), "Button_Copy");
                 pick(opened, "Combo_SendYobi", 1);
                 click(opened, "Button_OK");
             }},
            {"時程から作成（回路1・火）", [&] {
                 click(week.get(), "Button_Bells");
                 child<QLineEdit>(opened, "Text_PeriodCount")->setText("1");
                 click(opened, "Button_Fill");
                 click(opened, "Button_OK");
             }},
            {"特殊プログラムの追加（回路1・特殊番号1）", [&] {
                 pick(year.get(), "Combo_Circuit", 1);
                 click(year.get(), "Button_Special");
                 click(opened, "Button_OK");  // 新規: the first free number
                 special = opened;
                 click(special, "Button_New");
                 fill({{"Text_Hour", "7"}, {"Text_Minute", "15"}});
             }},
            {"特殊プログラムの変更（回路1・特殊番号1）", [&] { firstRow(special); click(special, "Button_Edit"); fill({{"Text_Hour", "6"}}); }},
            {"特殊プログラムのコピー（回路1・特殊番号1）", [&] { click(special, "Button_Copy"); pick(opened, "Combo_SendYobi", 2); click(opened, "Button_OK"); }},
            {"特殊プログラムの削除（回路1・特殊番号1）", [&] { firstRow(special); answered(QMessageBox::Yes, special, "Button_Delete"); }},
            {"特殊プログラムの全削除（回路1・特殊番号1）", [&] { answered(QMessageBox::Yes, special, "Button_AllDelete"); special->close(); }},
            {"週間プログラムの削除（回路1）", [&] { firstRow(week.get()); answered(QMessageBox::Yes, week.get(), "Button_Delete"); }},
            {"週間プログラムの全削除（回路1）", [&] { answered(QMessageBox::Yes, week.get(), "Button_AllDelete"); }},
            {"日付設定（回路1）", [&] {
                 auto* calendar = child<MonthCalendar>(year.get(), "MonthView1");
                 calendar->showMonth(2027, 12);
                 QTest::mouseClick(calendar->dayGrid(), Qt::LeftButton, {}, calendar->dayRect(QDate(2027, 12, 24)).center());
                 click(opened, "Option_Year_1");
                 click(opened, "Button_OK");
             }},
            {"祝日設定（回路1・2027年）", [&] { click(year.get(), "Button_Holiday"); click(opened, "Button_OK"); }},
            {"年指定削除（回路1・2027年）", [&] {
                 click(year.get(), "Button_DeleteYear");
                 click(opened, "Option_Delete_1");
                 pick(opened, "Combo_Year", 27);
                 answered(QMessageBox::Yes, opened, "Button_OK");
             }},
            {"プログラムファイルの読込", [&] {
                 FileDialog::queuePath(file);
                 click(m_form.get(), "Button_LoadFile");
             }},
        };
        const auto state = [&] {
            return storeSnapshot() + (option(1)->isChecked() ? "編集" : "新規") + timeStamp()
                + QString::number(child<QComboBox>(week.get(), "Combo_Circuit")->count())
                + QString::number(child<QComboBox>(year.get(), "Combo_Circuit")->count())
                + QString::number(year->findChildren<QPushButton*>("Button_Calendar").size());  // made once
        };
        for (const auto& [label, take] : steps) {
            const QString before = state();
            take();
            const QString after = state();
            QVERIFY2(after != before && Scratch::history().undo(), qPrintable(label));
            QCOMPARE(state(), before);
            QCOMPARE(Scratch::history().redoText(), label);
            QVERIFY(Scratch::history().redo());
            QCOMPARE(state(), after);
        }
        // Work no step recorded, on the tables the next undo puts back: it refuses and says why in one box.
        addWeekRow(1, 0, 3, 0, 5, 0, 0), addYearRow(1, 28, 1, 4, 0), addEveryYearRow(1, 1, 4, 0), setCircuit(8, 3, 0);
        scriptDialogs();
        const QString unrecorded = storeSnapshot();
        click(m_form.get(), "Button_Undo");
        QCOMPARE(shownMessages(), QStringList("元に戻す|履歴と現在のデータが一致しないため、元に戻せません。\r\n"
                                              "元に戻す・やり直しの履歴は消去しました。"));
        QCOMPARE(storeSnapshot(), unrecorded);
        answered(QMessageBox::Ok, m_form.get(), "Option_FileEdit_0");  // 新規
        QVERIFY(!Scratch::history().stack().canUndo() && !Scratch::history().stack().canRedo());
    }

    // A working window or a dialog works on the store: a file from outside waits until it is closed.
    void nothingIsReadWhileAWindowIsOpen()
    {
        click(m_form.get(), "Button_Initial");
        m_form->openFromOutside(writeBytes(pathOf("WZ48PROG.dat"), withTrailer({kWeekLine})));
        QCOMPARE(shownMessages(), QStringList{"ファイルを開く|開いている画面を閉じてから読み込んでください。"});
        QCOMPARE(WeekRowCount(Scratch::document()), 0);
        click(FindForm("Form_Environment"), "Button_Close");
    }

    // A lock that no running editor holds is taken over, whatever a crash
    // left in its file (a running holder refuses: secondStartsAKilledEditorAndADamagedStore).
    void staleLocksAreTakenOver_data()
    {
        QTest::addColumn<QByteArray>("leftover");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\x01\xff not a lock\n");
    }

    void staleLocksAreTakenOver()
    {
        QFETCH(QByteArray, leftover);
        QTemporaryDir dir;
        const QString path = writeBytes(dir.filePath("wzqxprog.lock"), leftover);
        QCOMPARE(SingleInstance(path).acquire(), SingleInstance::Result::Acquired);
    }

    // A lock or store that cannot be made, no plain file at the lock, a lock that cannot be opened, a data folder or
    // store another user owns (left as it is), or a file the running editor did not take is no double start: the
    // "エラー" box names the place in Japanese, and the editor ends with 1.
    void startFailuresNameTheirPlace_data()
    {
        QTest::addColumn<QString>("blocked");  // a plain file where a folder must be; or what is at the lock
        QTest::addColumn<QString>("message");  // %1: the home folder, %2: the hand-over's socket
        const QString notAFile = "ロックファイル %1/wzqxprog/wzqxprog.lock が通常のファイルではないため、起動できません。";
        const QString notOurs = " が自分だけのものではない（所有者が別のユーザーか、他のユーザーも読み書きできる）ため、起動できません。";
        const QString notTaken = "ファイル %1/x.dat を起動中のプログラム作成ソフトウェアに渡せませんでした。\\n受け渡し用のソケット %2 ";
        QTest::newRow("lock folder") << "wzqxprog"
                                     << "データフォルダ %1/wzqxprog にロックファイルを作成できないため、起動できません。";
        QTest::newRow("store folder")
            << "wzqxprog/db" << "データベース %1/wzqxprog/db/wz48prg.db を作成または書き込みできないため、起動できません。";
        QTest::newRow("folder at the lock") << "folder" << notAFile;
        QTest::newRow("FIFO at the lock") << "FIFO" << notAFile;
        QTest::newRow("root's lock, started by nobody")
            << "root's lock" << "ロックファイル %1/wzqxprog/wzqxprog.lock を開けないため、起動できません。\\nアクセスする権限がありません。";
        QTest::newRow("another user's data folder") << "theirs 755 wzqxprog" << "%1/wzqxprog" + notOurs;
        QTest::newRow("another user's private data folder") << "theirs 700 wzqxprog" << "%1/wzqxprog" + notOurs;
        QTest::newRow("another user's store") << "theirs 666 wzqxprog/db/wz48prg.db" << "%1/wzqxprog/db/wz48prg.db" + notOurs;
        QTest::newRow("another user's private store")
            << "theirs 600 wzqxprog/db/wz48prg.db" << "%1/wzqxprog/db/wz48prg.db" + notOurs;
        QTest::newRow("another user's open data home")
            << "theirs 777 open" << "データフォルダ %1/open/wzqxprog が他のユーザーも書き込めるフォルダー %1/open の中にあるため、起動できません。";
        QTest::newRow("no socket to hand over to") << "held" << notTaken + "がありません。";
        QTest::newRow("socket path too long") << "held, long runtime" << notTaken + "のパスが長すぎます。";
    }

    void startFailuresNameTheirPlace()
    {
        QFETCH(QString, blocked); QFETCH(QString, message);
        QTemporaryDir home;
        const QString lock = home.filePath("wzqxprog/wzqxprog.lock");
        if (blocked.startsWith("wzqxprog")) {
            QVERIFY(QDir(home.path()).mkpath(QFileInfo(blocked).path()));
            writeBytes(home.filePath(blocked), {});
        }
        const QString theirs = blocked.startsWith("theirs") ? home.filePath(blocked.section(' ', 2)) : QString();
        const bool openHome = theirs.endsWith("/open");
        const bool unprivileged = blocked == "root's lock";
        if ((!theirs.isEmpty() || unprivileged) && ::geteuid() != 0)
            QSKIP("needs root to plant another user's files");
        if (unprivileged && QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP("needs setpriv to run as an unprivileged user");
        const bool store = theirs.endsWith(".db");
        if (!theirs.isEmpty()) {  // a store or a folder of theirs, of the mode the row gives
            QVERIFY(QDir().mkpath(store ? QFileInfo(theirs).path() : theirs));
            if (store)
                writeBytes(theirs, "theirs");
            QVERIFY(::chmod(QFile::encodeName(theirs), blocked.section(' ', 1, 1).toUInt(nullptr, 8)) == 0
                    && ::chown(QFile::encodeName(theirs), 4321, 4321) == 0);
        }
        const auto planted = [&theirs, store] {
            const QFileInfo info(theirs);
            return theirs.isEmpty() ? QString()
                                    : QString("%1 %2 %3").arg(info.ownerId()).arg(info.permissions().toInt())
                                          .arg(store ? QString(readBytes(theirs)) : QDir(theirs).entryList().join(','));
        };
        const QString before = planted();
        SingleInstance holder(lock);  // makes the data folder
        QStringList runAs;
        if (unprivileged) {  // our data folder holds a lock of root's that nobody else may open
            const passwd* nobody = ::getpwnam("nobody");
            QVERIFY(nobody && ::chown(QFile::encodeName(QFileInfo(lock).path()), nobody->pw_uid, nobody->pw_gid) == 0);
            QVERIFY(QFile::setPermissions(writeBytes(lock, "1\n"), QFile::ReadOwner | QFile::WriteOwner));
            QVERIFY(QFile::setPermissions(home.path(), QFile::Permissions(0x7755)));
            QVERIFY(QFile::setPermissions(writeBytes(home.filePath("messages.log"), {}), QFile::Permissions(0x6666)));
            runAs = QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups"};
        }
        if (blocked == "folder")
            QVERIFY(QDir().mkdir(lock));
        if (blocked == "FIFO")
            QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
        if (blocked.startsWith("held")) {
            QCOMPARE(holder.acquire(), SingleInstance::Result::Acquired);
            writeBytes(home.filePath("x.dat"), {});  // there to hand over
        }
        const QString runtime = blocked.endsWith("long runtime") ? home.filePath(QString(90, 'r')) : m_runtime.path();
        QVERIFY(QDir().mkpath(runtime) && QFile::setPermissions(runtime, QFile::Permissions(0x7700)));  // 0700
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        const QString log = home.filePath("messages.log");
        QProcess editor;
        start(editor, log, blocked.startsWith("held") ? QStringList{home.filePath("x.dat")} : QStringList(),
              openHome ? theirs : home.path(), runAs);
        QVERIFY(editor.waitForFinished(30000));
        QCOMPARE(std::pair(editor.exitStatus(), editor.exitCode()), std::pair(QProcess::NormalExit, 1));
        QCOMPARE(logLines(log), QStringList{QStringLiteral("エラー\tnone\t")
                                            + message.arg(home.path()).replace("%2", FileHandOver(lock).serverName())});
        QCOMPARE(planted(), before);
    }

    // Something that is no socket at the hand-over's name: the editor runs on without it, says so once and does not
    // try again every few seconds.
    void aFolderAtTheSocketIsToldOnce()
    {
        QTemporaryDir home;
        const QString socket = FileHandOver(home.filePath("wzqxprog/wzqxprog.lock")).serverName();
        QVERIFY(QDir().mkdir(socket));
        const auto removeFolder = qScopeGuard([&socket] { QDir().rmdir(socket); });
        const QString log = home.filePath("messages.log");
        QProcess editor;
        start(editor, log, {}, home.path());
        QVERIFY(!editor.waitForFinished(4500));  // the socket's watch looks every 2 s
        QCOMPARE(logLines(log), QStringList{"WZ QXプログラム作成\texclamation\t受け渡し用のソケット " + socket
                                            + " を作成できないため、ほかの起動からファイルを受け取れません。"});
        const QByteArray err = editor.readAllStandardError();
        QVERIFY2(!err.contains(QFile::encodeName(socket)), err.constData());
        editor.kill();
        editor.waitForFinished();
    }

    // A start with a missing file says so and ends, also while an editor runs, which is asked nothing. A second start hands its file over
    // (a relative name, resolved by the second start) and ends at once; the first reads it. A plain second start is
    // refused and leaves the store alone. The first, killed, leaves no stuck lock, and its work is offered back at
    // the next start (the default answer, 復元) and kept, in a store of the version before too.
    void secondStartsAKilledEditorAndADamagedStore()
    {
        writeBytes(m_home.filePath("二つ.dat"), withTrailer({kWeekLine, kOtherWeekLine}));
        const QString firstLog = m_home.filePath("first.log");
        const QStringList missing{QStringLiteral("エラー\tnone\t") + m_home.filePath("missing.dat") + ": ファイルまたはフォルダーが見つかりません。"};
        QCOMPARE(startSecond({"missing.dat"}, 1), missing);
        QProcess first;
        start(first, firstLog);
        const QString socket = FileHandOver(m_home.filePath("wzqxprog/wzqxprog.lock")).serverName();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 30000);

        // A flood of connections is turned away but for four, those are closed
        // after 2 s of silence, and a socket file removed is made again.
        QLocalSocket flood[10];
        for (QLocalSocket& connection : flood)
            connection.connectToServer(socket);
        QTRY_COMPARE(flood[4].state(), QLocalSocket::UnconnectedState);
        QCOMPARE(flood[3].state(), QLocalSocket::ConnectedState);
        QTRY_COMPARE_WITH_TIMEOUT(flood[3].state(), QLocalSocket::UnconnectedState, 5000);
        QVERIFY(QFile::remove(socket));
        QCOMPARE(startSecond({"二つ.dat"}), QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(logLines(firstLog).size(), 1, 30000);
        QCOMPARE(logLines(firstLog).constLast(),
                 QStringLiteral("プログラムファイルの読み込み\tinformation\tプログラムファイルを読み込みました。"));
        QCOMPARE(weekRows(), 2);
        QCOMPARE(startSecond({}, 1), QStringList{"WZ QXプログラム作成\tcritical\t既に同じ処理が実行されています。"
                                                 "二重起動は禁止されています。"});
        QCOMPARE(startSecond({"missing.dat"}, 1), missing);  // nothing handed over, nothing asked
        QCOMPARE(std::tuple(first.state(), logLines(firstLog).size(), weekRows()),
                 std::tuple(QProcess::Running, qsizetype(1), 2));
        first.kill();
        QVERIFY(first.waitForFinished());
        storeValue("PRAGMA user_version = " + QByteArray::number(Schema::Version - 1));  // the version before: upgraded, offered back

        const QString log = m_home.filePath("next.log");
        QProcess next;
        start(next, log);
        QTRY_VERIFY_WITH_TIMEOUT(!logLines(log).isEmpty(), 30000);
        QCOMPARE(logLines(log), QStringList{"WZ QXプログラム作成\tquestion\t前回の編集内容が残っています。\\n復元しますか？"
                                            "\\n\\n週間・特殊: 2  年間(日付): 0  年間(毎年): 0"});
        QVERIFY(!next.waitForFinished(500));  // still running: it was not refused
        QCOMPARE(std::pair(weekRows(), storeValue("PRAGMA user_version")), std::pair(2, Schema::Version));
        next.kill();
        QVERIFY(next.waitForFinished());

        // A store that is not a store any more is kept aside with its log and
        // made anew; the box says where. Nobody else may read the data.
        const QString db = QFileInfo(storePath()).path();
        writeBytes(storePath(), QByteArray(8192, '\x5a'));
        writeBytes(storePath() + "-wal", "log");
        const QString damagedLog = m_home.filePath("damaged.log");
        QProcess again;
        start(again, damagedLog);
        QTRY_VERIFY_WITH_TIMEOUT(!logLines(damagedLog).isEmpty(), 30000);
        QVERIFY(!again.waitForFinished(500));
        const QStringList kept = QDir(db).entryList({"wz48prg.db.damaged-*"});
        QVERIFY(QRegularExpression("^wz48prg\\.db\\.damaged-\\d{8}-\\d{6}$").match(kept.value(0)).hasMatch());
        QCOMPARE(kept, (QStringList{kept[0], kept[0] + "-wal"}));
        QCOMPARE(readBytes(db + '/' + kept[0]) + readBytes(db + '/' + kept[1]), QByteArray(8192, '\x5a') + "log");
        QCOMPARE(logLines(damagedLog), QStringList{"WZ QXプログラム作成\texclamation\t前回の編集内容を復元できませんでした。\\n"
                                                   "読み込めなかったデータベースのファイルを " + db + '/' + kept[0] + " に残しました。"});
        for (const QString& path : {QFileInfo(db).path(), db, storePath(), storePath() + "-wal", QFileInfo(db).path() + "/wzqxprog.lock"})
            QCOMPARE(QFile::permissions(path) & QFile::Permissions(0xff), QFile::Permissions());  // nobody else's
        again.kill();
        again.waitForFinished();
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
