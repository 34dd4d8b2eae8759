#include "TestSupport.h"
#include "progfile/ProgramFileWriter.h"
#include "store/StoreRoutines.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

class TestPdfCommand : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ScratchStore store;
        setOneCircuitOfEachType();
        addWeekRow(1, 0, 1, 1, 8, 30, 0);
        addWeekRow(1, 4, 0, 0, 12, 0, 0);
        addYearRow(1, 27, 3, 1, 4);
        addEveryYearRow(1, 5, 3, 0);
        addYearRow(2, 27, 3, 1, 0);  // circuit 2: year entries only
        addWeekRow(4, 0, 2, 2, 9, 0, 0, 10, 0, 5);
        for (const char* table : {"T_Week", "T_Year", "T_YearE"})
            RenumberTable(QLatin1String(table));
        m_file = writeBytes(m_dir.filePath(QStringLiteral("WZ48PROG.dat")), ProgramFileWriter::buildProgramFile());
    }

    void statuses_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");  // in the PDF when written
        const QString out = m_dir.filePath(QStringLiteral("out.pdf"));
        const auto add = [&](const char* name, const QString& in, const char* options, int status, const char* text) {
            QTest::newRow(name) << in << out << QString::fromLatin1(options).split(QLatin1Char(' ')) << status
                                << QString::fromUtf8(text);
        };
        add("week", m_file, "--circuit 1 --listing week", 0, "8:30");
        add("special", m_file, "--listing special --circuit 1", 0, "12:00");
        add("year 27", m_file, "--circuit 1 --listing year --year 27", 0, "2027年");
        add("every year", m_file, "--circuit 1 --listing year --year every", 0, "停止");
        add("00 is 2000, not every year", m_file, "--circuit 1 --listing year --year 00", 4, "");
        add("week of a year-only circuit", m_file, "--circuit 2 --listing week", 0, "チャイムプログラム");
        add("no special programs", m_file, "--circuit 2 --listing special", 4, "");
        add("no programs at all", m_file, "--circuit 3 --listing week", 4, "");
        add("repeat circuit's year", m_file, "--circuit 4 --listing year --year 27", 64, "");
        add("year without --year", m_file, "--circuit 1 --listing year", 64, "");
        add("--year with a week listing", m_file, "--circuit 1 --listing week --year 27", 64, "");
        add("unknown listing", m_file, "--circuit 1 --listing month", 64, "");
        add("circuit 9", m_file, "--circuit 9 --listing week", 64, "");
        const QByteArray weekLine = "122  1   103120000            \r\n";
        add("invalid file", writeBytes(m_dir.filePath("bad.dat"), "not a program file\r\n*00\r\n"),
            "--circuit 1 --listing week", 1, "");
        add("over capacity", writeBytes(m_dir.filePath("over.dat"), weekLine.repeated(WeekCapacity + 1)),
            "--circuit 1 --listing week", 2, "");
        add("missing file", m_dir.filePath("missing.dat"), "--circuit 1 --listing week", 3, "");
        QTest::newRow("unwritable out") << m_file << m_dir.filePath("no/such/out.pdf")
                                        << QStringList{"--circuit", "1", "--listing", "week"} << 3 << QString();
    }

    // No display and no platform usable: the command picks its own.
    void statuses()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, text);
        QFile::remove(out);
        const ProcessRun result =
            runProcess(editorBinary(), QStringList{"pdf", in, out} + options, m_dir.filePath("home"));
        QCOMPARE(result.status, status);
        QCOMPARE(QFile::exists(out), status == 0);
        if (status != 0) {
            QCOMPARE(result.err.count(QLatin1Char('\n')), 1);
            return;
        }
        QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
        const QStringList pdftotext{QStringLiteral("-layout"), out, QStringLiteral("-")};
        const QString read = runProcess(QStringLiteral("pdftotext"), pdftotext)
                                 .out.join(QLatin1Char('\n'))
                                 .normalized(QString::NormalizationForm_KC);
        QVERIFY2(read.contains(text), qPrintable(read));
    }

private:
    QTemporaryDir m_dir;
    QString m_file;
};

QTEST_GUILESS_MAIN(TestPdfCommand)
#include "test_pdf_command.moc"
