#include "app/cli/CommandLine.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace TestSupport;

namespace {

const QByteArray kWeekLine = "122  1   103120000" + QByteArray(12, ' ');
const QByteArray kLaterWeekLine = "122  1   103130000" + QByteArray(12, ' ');
const QByteArray kDated = "311 0    03" + QByteArray(13, ' ') + "140503";
const QByteArray kEveryYear = "311 0    03" + QByteArray(13, ' ') + "  0503";

struct Run { int status = -1; QStringList out; };

}  // namespace

class TestProgramFileCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void commands_data();
    void commands();
    void normalizeIntoReadOnlyFolderKeepsOldFile();
    void usageAndEditorArguments();

private:
    Run run(const QStringList& args, const QString& asUser = QString());
    QString write(const QString& name, const QByteArray& data) { return writeBytes(m_dir.filePath(name), data); }

    QString m_binary;
    QTemporaryDir m_dir;
};

void TestProgramFileCli::initTestCase()
{
    m_binary = qEnvironmentVariable("WZ_BUILD_DIR") + QStringLiteral("/wzqxprog");
    QVERIFY2(QFile::exists(m_binary), qPrintable(m_binary));
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
    return result;
}

void TestProgramFileCli::commands_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QByteArray>("normalized");  // empty: OUT keeps its old content
    QTest::newRow("accepted") << withTrailer({kLaterWeekLine, kWeekLine, kEveryYear, kDated, kEveryYear}) << 0
                              << "プログラムファイルを読み込みました。" << "週間・特別: 2  年間(日付): 1  年間(毎年): 2"
                              << withTrailer({kWeekLine, kLaterWeekLine, kDated, kEveryYear, kEveryYear});
    QTest::newRow("bad checksum") << kWeekLine + "\r\n*00\r\n" << 1 << "データが不正です。読み込みできません。"
                                  << "" << QByteArray();
    // The three-line message comes out on one line, before the counts.
    QTest::newRow("over capacity") << (kDated + "\r\n").repeated(501) << 2 << "設定可能プログラム数を超えたため、"
                                   << "週間・特別: 0  年間(日付): 501  年間(毎年): 0" << QByteArray();
    QTest::newRow("missing file") << QByteArray() << 3 << "" << "" << QByteArray();
}

// check and normalize give the same verdict and status; normalize writes
// OUT, sorted as the editor writes it, only for an accepted file.
void TestProgramFileCli::commands()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QString, verdict);
    QFETCH(QString, counts);
    QFETCH(QByteArray, normalized);
    const QString in =
        status == 3 ? m_dir.filePath(QStringLiteral("none.dat")) : write(QStringLiteral("in.dat"), content);
    const QString out = write(QStringLiteral("out.dat"), "old");
    for (const QStringList& args : {QStringList{QStringLiteral("check"), in},
                                    QStringList{QStringLiteral("normalize"), in, out}}) {
        const Run result = run(args);
        QCOMPARE(result.status, status);
        QCOMPARE(result.out.value(0).left(verdict.size()), verdict);
        QCOMPARE(result.out.value(1), counts);
    }
    QCOMPARE(readBytes(out), normalized.isEmpty() ? QByteArray("old") : normalized);
    QVERIFY2(!QDir(m_dir.filePath(QStringLiteral("home"))).exists(), "the editor's store was touched");
}

void TestProgramFileCli::normalizeIntoReadOnlyFolderKeepsOldFile()
{
    if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        QSKIP("needs root and setpriv to run the command as an unprivileged user");
    // The old file itself is writable; only the folder is not, so that a
    // writer that truncates in place would destroy it.
    QDir(m_dir.path()).mkdir(QStringLiteral("ro"));
    const QString in = write(QStringLiteral("in.dat"), withTrailer({kWeekLine}));
    const QString out = write(QStringLiteral("ro/WZ48PROG.dat"), "old");
    QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther);
    QFile::setPermissions(in, QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    QFile::setPermissions(m_dir.filePath(QStringLiteral("ro")),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const Run result = run({QStringLiteral("normalize"), in, out}, QStringLiteral("nobody"));
    QCOMPARE(result.status, 3);
    QCOMPARE(readBytes(out), QByteArray("old"));
}

// Qt's own options still start the editor; any other word is a command, and
// a command with the wrong arguments gets the usage text and 64.
void TestProgramFileCli::usageAndEditorArguments()
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
    QCOMPARE(run({QStringLiteral("check")}).status, 64);
}

QTEST_GUILESS_MAIN(TestProgramFileCli)
#include "test_program_file_cli.moc"
