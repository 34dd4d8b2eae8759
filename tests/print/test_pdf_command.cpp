#include "TestSupport.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ProgramStore.h"
#include "store/StoreRoutines.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

struct Run {
    int status = -1;
    QString err;
};

}  // namespace

class TestPdfCommand : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_binary = qEnvironmentVariable("WZ_BUILD_DIR") + QStringLiteral("/wzqxprog");
        QVERIFY2(QFile::exists(m_binary), qPrintable(m_binary));
        ScratchStore store;
        setOneCircuitOfEachType();
        addWeekRow(1, 0, 1, 1, 8, 30, 0);
        addWeekRow(1, 4, 0, 0, 12, 0, 0);
        addYearRow(1, 27, 3, 1, 4);
        addEveryYearRow(1, 5, 3, 0);
        addYearRow(2, 27, 3, 1, 0);  // circuit 2: year entries only
        addWeekRow(4, 0, 2, 2, 9, 0, 0, 10, 0, 5);
        m_file = m_dir.filePath(QStringLiteral("WZ48PROG.dat"));
        for (const char* table : {"T_Week", "T_Year", "T_YearE"})
            RenumberTable(QLatin1String(table));
        ProgramFileWriter::writeFileAtomically(m_file, ProgramFileWriter::buildProgramFile());
        setCircuit(8, 1, 5);
        {
            Transaction transaction;
            fillWeekTo(WeekCapacity + 1);
            RenumberTable(QStringLiteral("T_Week"));
            transaction.commit();
        }
        m_overCapacity = m_dir.filePath(QStringLiteral("over.dat"));
        ProgramFileWriter::writeFileAtomically(m_overCapacity, ProgramFileWriter::buildProgramFile());
        m_invalid = writeBytes(m_dir.filePath(QStringLiteral("bad.dat")), "not a program file\r\n*00\r\n");
    }

    void statuses_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");  // in the PDF when written
        const auto add = [](const char* name, const char* file, const char* options, int status, const char* text) {
            QTest::newRow(name) << file << QString::fromLatin1(options).split(QLatin1Char(' ')) << status
                                << QString::fromUtf8(text);
        };
        add("week", "good", "--circuit 1 --listing week", 0, "8:30");
        add("special", "good", "--listing special --circuit 1", 0, "12:00");
        add("year 27", "good", "--circuit 1 --listing year --year 27", 0, "2027年");
        add("every year", "good", "--circuit 1 --listing year --year every", 0, "停止");
        add("00 is 2000, not every year", "good", "--circuit 1 --listing year --year 00", 4, "");
        add("week of a year-only circuit", "good", "--circuit 2 --listing week", 0, "チャイムプログラム");
        add("no special programs", "good", "--circuit 2 --listing special", 4, "");
        add("no programs at all", "good", "--circuit 3 --listing week", 4, "");
        add("repeat circuit's year", "good", "--circuit 4 --listing year --year 27", 64, "");
        add("year without --year", "good", "--circuit 1 --listing year", 64, "");
        add("--year with a week listing", "good", "--circuit 1 --listing week --year 27", 64, "");
        add("unknown listing", "good", "--circuit 1 --listing month", 64, "");
        add("circuit 9", "good", "--circuit 9 --listing week", 64, "");
        add("invalid file", "bad", "--circuit 1 --listing week", 1, "");
        add("over capacity", "over", "--circuit 1 --listing week", 2, "");
        add("missing file", "missing", "--circuit 1 --listing week", 3, "");
    }

    // No display and no platform chosen: the command picks its own.
    void statuses()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, text);
        const QString in = file == QLatin1String("good") ? m_file
                           : file == QLatin1String("bad") ? m_invalid
                           : file == QLatin1String("over") ? m_overCapacity
                                                            : m_dir.filePath(QStringLiteral("missing.dat"));
        const QString out = m_dir.filePath(QStringLiteral("out.pdf"));
        QFile::remove(out);
        const Run result = run(QStringList{QStringLiteral("pdf"), in, out} + options);
        QCOMPARE(result.status, status);
        QCOMPARE(QFile::exists(out), status == 0);
        if (status != 0) {
            QCOMPARE(result.err.count(QLatin1Char('\n')), 1);
            return;
        }
        QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), out, QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString read = QString::fromUtf8(pdftotext.readAllStandardOutput())
                                 .normalized(QString::NormalizationForm_KC);
        QVERIFY2(read.contains(text), qPrintable(read));
    }

    void unwritableOut()
    {
        const QStringList args{"pdf", m_file, m_dir.filePath("no/such/out.pdf"), "--circuit", "1", "--listing", "week"};
        const Run result = run(args);
        QCOMPARE(result.status, 3);
        QVERIFY(!result.err.isEmpty());
    }

private:
    Run run(const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(m_binary, args);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    }

    QString m_binary;
    QTemporaryDir m_dir;
    QString m_file;
    QString m_overCapacity;
    QString m_invalid;
};

QTEST_GUILESS_MAIN(TestPdfCommand)
#include "test_pdf_command.moc"
