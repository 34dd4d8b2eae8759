// Whole-program checks of the editor binary: start-up failures, stale locks,
// a second start handing its file over or refused, a store left by a killed
// editor offered back at the next start, and a damaged store.
#include "TestSupport.h"
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

// The boxes an editor process showed: title, icon and text on each line.
QStringList logLines(const QString& path)
{
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_runtime;

    QString storePath() const { return m_home.filePath("wzqxprog/db/wz48prg.db"); }
    int weekRows() const { return storeQuery(storePath(), "SELECT COUNT(*) FROM T_Week"); }

    // Starts the editor in the home folder with its boxes logged to `log`.
    void start(QProcess& editor, const QString& log, const QStringList& args = {}, const QString& home = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.isEmpty() ? m_home.path() : home);
        env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("WZQXPROG_MESSAGE_LOG", log);
        editor.setProcessEnvironment(env);
        editor.setWorkingDirectory(m_home.path());
        editor.start(editorPath(), args);
        QVERIFY(editor.waitForStarted());
    }

    // A second start that ends at once and well; returns what it showed.
    QStringList startSecond(const QStringList& args)
    {
        const QString log = m_home.filePath("second.log");
        QFile::remove(log);
        QProcess second;
        start(second, log, args);
        if (!second.waitForFinished(30000) || second.exitStatus() != QProcess::NormalExit || second.exitCode() != 0)
            return {QStringLiteral("did not end well")};
        return logLines(log);
    }

private slots:
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
        const QString path = dir.filePath("wzqxprog.lock");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(leftover) == leftover.size());
        file.close();
        QCOMPARE(SingleInstance(path).acquire(), SingleInstance::Result::Acquired);
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
        start(editor, log, {}, home.path());
        QVERIFY(editor.waitForFinished(30000));
        QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
        QVERIFY(editor.exitCode() != 0);
        QCOMPARE(logLines(log), QStringList{QStringLiteral("Error\tnone\t") + message.arg(home.path())});
    }

    // The first editor, started with a missing file, shows the reader's message.
    // A second start hands its file over (a relative name, resolved by the second
    // start) and ends at once; the first reads it. A plain second start is refused
    // and leaves the store alone. The first, killed, leaves no stuck lock, and its
    // work is offered back at the next start (the default answer, 復元) and kept.
    void secondStartsAKilledEditorAndADamagedStore()
    {
        const QByteArray blanks(12, ' ');
        TestSupport::writeBytes(m_home.filePath("two.dat"), TestSupport::withTrailer({"122  1   103120000" + blanks,
                                                                                    "122  2   103120000" + blanks}));
        const QString firstLog = m_home.filePath("first.log");
        const QString missing = m_home.filePath("missing.dat");
        QProcess first;
        start(first, firstLog, {missing});
        QTRY_VERIFY_WITH_TIMEOUT(!logLines(firstLog).isEmpty(), 30000);
        QVERIFY2(logLines(firstLog).constFirst().startsWith(QStringLiteral("Error\tnone\t") + missing),
                 qPrintable(logLines(firstLog).constFirst()));

        QCOMPARE(startSecond({"two.dat"}), QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(logLines(firstLog).size(), 2, 30000);
        QCOMPARE(logLines(firstLog).constLast(),
                 QStringLiteral("プログラムファイルの読み込み\tinformation\tプログラムファイルを読み込みました。"));
        QCOMPARE(weekRows(), 2);
        QCOMPARE(startSecond({}), QStringList{"WZ QXプログラム作成\tcritical\t既に同じ処理が実行されています。"
                                              "二重起動は禁止されています。"});
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(logLines(firstLog).size(), 2);
        QCOMPARE(weekRows(), 2);
        first.kill();
        QVERIFY(first.waitForFinished());

        const QString log = m_home.filePath("next.log");
        QProcess next;
        start(next, log);
        QTRY_VERIFY_WITH_TIMEOUT(!logLines(log).isEmpty(), 30000);
        QCOMPARE(logLines(log), QStringList{"WZ QXプログラム作成\tquestion\t前回の編集内容が残っています。\\n復元しますか？"
                                            "\\n\\n週間・特殊: 2  年間(日付): 0  年間(毎年): 0"});
        QVERIFY(!next.waitForFinished(500));  // still running: it was not refused
        QCOMPARE(weekRows(), 2);
        next.kill();
        QVERIFY(next.waitForFinished());

        // A store that is not a store any more is made anew, with no question.
        for (const char* journal : {"-wal", "-shm"})
            QFile::remove(storePath() + journal);
        QFile damaged(storePath());
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(QByteArray(8192, '\x5a')) == 8192);
        damaged.close();
        const QString damagedLog = m_home.filePath("damaged.log");
        QProcess again;
        start(again, damagedLog);
        QTRY_COMPARE_WITH_TIMEOUT(weekRows(), 0, 30000);
        QVERIFY(!again.waitForFinished(500));
        QVERIFY(logLines(damagedLog).isEmpty());
        again.kill();
        again.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
