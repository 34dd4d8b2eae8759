#include "app/cli/CommandLine.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

const QByteArray kWeekLine = "122  1   103120000" + QByteArray(12, ' ');
const QByteArray kLaterWeekLine = "122  1   103130000" + QByteArray(12, ' ');
const QByteArray kDated = "311 0    03" + QByteArray(13, ' ') + "140503";
const QByteArray kEveryYear = "311 0    03" + QByteArray(13, ' ') + "  0503";

struct Run { int status = -1; QStringList out; QString err; qint64 ms = 0; };

// `count` valid week lines of 32 bytes each, then the trailer.
QByteArray weekLines(int count)
{
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("111  %1   05 %2%3%4")
                     .arg(i % 7)
                     .arg(i % 24, 2)
                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                     .arg(i / 60, 2, 10, QLatin1Char('0'))
                     .toLatin1()
                     .leftJustified(30);
    return withTrailer(lines);
}

}  // namespace

class TestProgramFileCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void commands_data();
    void commands();
    void normalizeIntoReadOnlyFolderKeepsOldFile();
    void normalizeOnFullDiskKeepsOldFile();
    void specialOutputs_data();
    void specialOutputs();
    void unreadableInputsAreRefusedAtOnce_data();
    void unreadableInputsAreRefusedAtOnce();
    void usageAndEditorArguments_data();
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
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
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
    QElapsedTimer timer;
    timer.start();
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    Run result;
    result.ms = timer.elapsed();
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    result.err = QString::fromUtf8(process.readAllStandardError());
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
                              << "プログラムファイルを読み込みました。" << "週間・特殊: 2  年間(日付): 1  年間(毎年): 2"
                              << withTrailer({kWeekLine, kLaterWeekLine, kDated, kEveryYear, kEveryYear});
    QTest::newRow("bad checksum") << kWeekLine + "\r\n*00\r\n" << 1 << "データが不正です。読み込みできません。"
                                  << "" << QByteArray();
    // The three-line message comes out on one line, before the counts.
    QTest::newRow("over capacity") << (kDated + "\r\n").repeated(501) << 2 << "設定可能プログラム数を超えたため、"
                                   << "週間・特殊: 0  年間(日付): 501  年間(毎年): 0" << QByteArray();
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
    for (const QStringList& args : {QStringList{"check", in}, QStringList{"normalize", in, out}}) {
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
    const Run result = run({"normalize", in, out}, QStringLiteral("nobody"));
    QCOMPARE(result.status, 3);
    QCOMPARE(readBytes(out), QByteArray("old"));
}

// On a full disk the write fails loudly and the old file stays: Qt's
// buffered QSaveFile once dropped what did not fit and reported success.
void TestProgramFileCli::normalizeOnFullDiskKeepsOldFile()
{
    const QString in = write(QStringLiteral("in.dat"), weekLines(360));  // 11,525 bytes
    const QByteArray disk = QFile::encodeName(m_dir.filePath(QStringLiteral("disk")));
    QDir().mkpath(QFile::decodeName(disk));
    if (::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=12k") != 0)
        QSKIP("needs root to mount a small tmpfs as a full disk");
    const auto unmount = qScopeGuard([&] { ::umount2(disk.constData(), MNT_DETACH); });
    const QByteArray old = weekLines(15);  // 485 bytes: one of the three 4 KiB pages
    const QString out = write(QStringLiteral("disk/WZ48PROG.dat"), old);
    const Run result = run({"normalize", in, out});
    QCOMPARE(result.status, 3);
    QVERIFY2(result.err.contains(QStringLiteral("No space left on device")), qPrintable(result.err));
    QCOMPARE(readBytes(out), old);
    QCOMPARE(QDir(m_dir.filePath(QStringLiteral("disk"))).entryList(QDir::Files), QStringList{"WZ48PROG.dat"});
}

// What is not a regular file is never replaced by one; a symbolic link is
// written through to its target and stays a link.
void TestProgramFileCli::specialOutputs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status");
    QTest::newRow("pipe") << "pipe" << 3;
    QTest::newRow("folder") << "folder" << 3;
    QTest::newRow("link to a file") << "link to file" << 0;
    QTest::newRow("link to a pipe") << "link to pipe" << 3;
}

void TestProgramFileCli::specialOutputs()
{
    QFETCH(QString, kind);
    QFETCH(int, status);
    const QByteArray content = withTrailer({kWeekLine});
    const QString in = write(QStringLiteral("in.dat"), content);
    QTemporaryDir dir(m_dir.filePath(QStringLiteral("special-XXXXXX")));
    const QString target = dir.filePath(QStringLiteral("target"));
    if (kind.endsWith(QLatin1String("pipe")))
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(target));
    else
        writeBytes(target, "old");
    const QString out = kind.startsWith(QLatin1String("link")) ? dir.filePath(QStringLiteral("link")) : target;
    if (out != target)
        QVERIFY(QFile::link(QStringLiteral("target"), out));
    QCOMPARE(run({QStringLiteral("normalize"), in, out}).status, status);
    const QFileInfo info(target);
    QCOMPARE(info.isFile(), kind == QLatin1String("link to file"));
    QCOMPARE(QFileInfo(out).isSymLink(), out != target);
    if (info.isFile())
        QCOMPARE(readBytes(target), content);
}

// Only a regular file of at most the largest size the editor writes is
// read: a device, pipe or folder is unreadable (3), a larger file is over
// capacity (2) without being read.
void TestProgramFileCli::unreadableInputsAreRefusedAtOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status");
    QTest::newRow("endless device") << "/dev/zero" << 3;
    QTest::newRow("pipe without a writer") << "pipe" << 3;
    QTest::newRow("folder") << "folder" << 3;
    QTest::newRow("1 GiB file") << "huge" << 2;
}

void TestProgramFileCli::unreadableInputsAreRefusedAtOnce()
{
    QFETCH(QString, kind);
    QFETCH(int, status);
    QTemporaryDir dir(m_dir.filePath(QStringLiteral("input-XXXXXX")));
    QString in = dir.filePath(QStringLiteral("in.dat"));
    if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(QFile::encodeName(in).constData(), 0600), 0);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(in));
    } else if (kind == QLatin1String("huge")) {
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 30));  // sparse: no disk used
    } else {
        in = kind;
    }
    const Run result = run({QStringLiteral("check"), in});
    QCOMPARE(result.status, status);
    QVERIFY2(!result.err.isEmpty(), "the command line must say why");
    QVERIFY2(result.ms < 10000, qPrintable(QString::number(result.ms)));
}

// Qt's options and one file start the editor; anything else gets the usage
// text and 64, decided before a GUI application (needing a display) exists.
void TestProgramFileCli::usageAndEditorArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("editor");
    QTest::newRow("none") << QStringList{} << true;
    QTest::newRow("platform") << QStringList{"-platform", "offscreen"} << true;
    QTest::newRow("double-dash style=") << QStringList{"--style=fusion", "-reverse"} << true;
    QTest::newRow("unknown long option") << QStringList{"--bogus"} << false;
    QTest::newRow("unknown short option") << QStringList{"-v"} << false;
    QTest::newRow("unknown after a Qt option") << QStringList{"-platform", "offscreen", "-v"} << false;
    QTest::newRow("Qt option without its value") << QStringList{"-platform"} << false;
    QTest::newRow("file name") << QStringList{"a.dat"} << true;
    QTest::newRow("two file names") << QStringList{"a.dat", "b.dat"} << false;
    QTest::newRow("command without its file") << QStringList{"check"} << false;
}

void TestProgramFileCli::usageAndEditorArguments()
{
    QFETCH(QStringList, args);
    QFETCH(bool, editor);
    std::vector<QByteArray> bytes{QByteArrayLiteral("wzqxprog")};
    for (const QString& arg : args)
        bytes.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : bytes)
        argv.push_back(arg.data());
    QCOMPARE(wantsCommandLine(int(argv.size()), argv.data()), !editor);
    if (editor)
        return;
    const Run result = run(args);
    QCOMPARE(result.status, 64);
    QVERIFY(result.err.startsWith(QStringLiteral("使い方: wzqxprog")));
}

QTEST_GUILESS_MAIN(TestProgramFileCli)
#include "test_program_file_cli.moc"
