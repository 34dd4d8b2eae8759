// Whole-program checks of the editor binary: single-instance refusal, and
// a store left by a killed editor offered back at the next start.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString editorPath()
{
    return qEnvironmentVariable("WZ_BUILD_DIR") + QStringLiteral("/wzqxprog");
}

class StoreFile
{
public:
    explicit StoreFile(const QString& path)
    {
        m_db = QSqlDatabase::addDatabase("QSQLITE", "probe");
        m_db.setDatabaseName(path);
        m_db.open();
    }
    ~StoreFile()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase("probe");
    }
    int weekRows()
    {
        QSqlQuery query(m_db);
        return query.exec("SELECT COUNT(*) FROM T_Week") && query.next() ? query.value(0).toInt() : -1;
    }
    void addWeekRow()
    {
        QSqlQuery query(m_db);
        QVERIFY(query.exec("INSERT INTO T_Week (CircuitNO, YobiON, TimeONH) VALUES (1, 1, 8)"));
    }

private:
    QSqlDatabase m_db;
};

}  // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QProcessEnvironment environment(const QString& log = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", m_home.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (!log.isEmpty())
            env.insert("WZQXPROG_MESSAGE_LOG", log);
        return env;
    }

    static QString logText(const QString& path)
    {
        QFile log(path);
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).trimmed() : QString();
    }

    QString storePath() const { return m_home.filePath("wzqxprog/db/wz48prg.db"); }

    bool waitFor(const std::function<bool()>& condition)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > 30000)
                return false;
            QTest::qWait(50);
        }
        return true;
    }

private slots:
    void secondEditorIsRefusedAndLeavesTheStore()
    {
        QVERIFY(QFile::exists(editorPath()));
        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(editorPath(), {});
        QVERIFY(first.waitForStarted());
        // The running editor empties the store at start-up; a row added
        // afterwards belongs to it.
        QVERIFY(waitFor([this] {
            if (!QFile::exists(storePath()))
                return false;
            StoreFile store(storePath());
            return store.weekRows() == 0;
        }));
        QTest::qWait(300);
        {
            StoreFile store(storePath());
            store.addWeekRow();
        }

        const QString log = m_home.filePath("second.log");
        QProcess second;
        second.setProcessEnvironment(environment(log));
        second.start(editorPath(), {});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QFile messages(log);
        QVERIFY(messages.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(messages.readAll()).trimmed(),
                 QStringLiteral("WZ QXプログラム作成\tcritical\t既に同じ処理が実行されています。二重起動は禁止されています。"));
        {
            StoreFile store(storePath());
            QCOMPARE(store.weekRows(), 1);
        }
        QCOMPARE(first.state(), QProcess::Running);

        // A killed editor leaves no stuck lock, and its committed work
        // survives: the next start offers it back (the scripted answer is
        // the default, 復元 = Yes) and keeps it.
        first.kill();
        QVERIFY(first.waitForFinished());
        const QString thirdLog = m_home.filePath("third.log");
        QProcess third;
        third.setProcessEnvironment(environment(thirdLog));
        third.start(editorPath(), {});
        QVERIFY(third.waitForStarted());
        QVERIFY(waitFor([&] { return !logText(thirdLog).isEmpty(); }));
        QCOMPARE(logText(thirdLog),
                 QStringLiteral("WZ QXプログラム作成\tquestion\t前回の編集内容が残っています。\\n復元しますか？\\n\\n"
                                "週間・特別: 1  年間(日付): 0  年間(毎年): 0"));
        QVERIFY(!third.waitForFinished(500));  // still running: it was not refused
        {
            StoreFile store(storePath());
            QCOMPARE(store.weekRows(), 1);
        }
        third.kill();
        third.waitForFinished();
    }

    // A store that is not a store any more is made anew, with no question.
    void damagedStoreIsRecreatedSilently()
    {
        QDir().mkpath(QFileInfo(storePath()).absolutePath());
        for (const char* journal : {"-wal", "-shm"})
            QFile::remove(storePath() + journal);
        QFile damaged(storePath());
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(8192, '\x5a'));
        damaged.close();
        const QString log = m_home.filePath("damaged.log");
        QProcess editor;
        editor.setProcessEnvironment(environment(log));
        editor.start(editorPath(), {});
        QVERIFY(editor.waitForStarted());
        QVERIFY(waitFor([this] {
            StoreFile store(storePath());
            return store.weekRows() == 0;
        }));
        QVERIFY(!editor.waitForFinished(500));
        QVERIFY(logText(log).isEmpty());
        editor.kill();
        editor.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
