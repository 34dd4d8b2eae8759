// Whole-program checks of the editor binary: single-instance refusal,
// start-up failures, and a store left by a killed editor offered back at
// the next start.
#include "app/SingleInstance.h"

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

    QProcessEnvironment environment(const QString& log = QString(), const QString& home = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.isEmpty() ? m_home.path() : home);
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
    // A lock that no running editor holds is taken over, whatever a crash
    // left in its file; a running holder still refuses.
    void staleLocksAreTakenOver_data()
    {
        QTest::addColumn<QByteArray>("leftover");
        QTest::addColumn<bool>("holderRuns");
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("garbage") << QByteArray("\x01\xff not a lock\n") << false;
        QTest::newRow("running holder") << QByteArray() << true;
    }

    void staleLocksAreTakenOver()
    {
        QFETCH(QByteArray, leftover);
        QFETCH(bool, holderRuns);
        QTemporaryDir dir;
        const QString path = dir.filePath("wzqxprog.lock");
        SingleInstance holder(path);
        if (holderRuns) {
            QCOMPARE(holder.acquire(), SingleInstance::Result::Acquired);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(leftover) == leftover.size());
        }
        SingleInstance next(path);
        QCOMPARE(next.acquire(), holderRuns ? SingleInstance::Result::HeldByRunningEditor
                                            : SingleInstance::Result::Acquired);
    }

    // A lock or store that cannot be made is no double start: the "Error"
    // box names the place in Japanese, and the editor ends with a failure.
    void startFailuresNameTheirPlace_data()
    {
        QTest::addColumn<QString>("blocked");  // a plain file where a folder must be
        QTest::addColumn<QString>("message");  // %1: the data folder
        QTest::newRow("lock folder") << "wzqxprog"
                                     << "データフォルダ %1/wzqxprog にロックファイルを作成できないため、起動できません。";
        QTest::newRow("store folder")
            << "wzqxprog/db" << "データベース %1/wzqxprog/db/wz48prg.db を作成または書き込みできないため、起動できません。";
    }

    void startFailuresNameTheirPlace()
    {
        QFETCH(QString, blocked);
        QFETCH(QString, message);
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(QFileInfo(blocked).path()));
        QFile plain(home.filePath(blocked));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const QString log = home.filePath("messages.log");
        QProcess editor;
        editor.setProcessEnvironment(environment(log, home.path()));
        editor.start(editorPath(), {});
        QVERIFY(editor.waitForFinished(30000));
        QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
        QVERIFY(editor.exitCode() != 0);
        QFile messages(log);
        QVERIFY(messages.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(messages.readAll()).trimmed(),
                 QStringLiteral("Error\tnone\t") + message.arg(home.path()));
    }

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
                                "週間・特殊: 1  年間(日付): 0  年間(毎年): 0"));
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
