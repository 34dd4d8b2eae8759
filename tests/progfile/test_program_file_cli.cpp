#include "app/cli/CommandLine.h"
#include "progfile/Checksum.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

const QByteArray kWeekLine = "122  1   103120000" + QByteArray(12, ' ');
const QByteArray kLaterWeekLine = "122  1   103130000" + QByteArray(12, ' ');

QByteArray withTrailer(const QByteArray& lines)
{
    FileCheckSum sum;
    sum.fold(lines);
    return lines + '*' + sum.hexDigits() + "\r\n";
}

struct Run {
    int status = -1;
    QStringList out;
    QString err;
};

}  // namespace

class TestProgramFileCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void check_data();
    void check();
    void normalizeSortsAndRewrites();
    void normalizeKeepsOutputOfRefusedFile();
    void normalizeIntoReadOnlyFolderKeepsOldFile();
    void helpVersionAndUsage();
    void qtOptionsStartTheEditor();

private:
    Run run(const QStringList& args, const QString& asUser = QString());
    QString write(const QString& name, const QByteArray& content);

    QString m_binary;
    QTemporaryDir m_dir;
};

void TestProgramFileCli::initTestCase()
{
    m_binary = qEnvironmentVariable("WZ_BUILD_DIR") + QStringLiteral("/wzqxprog");
    QVERIFY2(QFile::exists(m_binary), qPrintable(m_binary));
    QVERIFY(m_dir.isValid());
}

QString TestProgramFileCli::write(const QString& name, const QByteArray& content)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

// No display and a home of its own: the command line must need neither a
// display nor the editor's store.
Run TestProgramFileCli::run(const QStringList& args, const QString& asUser)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("home/data")));
    QProcess process;
    process.setProcessEnvironment(env);
    if (asUser.isEmpty())
        process.start(m_binary, args);
    else
        process.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=") + asUser,
                                                             QStringLiteral("--regid=nogroup"),
                                                             QStringLiteral("--clear-groups"), m_binary}
                                                     + args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    Run result;
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

void TestProgramFileCli::check_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("counts");
    const QByteArray dated = "311 0    03" + QByteArray(13, ' ') + "140503\r\n";
    const QByteArray everyYear = "311 0    03" + QByteArray(13, ' ') + "  0503\r\n";
    QTest::newRow("accepted") << withTrailer(kWeekLine + "\r\n" + dated + everyYear + everyYear) << 0
                              << "プログラムファイルを読み込みました。" << "週間・特別: 1  年間(日付): 1  年間(毎年): 2";
    QTest::newRow("bad checksum") << QByteArray("*01\r\n") << 1 << "データが不正です。読み込みできません。" << "";
    QTest::newRow("over capacity")
        << dated.repeated(501) << 2
        << "設定可能プログラム数を超えたため、読み込みできませんでした。本体のバージョンが新しいため、"
           "本ソフトウェアのバージョンアップが必要です。最新プログラムは弊社ホームページより入手できます。"
        << "週間・特別: 0  年間(日付): 501  年間(毎年): 0";
}

void TestProgramFileCli::check()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QString, verdict);
    QFETCH(QString, counts);
    const Run result = run({QStringLiteral("check"), write(QStringLiteral("in.dat"), content)});
    QCOMPARE(result.status, status);
    QCOMPARE(result.out.value(0), verdict);
    QCOMPARE(result.out.value(1), counts);
    QVERIFY2(!QDir(m_dir.filePath(QStringLiteral("home"))).exists(), "the editor's store was touched");

    const Run missing = run({QStringLiteral("check"), m_dir.filePath(QStringLiteral("none.dat"))});
    QCOMPARE(missing.status, 3);
    QVERIFY(missing.err.contains(QStringLiteral("none.dat")));
}

void TestProgramFileCli::normalizeSortsAndRewrites()
{
    const QString in = write(QStringLiteral("in.dat"), kLaterWeekLine + "\r\n" + kWeekLine + "\r\n");
    const QString out = m_dir.filePath(QStringLiteral("out.dat"));
    QCOMPARE(run({QStringLiteral("normalize"), in, out}).status, 0);
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray expected = withTrailer(kWeekLine + "\r\n" + kLaterWeekLine + "\r\n");
    QCOMPARE(written.readAll(), expected);

    // Normalizing a normalized file changes nothing.
    const QString again = m_dir.filePath(QStringLiteral("again.dat"));
    QCOMPARE(run({QStringLiteral("normalize"), out, again}).status, 0);
    QFile second(again);
    QVERIFY(second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), expected);
}

void TestProgramFileCli::normalizeKeepsOutputOfRefusedFile()
{
    const QString out = write(QStringLiteral("out.dat"), "old");
    const QString in = write(QStringLiteral("in.dat"), kWeekLine + "\r\n*00\r\n");
    QCOMPARE(run({QStringLiteral("normalize"), in, out}).status, 1);
    const QString tooMany = write(QStringLiteral("many.dat"), (kWeekLine + "\r\n").repeated(901));
    QCOMPARE(run({QStringLiteral("normalize"), tooMany, out}).status, 2);
    QFile old(out);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
}

void TestProgramFileCli::normalizeIntoReadOnlyFolderKeepsOldFile()
{
    if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        QSKIP("needs root and setpriv to run the command as an unprivileged user");
    // The old file itself is writable; only the folder is not, so that a
    // writer that truncates in place would destroy it.
    QDir(m_dir.path()).mkdir(QStringLiteral("ro"));
    const QString in = write(QStringLiteral("in.dat"), withTrailer(kWeekLine + "\r\n"));
    const QString out = write(QStringLiteral("ro/WZ48PROG.dat"), "old");
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                            | QFile::ExeOther);
    QFile::setPermissions(in, QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    QFile::setPermissions(m_dir.filePath(QStringLiteral("ro")),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const Run result = run({QStringLiteral("normalize"), in, out}, QStringLiteral("nobody"));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("ro")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(result.status, 3);
    QFile old(out);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
}

void TestProgramFileCli::helpVersionAndUsage()
{
    const Run help = run({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.join(QLatin1Char('\n')).contains(QStringLiteral("normalize IN OUT")));
    const Run version = run({QStringLiteral("--version")});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out.value(0), QStringLiteral("wzqxprog 1.28"));
    QCOMPARE(run({QStringLiteral("check")}).status, 64);
    QCOMPARE(run({QStringLiteral("frobnicate"), QStringLiteral("x")}).status, 64);
}

void TestProgramFileCli::qtOptionsStartTheEditor()
{
    const auto wants = [](std::initializer_list<const char*> args) {
        std::vector<char*> argv;
        for (const char* arg : args)
            argv.push_back(const_cast<char*>(arg));
        return wantsCommandLine(int(argv.size()), argv.data());
    };
    QVERIFY(!wants({"wzqxprog"}));
    QVERIFY(!wants({"wzqxprog", "-platform", "offscreen"}));
    QVERIFY(wants({"wzqxprog", "check", "a.dat"}));
    QVERIFY(wants({"wzqxprog", "--version"}));
    QVERIFY(wants({"wzqxprog", "frobnicate"}));
}

QTEST_GUILESS_MAIN(TestProgramFileCli)
#include "test_program_file_cli.moc"
