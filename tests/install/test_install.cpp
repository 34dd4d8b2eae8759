// The editor as a user gets it: `cmake --install` into a temporary prefix and
// the Debian package unpacked with dpkg-deb. Each tree's binary runs from a
// foreign working folder and hands `pdf` to the editor program, which finds
// its tunes; the desktop files pass the desktop's own checks, the manual
// page man's, the package Debian's.
#include "TestSupport.h"
#include "snd/player/PlayChime.h"

#include <QDir>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QtTest>
#include <tuple>

using namespace TestSupport;

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;

    // bin/wzqxprog checks a program file from elsewhere and draws a listing
    // through the editor program, the tunes are where that looks, and the
    // desktop files and the manual page pass their checks.
    void checkTree(const QString& prefix)
    {
        const QString program =
            writeBytes(m_work.filePath("WZ48PROG.dat"), withTrailer({"122  1   103120000            "}));
        const ProcessRun check = runProcess(prefix + "/bin/wzqxprog", {"check", program}, QString(), m_work.path());
        QVERIFY2(check.status == 0, qPrintable(check.out.join('\n') + check.err));
        QVERIFY(check.out.value(1).startsWith(QStringLiteral("週間・特殊: 1 ")));
        // bin/wzqxprog loads no Qt, the commands program nothing that draws; `pdf` reaches the editor program
        // from either.
        const QString programs = prefix + "/libexec/wzqxprog/";
        for (const auto& [binary, library] : {std::pair{prefix + "/bin/wzqxprog", "libQt6Core"},
                                              std::pair{programs + "wzqxprog-commands", "libQt6Gui"}}) {
            const ProcessRun libraries = runProcess("ldd", {binary});
            QVERIFY2(libraries.status == 0 && !libraries.out.join('\n').contains(library),
                     qPrintable(libraries.out.join('\n')));
            const QString pdf = m_work.filePath("week.pdf");
            QFile::remove(pdf);
            const ProcessRun drawn = runProcess(binary, {"pdf", program, pdf, "--circuit", "2", "--listing", "week"},
                                                QString(), m_work.path());
            QVERIFY2(drawn.status == 0 && readBytes(pdf).startsWith("%PDF-"), qPrintable(drawn.err));
        }

        const QString tunes = prefix + "/share/wzqxprog/snd";
        QCOMPARE(TuneFolder(programs), tunes);
        for (int tune = 1; tune <= 7; ++tune)
            QVERIFY(QFileInfo(QStringLiteral("%1/%2.mp3").arg(tunes).arg(tune, 2, 10, QLatin1Char('0'))).isFile());

        // Each check passes without a remark (appstreamcli only says so).
        const QString share = prefix + "/share/";
        for (const QStringList& check : QList<QStringList>{
                 {"desktop-file-validate", share + "applications/wzqxprog.desktop"},
                 {"xmllint", "--noout", share + "mime/packages/wzqxprog.xml",
                  share + "icons/hicolor/scalable/apps/wzqxprog.svg"},
                 {"env", "XDG_DATA_DIRS=" + prefix + "/share", "update-mime-database", share + "mime"},
                 {"appstreamcli", "validate", "--pedantic", "--no-net",
                  share + "metainfo/io.github.wzqxprog.wzqxprog.metainfo.xml"}}) {
            const ProcessRun run = runProcess(check.first(), check.mid(1));
            const QString said = run.out.join('\n') + run.err;
            QVERIFY2(run.status == 0 && QString(said).remove("✔ Validation was successful.").isEmpty(),
                     qPrintable(check.join(' ') + '\n' + said));
        }
        // The manual page lists the usage text's commands (lintian checks that it renders without a warning).
        const ProcessRun man = runProcess("man", {"-l", share + "man/man1/wzqxprog.1.gz"});
        const auto words = [](QStringList lines, int indent) {  // the command word that begins each entry
            lines = lines.filter(QRegularExpression(QStringLiteral("^ {%1}-{0,2}[a-z]").arg(indent)));
            for (QString& line : lines)
                line = line.section(QRegularExpression("[ ,]+"), 1, 1);
            return lines;
        };
        const qsizetype commands = man.out.indexOf("COMMANDS");
        const qsizetype nextSection = man.out.indexOf(QRegularExpression("[A-Z].*"), commands + 1);
        QCOMPARE(words(man.out.mid(commands, nextSection - commands), 7),
                 words(runProcess(prefix + "/bin/wzqxprog", {"--help"}).out, 2));
    }

private slots:
    // The desktop database of the temporary prefix comes first, as an
    // installed one would; the tools and QMimeDatabase read these.
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", m_work.filePath("home").toUtf8());
        qputenv("XDG_DATA_DIRS", m_work.filePath("prefix/share").toUtf8() + ":/usr/share");
    }

    void installedTreeRunsAndPassesTheDesktopChecks()
    {
        const QString prefix = m_work.filePath("prefix");
        const ProcessRun install =
            runProcess(WZ_CMAKE, {"--install", qEnvironmentVariable("WZ_BUILD_DIR"), "--prefix", prefix});
        QVERIFY2(install.status == 0, qPrintable(install.err));
        checkTree(prefix);
        QCOMPARE(runProcess(prefix + "/bin/wzqxprog", {"--version"}).out, QStringList{"wzqxprog " WZ_VERSION});

        // A program file is known by name, else by a first line of 30 digits
        // or spaces and CR LF; other .dat files are not claimed. Read through
        // the installed database as a file manager would.
        QMimeDatabase mimes;
        for (const auto& [name, content, ours] : std::initializer_list<std::tuple<const char*, QByteArray, bool>>{
                 {"WZ48PROG.dat", QByteArray(), true},
                 {"schedule.dat", withTrailer({"122  1   103120000            "}), true},
                 {"every-year", withTrailer({"311 5    05               0101"}), true},
                 {"measure.dat", "1.5 2.5 3.5 4.5 5.5 6.5 7.5 8.\r\n", false},
                 {"notes.dat", "122  1   103120000            \n", false},
                 {"letters.dat", QByteArray(30, 'A') + "\r\n", false},
                 {"blank.dat", QByteArray(30, ' ') + "\r\n", false}}) {
            const QString type = mimes.mimeTypeForFile(writeBytes(m_work.filePath(name), content)).name();
            QVERIFY2((type == "application/x-wzqx-program") == ours, qPrintable(name + (" " + type)));
        }
        QVERIFY(mimes.mimeTypeForName("application/x-wzqx-program").inherits("text/plain"));
    }

    // The package: its dependencies (the libraries the binary links plus
    // what it loads at run time), its tree, unpacked and run, and lintian's verdict.
    void debianPackageDependsAndRuns()
    {
        const QString out = m_work.filePath("package");
        const ProcessRun cpack =
            runProcess(WZ_CPACK, {"-G", "DEB", "-B", out}, QString(), qEnvironmentVariable("WZ_BUILD_DIR"));
        QVERIFY2(cpack.status == 0, qPrintable(cpack.err));
        const QStringList debs = QDir(out).entryList({"wzqxprog_" WZ_VERSION "-1_*.deb"}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        const QString deb = out + "/" + debs.first();

        const ProcessRun fields = runProcess("dpkg-deb", {"-f", deb, "Package", "Version", "Depends", "Description"});
        QCOMPARE(fields.out.mid(0, 2), (QStringList{"Package: wzqxprog", "Version: " WZ_VERSION "-1"}));
        QCOMPARE(fields.out.value(3), "Description: WZ/QX series program time switch schedule editor");
        const QString depends = fields.out.value(2);
        for (const char* needed : {"libqt6sql6-sqlite", "qt6-translations-l10n", "fonts-noto-cjk",
                                   "gstreamer1.0-plugins-base", "gstreamer1.0-plugins-good", "libqt6widgets6",
                                   "libqt6multimedia6", "libc6"})
            QVERIFY2(depends.contains(needed), qPrintable(QString(needed) + " missing in " + depends));

        const QString root = m_work.filePath("unpacked");
        const ProcessRun unpack = runProcess("dpkg-deb", {"-x", deb, root});
        QVERIFY2(unpack.status == 0, qPrintable(unpack.err));
        checkTree(root + "/usr");
        const ProcessRun lintian = runProcess("lintian", {deb});
        QVERIFY2(lintian.status == 0 && lintian.out.isEmpty(), qPrintable(lintian.out.join('\n') + lintian.err));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
