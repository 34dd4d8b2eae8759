// Whole-program checks of the editor binary: start-up failures, stale locks,
// a damaged store, and a store left by a killed editor offered back at the
// next start. (A second plain start's refusal is checked in test_open_file.)
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

// Runs `sql` on the store file beside the editor; returns the first value or -1.
int storeQuery(const QString& path, const QString& sql)
{
    int value = -1;
    if (!QFile::exists(path))  // opening would make an empty file under the editor
        return value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "probe");
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (db.open() && query.exec(sql))
            value = query.next() ? query.value(0).toInt() : 0;
    }
    QSqlDatabase::removeDatabase("probe");
    return value;
}

QString logText(const QString& path)
{
    QFile log(path);
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).trimmed() : QString();
}

}  // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    QString storePath() const { return m_home.filePath("wzqxprog/db/wz48prg.db"); }
    int weekRows() const { return storeQuery(storePath(), "SELECT COUNT(*) FROM T_Week"); }

    void start(QProcess& editor, const QString& log, const QString& home = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.isEmpty() ? m_home.path() : home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("WZQXPROG_MESSAGE_LOG", log);
        editor.setProcessEnvironment(env);
        editor.start(editorPath(), {});
        QVERIFY(editor.waitForStarted());
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
        QVERIFY(QFile(home.filePath(blocked)).open(QIODevice::WriteOnly));
        const QString log = home.filePath("messages.log");
        QProcess editor;
        start(editor, log, home.path());
        QVERIFY(editor.waitForFinished(30000));
        QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
        QVERIFY(editor.exitCode() != 0);
        QCOMPARE(logText(log), QStringLiteral("Error\tnone\t") + message.arg(home.path()));
    }

    // A killed editor leaves no stuck lock, and its committed work survives:
    // the next start offers it back (the scripted answer is the default,
    // 復元 = Yes) and keeps it.
    void killedEditorsWorkIsOfferedBack()
    {
        QVERIFY(QFile::exists(editorPath()));
        QProcess first;
        start(first, m_home.filePath("first.log"));
        // The running editor empties the store at start-up; a row added
        // afterwards belongs to it.
        QTRY_COMPARE_WITH_TIMEOUT(weekRows(), 0, 30000);
        QTest::qWait(300);
        QCOMPARE(storeQuery(storePath(), "INSERT INTO T_Week (CircuitNO, YobiON, TimeONH) VALUES (1, 1, 8)"), 0);
        first.kill();
        QVERIFY(first.waitForFinished());

        const QString log = m_home.filePath("next.log");
        QProcess next;
        start(next, log);
        QTRY_VERIFY_WITH_TIMEOUT(!logText(log).isEmpty(), 30000);
        QCOMPARE(logText(log), QStringLiteral("WZ QXプログラム作成\tquestion\t前回の編集内容が残っています。\\n復元しますか？\\n\\n"
                                              "週間・特殊: 1  年間(日付): 0  年間(毎年): 0"));
        QVERIFY(!next.waitForFinished(500));  // still running: it was not refused
        QCOMPARE(weekRows(), 1);
        next.kill();
        next.waitForFinished();
    }

    // A store that is not a store any more is made anew, with no question.
    void damagedStoreIsRecreatedSilently()
    {
        QDir().mkpath(QFileInfo(storePath()).absolutePath());
        for (const char* journal : {"-wal", "-shm"})
            QFile::remove(storePath() + journal);
        QFile damaged(storePath());
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(QByteArray(8192, '\x5a')) == 8192);
        damaged.close();
        const QString log = m_home.filePath("damaged.log");
        QProcess editor;
        start(editor, log);
        QTRY_COMPARE_WITH_TIMEOUT(weekRows(), 0, 30000);
        QVERIFY(!editor.waitForFinished(500));
        QVERIFY(logText(log).isEmpty());
        editor.kill();
        editor.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
