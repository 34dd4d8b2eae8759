#include "app/cli/CommandLine.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>

using namespace TestSupport;

namespace {

const QByteArray kWeekLine = "122  1   103120000" + QByteArray(12, ' ');
const QByteArray kLaterWeekLine = "122  1   103130000" + QByteArray(12, ' ');
const QByteArray kDated = "311 0    03" + QByteArray(13, ' ') + "140503";
const QByteArray kEveryYear = "311 0    03" + QByteArray(13, ' ') + "  0503";

// `count` week lines of 32 bytes each, then the trailer.
QByteArray weekLines(int count)
{
    return withTrailer(QList<QByteArray>(count, kWeekLine));
}

}  // namespace

class TestProgramFileCli : public QObject
{
    Q_OBJECT
private slots:
    void commands_data()
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
    void commands()
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
            const ProcessRun result = run(args);
            QCOMPARE(result.status, status);
            QCOMPARE(result.out.value(0).left(verdict.size()), verdict);
            QCOMPARE(result.out.value(1), counts);
        }
        QCOMPARE(readBytes(out), normalized.isEmpty() ? QByteArray("old") : normalized);
        QVERIFY2(!QDir(home()).exists(), "the editor's store was touched");
    }

    // A write that fails leaves the old file as it was: into a folder the
    // user may not write to (the old file itself is writable, so that a
    // writer that truncates in place would destroy it), and on a full disk
    // (Qt's buffered QSaveFile once dropped what did not fit and reported
    // success).
    void failedNormalizeKeepsOldFile()
    {
        const QByteArray disk = QFile::encodeName(m_dir.filePath(QStringLiteral("disk")));
        QDir().mkpath(QFile::decodeName(disk));
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()
            || ::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=12k") != 0)
            QSKIP("needs root to mount a small tmpfs as a full disk, and setpriv to run as an unprivileged user");
        const auto unmount = qScopeGuard([&] { ::umount2(disk.constData(), MNT_DETACH); });

        QDir(m_dir.path()).mkdir(QStringLiteral("ro"));
        const QString in = write(QStringLiteral("in.dat"), weekLines(360));  // 11,525 bytes
        const QString readOnly = write(QStringLiteral("ro/WZ48PROG.dat"), "old");
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther);
        QFile::setPermissions(in, QFile::ReadOwner | QFile::ReadOther);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
        QFile::setPermissions(m_dir.filePath(QStringLiteral("ro")),
                              QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        const QStringList asNobody{"--reuid=nobody", "--regid=nogroup", "--clear-groups", editorBinary()};
        QCOMPARE(runProcess("setpriv", asNobody + QStringList{"normalize", in, readOnly}, home()).status, 3);
        QCOMPARE(readBytes(readOnly), QByteArray("old"));

        const QByteArray old = weekLines(15);  // 485 bytes: one of the three 4 KiB pages
        const QString full = write(QStringLiteral("disk/WZ48PROG.dat"), old);
        const ProcessRun result = run({"normalize", in, full});
        QCOMPARE(result.status, 3);
        QVERIFY2(result.err.contains(QStringLiteral("No space left on device")), qPrintable(result.err));
        QCOMPARE(readBytes(full), old);
        QCOMPARE(QDir(QFile::decodeName(disk)).entryList(QDir::Files), QStringList{"WZ48PROG.dat"});
    }

    // Only a regular file of at most the largest size the editor writes is
    // read: a device, pipe or folder is unreadable (3) at once, a larger file is
    // over capacity (2) without being read. What is not a regular file is never
    // replaced by one; a symbolic link is written through to its target and
    // stays a link.
    void specialFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        QTest::newRow("endless device") << "in /dev/zero" << 3;
        QTest::newRow("pipe without a writer") << "in pipe" << 3;
        QTest::newRow("folder") << "in folder" << 3;
        QTest::newRow("1 GiB file") << "in huge file" << 2;
        QTest::newRow("out: pipe") << "out pipe" << 3;
        QTest::newRow("out: folder") << "out folder" << 3;
        QTest::newRow("out: link to a file") << "out link to file" << 0;
        QTest::newRow("out: link to a pipe") << "out link to pipe" << 3;
    }

    void specialFiles()
    {
        QFETCH(QString, kind);
        QFETCH(int, status);
        QTemporaryDir dir(m_dir.filePath(QStringLiteral("special-XXXXXX")));
        const QString target = kind.endsWith(QLatin1String("/dev/zero")) ? kind.mid(3) : dir.filePath("target");
        if (kind.endsWith(QLatin1String("pipe"))) {
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        } else if (kind.endsWith(QLatin1String("folder"))) {
            QVERIFY(QDir().mkdir(target));
        } else if (kind.endsWith(QLatin1String("huge file"))) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 30));  // sparse: no disk used
        } else if (kind.endsWith(QLatin1String("file"))) {
            writeBytes(target, "old");
        }
        const QString path = kind.contains(QLatin1String("link")) ? dir.filePath("link") : target;
        if (path != target)
            QVERIFY(QFile::link(QStringLiteral("target"), path));
        const QByteArray content = withTrailer({kWeekLine});
        const bool output = kind.startsWith(QLatin1String("out"));
        const ProcessRun result =
            output ? run({"normalize", write(QStringLiteral("in.dat"), content), path}) : run({"check", path});
        QCOMPARE(result.status, status);
        QVERIFY2(status == 0 || !result.err.isEmpty(), "the command line must say why");
        QVERIFY2(result.ms < 10000, qPrintable(QString::number(result.ms)));
        QCOMPARE(QFileInfo(target).isFile(), kind.endsWith(QLatin1String("file")));
        QCOMPARE(QFileInfo(path).isSymLink(), path != target);
        if (output && status == 0)
            QCOMPARE(readBytes(target), content);
    }

    // Qt's options and one file start the editor; anything else gets the usage
    // text and 64, decided before a GUI application (needing a display) exists.
    void usageAndEditorArguments_data()
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

    void usageAndEditorArguments()
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
        const ProcessRun result = run(args);
        QCOMPARE(result.status, 64);
        QVERIFY(result.err.startsWith(QStringLiteral("使い方: wzqxprog")));
    }

private:
    // No display and a home of its own: the command line must need neither
    // a display nor the editor's store.
    ProcessRun run(const QStringList& args) { return runProcess(editorBinary(), args, home()); }
    QString home() const { return m_dir.filePath(QStringLiteral("home")); }
    QString write(const QString& name, const QByteArray& data) { return writeBytes(m_dir.filePath(name), data); }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestProgramFileCli)
#include "test_program_file_cli.moc"
