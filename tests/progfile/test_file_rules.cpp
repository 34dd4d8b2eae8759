// The rules of the file system the program runs on, for what the commands
// write and read: built for Linux and for Windows (run under Wine), each
// system with the rows that mean something there.
#include "store/ScheduleDocument.h"
#include "core/platform/Platform.h"
#include "progfile/ProgramFileFormat.h"
#include "progfile/ProgramFileWriter.h"
#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTest>

using namespace TestSupport;

namespace {

bool onWindows()
{
    return QSysInfo::kernelType() == QLatin1String("winnt");
}

const QByteArray kContent = "new content\r\n";

}  // namespace

class TestFileRules : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_store = std::make_unique<ScratchStore>(); }
    void cleanup() { m_store.reset(); }

    // {dir} is the test's folder, {native} the same in the system's spelling, {deep} a folder whose path is past
    // Windows' old limit of 260 characters. Before each row {dir}/out.dat holds "old": refused, it keeps that and
    // nothing is left beside it; written, the path holds the new content. "read-only" makes out.dat read-only (and
    // forced, it stays so), "held open" keeps it open as another program would.
    void outputs_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("reason");  // after "PATH: "; empty: written
        const QString reserved = QStringLiteral("Windows が予約している名前のため使えません。");
        const QString trimmed = QStringLiteral("ピリオドまたは空白で終わる名前は Windows で使えません。");
        const QString device = QStringLiteral("ファイルではなくデバイスを指す名前のため使えません。");
        const QString readOnly = QStringLiteral("読み取り専用のファイルのため書き込めません。");
        QTest::newRow("read-only") << "{dir}/out.dat" << false << readOnly;
        QTest::newRow("read-only forced") << "{dir}/out.dat" << true << "";
        QTest::newRow("long path") << "{deep}/out.dat" << false << "";
        if (!onWindows())
            return;
        for (const char* name : {"CON", "nul.dat", "Com1.txt", "LPT9", "CONIN$", "conout$.dat", "AUX .dat"})
            QTest::addRow("reserved %s", name) << QStringLiteral("{dir}/") + name << false << reserved;
        QTest::newRow("dot at the end") << "{dir}/out.dat." << false << trimmed;
        QTest::newRow("space at the end") << "{dir}/out.dat " << false << trimmed;
        QTest::newRow("folder with a dot at the end") << "{dir}/sub./out.dat" << false << trimmed;
        QTest::newRow("device path") << "\\\\.\\{native}\\out.dat" << false << device;
        QTest::newRow("console device") << "\\\\.\\CONOUT$" << false << device;
        QTest::newRow("UNC device path") << "\\\\?\\UNC\\.\\{native}\\out.dat" << false << device;
        QTest::newRow("stream") << "{dir}/out.dat:hidden" << false
                                << QStringLiteral("ファイル名に使えない文字を含んでいます。");
        QTest::newRow("junction on the way")
            << "{dir}/junction/out.dat" << false
            << QStringLiteral("{native}\\junction はリンク（シンボリックリンクまたはジャンクション）のため、たどって書き込めません。");
        QTest::newRow("held open") << "{dir}/out.dat" << false << QStringLiteral("ほかのプログラムが使用中です。");
        QTest::newRow("long path with \\\\?\\") << "\\\\?\\{native-deep}\\out.dat" << false << "";
        QTest::newRow("\\\\?\\ path") << "\\\\?\\{native}\\out.dat" << false << "";
    }

    void outputs()
    {
        QFETCH(QString, path); QFETCH(bool, force); QFETCH(QString, reason);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        const QString dir = m_store->path() + QStringLiteral("/w");
        QString deep = dir;
        while (deep.size() < 300)
            deep += QStringLiteral("/a-folder-name-of-some-length");
        QVERIFY(QDir().mkpath(deep));
        const QString old = writeBytes(dir + QStringLiteral("/out.dat"), "old");
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/real")));
        if (tag.contains(QLatin1String("junction"))) {
            QProcess::execute(QStringLiteral("cmd"), {"/c", "mklink", "/J", QDir::toNativeSeparators(dir + "/junction"),
                                                      QDir::toNativeSeparators(dir + "/real")});
            if (!QFileInfo(dir + QStringLiteral("/junction")).isJunction())
                QSKIP("mklink /J made no junction (Wine 8 makes none)");
        }
        if (tag.startsWith(QLatin1String("read-only")))
            QVERIFY(QFile::setPermissions(old, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QFile holder(old);
        if (tag == QLatin1String("held open"))
            QVERIFY(holder.open(QIODevice::ReadOnly));
        path.replace(QLatin1String("{dir}"), dir)
            .replace(QLatin1String("{deep}"), deep)
            .replace(QLatin1String("{native-deep}"), QDir::toNativeSeparators(deep))
            .replace(QLatin1String("{native}"), QDir::toNativeSeparators(dir));
        reason.replace(QLatin1String("{native}"), QDir::toNativeSeparators(dir));
        const QStringList before = entries(dir);

        QString error;
        try {
            ProgramFileWriter::writeFileAtomically(path, kContent, {force, {}, {}, true, nullptr, {}});
        } catch (const FileError& failure) {
            error = QString::fromUtf8(failure.what());
        }
        holder.close();
        if (!reason.isEmpty()) {
            QCOMPARE(error, QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason);
            QCOMPARE(readBytes(old), QByteArray("old"));
            // Wine's ReplaceFile leaves a copy of its own (rf1234.tmp) when the file is held open.
            QStringList after = entries(dir);
            after.removeIf([](const QString& name) {
                return QRegularExpression(QStringLiteral("/rf[0-9a-f]+\\.tmp$")).match(name).hasMatch();
            });
            QCOMPARE(after, before);
            return;
        }
        QCOMPARE(error, QString());
        const QString written = QDir::fromNativeSeparators(path).remove(QRegularExpression(QStringLiteral("^//\\?/")));
        QCOMPARE(readBytes(written), kContent);
        QCOMPARE(bool(QFileInfo(written).permissions() & QFile::WriteOwner), !tag.startsWith(QLatin1String("read-only")));
        QFile::setPermissions(written, QFile::ReadOwner | QFile::WriteOwner);  // so that the folder can go
    }

    // The time a read file was last written, as the main window shows it.
    void readFileIsStampedWhenWritten()
    {
        const QString path = writeBytes(m_store->path() + QStringLiteral("/in.dat"), "x");
        const QDateTime modified = Platform::readRegularFile(path, 10).lastModified;
        QVERIFY2(qAbs(modified.secsTo(QDateTime::currentDateTime())) < 60, qPrintable(modified.toString(Qt::ISODate)));
    }

    // The commands program starts the editor program beside it by its full path, never one of that name in the
    // current folder or on the search path; when it is missing, the command says which file it looked for.
    void editorProgramOnlyBesideCommands()
    {
        const QString alone = m_store->path() + QStringLiteral("/alone");
        const QString planted = m_store->path() + QStringLiteral("/planted");
        QVERIFY(QDir().mkpath(alone) && QDir().mkpath(planted));
        const QString commands = alone + QLatin1Char('/') + QFileInfo(QStringLiteral(WZ_COMMANDS_FILE)).fileName();
        QVERIFY(QFile::copy(QStringLiteral(WZ_COMMANDS_FILE), commands));
        const QString plant = writeBytes(planted + QStringLiteral("/" WZ_EDITOR_FILE_NAME), "#!/bin/sh\nexit 42\n");
        QVERIFY(QFile::setPermissions(plant, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), QDir::toNativeSeparators(planted) + QDir::listSeparator()
                                                       + environment.value(QStringLiteral("PATH")));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(planted);
        process.start(commands, {QStringLiteral("in.dat")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 127);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()).remove(QLatin1Char('\r')),
                 QStringLiteral("wzqxprog: %1 を起動できません。ファイルまたはフォルダーが見つかりません。\n")
                     .arg(QDir::toNativeSeparators(alone + QStringLiteral("/" WZ_EDITOR_FILE_NAME))));
    }

private:
    // Every name under `dir`, hidden ones too.
    static QStringList entries(const QString& dir)
    {
        QStringList names;
        QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            names << it.next();
        names.sort();
        return names;
    }

    std::unique_ptr<ScratchStore> m_store;
};

QTEST_GUILESS_MAIN(TestFileRules)
#include "test_file_rules.moc"
