// A program file opened from outside the editor: dropped on the main
// window, given on the command line, or handed by a second start to the
// editor already running.
#include "app/Form_Main.h"
#include "store/StoreRoutines.h"
#include "TestSupport.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QUrl>

using namespace TestSupport;

namespace {

const QByteArray kWeekLine = "122  1   103120000" + QByteArray(12, ' ');
const QByteArray kOtherWeekLine = "122  2   103120000" + QByteArray(12, ' ');
const QString kReadDone = QStringLiteral("プログラムファイルの読み込み|プログラムファイルを読み込みました。");
const QString kRefused = QStringLiteral("ファイルを開く|データが不正です。読み込みできません。");
const QString kReadQuestion = QStringLiteral("データの読込|設定中のデータあります。\r\nデータは破棄されますが読込を続けますか？");
const QString kCloseFirst = QStringLiteral("ファイルを開く|開いている画面を閉じてから読み込んでください。");

// In the log of a scripted editor process: title, icon, text.
const QString kLoggedReadDone =
    QStringLiteral("プログラムファイルの読み込み\tinformation\tプログラムファイルを読み込みました。");
const QString kLoggedRefusal =
    QStringLiteral("WZ QXプログラム作成\tcritical\t既に同じ処理が実行されています。二重起動は禁止されています。");

QString editorPath()
{
    return qEnvironmentVariable("WZ_BUILD_DIR") + QStringLiteral("/wzqxprog");
}

QStringList logLines(const QString& path)
{
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// T_Week rows of the store file of an editor process, read beside it.
int weekRowsOf(const QString& storePath)
{
    int rows = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(storePath);
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("SELECT COUNT(*) FROM T_Week")) && query.next())
            rows = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return rows;
}

}  // namespace

class TestOpenFile : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<Form_Main> m_form;

    QPushButton* button(const char* name) { return child<QPushButton>(m_form.get(), QLatin1String(name)); }
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

private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        m_form = std::make_unique<Form_Main>();
        m_form->Form_Load();
        m_form->show();
        scriptDialogs();
    }

    void cleanup()
    {
        m_form.reset();
        m_store.reset();
    }

    // A dropped file is read as 読込 reads it; anything else is refused by the
    // reader and leaves the store as it was.
    void droppedFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("weekRows");
        QTest::newRow("program file") << withTrailer({kWeekLine, kOtherWeekLine}) << kReadDone << 2;
        QTest::newRow("not a program file") << QByteArray("[Desktop Entry]\nName=x\n") << kRefused << 1;
    }

    void droppedFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(int, weekRows);
        setCircuit(3, 3, 0);
        addWeekRow(3, 0, 1, 0, 7, 0, 0);
        const QString before = storeSnapshot();
        const QString path = writeBytes(m_store->path() + QStringLiteral("/dropped.dat"), content);
        drop({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}, false);  // one file at a time

        MessageBox::queueAnswer(QMessageBox::Yes);  // データの読込: programs are held
        drop({QUrl::fromLocalFile(path)}, true);
        QCOMPARE(shownMessages().size(), 2);
        QVERIFY(shownMessages()[0].startsWith(QStringLiteral("データの読込|")));
        QCOMPARE(shownMessages()[1], message);
        QCOMPARE(WeekRowCount(), weekRows);
        if (message == kRefused)
            QCOMPARE(storeSnapshot(), before);
        QVERIFY(child<QRadioButton>(m_form.get(), "Option_FileEdit_1")->isChecked());
    }

    // A working window or a dialog works on the store: a file from outside
    // waits until it is closed.
    void nothingIsReadWhileAWindowIsOpen()
    {
        const QString path = writeBytes(m_store->path() + QStringLiteral("/WZ48PROG.dat"), withTrailer({kWeekLine}));
        button("Button_Initial")->click();
        QVERIFY(!m_form->isVisible());
        m_form->openFromOutside(path);
        QCOMPARE(shownMessages(), QStringList{kCloseFirst});
        QCOMPARE(WeekRowCount(), 0);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != m_form.get())
                window->close();

        scriptDialogs();
        m_form->openFromOutside(path);
        QCOMPARE(shownMessages(), QStringList{kReadDone});
        QCOMPARE(WeekRowCount(), 1);

        // Over programs it asks first; the default No keeps them.
        scriptDialogs();
        addWeekRow(3, 0, 2, 0, 7, 0, 0);
        m_form->openFromOutside(path);
        QCOMPARE(shownMessages(), QStringList{kReadQuestion});
        QCOMPARE(WeekRowCount(), 2);
    }

    // Real editor processes: the first is started with a missing file (the
    // reader's message), a second start hands its file over and ends at once,
    // the first reads it, and a plain second start is refused and leaves the
    // store alone.
    void secondStartHandsItsFileOver()
    {
        QVERIFY(QFile::exists(editorPath()));
        QTemporaryDir home;
        QTemporaryDir runtime;
        const QString storePath = home.filePath(QStringLiteral("wzqxprog/db/wz48prg.db"));
        const QString firstLog = home.filePath(QStringLiteral("first.log"));
        const QString secondLog = home.filePath(QStringLiteral("second.log"));
        writeBytes(home.filePath(QStringLiteral("two.dat")), withTrailer({kWeekLine, kOtherWeekLine}));
        auto environment = [&](const QString& log) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            env.insert(QStringLiteral("WZQXPROG_MESSAGE_LOG"), log);
            return env;
        };
        auto startSecond = [&](const QStringList& args) {
            QFile::remove(secondLog);
            QProcess second;
            second.setProcessEnvironment(environment(secondLog));
            second.setWorkingDirectory(home.path());  // a relative name is resolved by the second start
            second.start(editorPath(), args);
            QVERIFY(second.waitForFinished(30000));
            QCOMPARE(second.exitStatus(), QProcess::NormalExit);
            QCOMPARE(second.exitCode(), 0);
        };

        QProcess first;
        first.setProcessEnvironment(environment(firstLog));
        const QString missing = home.filePath(QStringLiteral("missing.dat"));
        first.start(editorPath(), {missing});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!logLines(firstLog).isEmpty(), 30000);
        QVERIFY2(logLines(firstLog).constFirst().startsWith(QStringLiteral("Error\tnone\t") + missing),
                 qPrintable(logLines(firstLog).constFirst()));

        startSecond({QStringLiteral("two.dat")});
        QCOMPARE(logLines(secondLog), QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(logLines(firstLog).size(), 2, 30000);
        QCOMPARE(logLines(firstLog).constLast(), kLoggedReadDone);
        QCOMPARE(weekRowsOf(storePath), 2);

        startSecond({});
        QCOMPARE(logLines(secondLog), QStringList{kLoggedRefusal});
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(logLines(firstLog).size(), 2);
        QCOMPARE(weekRowsOf(storePath), 2);
        first.kill();
        first.waitForFinished();
    }
};

QTEST_MAIN(TestOpenFile)
#include "test_open_file.moc"
