#include "store/ScheduleDocument.h"
#include "TestSupport.h"
#include "progfile/ProgramFileWriter.h"
#include "store/StoreRoutines.h"

#include <QFile>
#include <QTest>

#include <unistd.h>

using namespace TestSupport;

class TestPdfCommand : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        setOneCircuitOfEachType();
        // Circuit 2 holds year entries only.
        addRows({{1, 0, 1, 1, 8, 30, 0}, {1, 4, 0, 0, 12, 0, 0}, {1, 27, 3, 1, 4}, {1, 5, 3, 0}, {2, 27, 3, 1, 0},
                 {4, 0, 2, 2, 9, 0, 0, 10, 0, 5}});
        m_file = writeBytes(file(QStringLiteral("WZ48PROG.dat")), ProgramFileWriter::buildProgramFile(Scratch::document()));
        QCOMPARE(::link(QFile::encodeName(m_file).constData(), QFile::encodeName(file("alias.dat")).constData()), 0);
        QCOMPARE(::symlink("WZ48PROG.dat", QFile::encodeName(file("link.dat")).constData()), 0);
    }

    void statuses_data()
    {
        QTest::addColumn<QStringList>("args");  // the input and output files first
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("texts");  // in the PDF's text when written, as drawn; else in the reason
        const auto add = [&](const char* name, const QString& in, const char* options, int status, const char* text,
                             const QString& out = QStringLiteral("out.pdf")) {
            QTest::newRow(name) << QStringList{in, file(out)} + QString::fromUtf8(options).split(' ')
                                << status << QString::fromUtf8(text);
        };
        add("week", m_file, "--circuit 1 --listing week", 0, "8:30 日曜日 印刷日");
        add("special", m_file, "--listing special --circuit 1", 0, "12:00");
        add("year 27", m_file, "--circuit 1 --listing year --year 27", 0, "2027年");
        add("every year", m_file, "--circuit 1 --listing year --year every", 0, "停止");
        add("00 is 2000, not every year", m_file, "--circuit 1 --listing year --year 00", 4, "");
        add("repeat week", m_file, "--circuit 4 --listing week", 0, "9:00～ 5分間隔");
        add("week of a year-only circuit", m_file, "--circuit 2 --listing week", 0, "チャイムプログラム");
        add("no special programs", m_file, "--circuit 2 --listing special", 4, "");
        add("no programs at all", m_file, "--circuit 3 --listing week", 4, "");
        add("repeat circuit's year", m_file, "--circuit 4 --listing year --year 27", 64, "");
        add("year without --year", m_file, "--circuit 1 --listing year", 64, "");
        add("--year with a week listing", m_file, "--circuit 1 --listing week --year 27", 64, "");
        add("unknown listing", m_file, "--circuit 1 --listing month", 64, "");
        // The calendar: special 4 of 2027-03-01 named, the file named in the foot.
        add("calendar", m_file, "--circuit 1 --listing calendar --school-year 2026 --names 4=一二三四五六七八九十一二三四五六", 0,
            "2026年度（令和8年度） 一二三四五六七八九十一二三四五六 WZ48PROG.dat");
        add("calendar, last 年度", m_file, "--circuit 1 --listing calendar --school-year 2098 --paper A3", 0, "2098年度");
        add("calendar, 年度 after the holidays known", m_file, "--circuit 1 --listing calendar --school-year 2099", 64, "2098");
        add("calendar without --school-year", m_file, "--circuit 1 --listing calendar", 64, "--school-year");
        add("calendar of a circuit without programs", m_file, "--circuit 2 --listing calendar --school-year 2026", 4, "回路 2");
        add("calendar with --year", m_file, "--circuit 1 --listing calendar --school-year 2026 --year 27", 64, "--year");
        add("--school-year with a week listing", m_file, "--circuit 1 --listing week --school-year 2026", 64, "--school-year");
        add("--paper with a year listing", m_file, "--circuit 1 --listing year --year 27 --paper A3", 64, "--paper");
        add("--paper B5", m_file, "--circuit 1 --listing calendar --school-year 2026 --paper B5", 64, "--paper");
        for (const char* names : {"0=短縮", "100=短縮", "短縮", "4=", "4=短縮,4=行事", "4=一二三四五六七八九十一二三四五六七"})
            QTest::addRow("--names %s", names) << QStringList{m_file, file("out.pdf"), "--circuit", "1", "--listing", "calendar",
                                                             "--school-year", "2026", "--names", QString::fromUtf8(names)}
                                               << 64 << QStringLiteral("--names");
        for (const QStringList& wrong :
             QList<QStringList>{{"9"}, {"+2"}, {"02"}, {" 2"}, {"1", "--circuit", "2"}, {"1", "-platform", "xcb"}})
            QTest::addRow("--circuit '%s'", qPrintable(wrong.join(' ')))
                << QStringList{m_file, file("out.pdf"), "--listing", "week", "--circuit"} + wrong << 64 << QString();
        const QByteArray weekLine = "122  1   103120000            \r\n";
        add("invalid file", writeBytes(file("bad.dat"), "not a program file\r\n*00\r\n"),
            "--circuit 1 --listing week", 1, "");
        add("over capacity", writeBytes(file("over.dat"), weekLine.repeated(WeekCapacity + 1)),
            "--circuit 1 --listing week", 2, "");
        const QString huge = writeBytes(file("huge.dat"), "x");
        QFile::resize(huge, qint64(1) << 30);  // sparse: no disk used
        add("larger than any program file", huge, "--circuit 1 --listing week", 2, "設定可能プログラム数を超えたため、 ファイルが大きすぎます（上限");
        add("missing file", file("missing.dat"), "--circuit 1 --listing week", 3, "");
        add("out is the input by another name", m_file, "--circuit 1 --listing week", 64, "", "alias.dat");
        add("out is a link to the input", m_file, "--circuit 1 --listing week", 64, "", "link.dat");
    }

    // No display and no platform usable: the command picks its own.
    void statuses()
    {
        QFETCH(QStringList, args); QFETCH(int, status); QFETCH(QString, texts);
        const QString out = args[1];
        QFile::remove(file("out.pdf"));
        const ProcessRun result = runEditor(QStringList{"pdf"} + args, file("home"));
        QCOMPARE(result.status, status);
        QCOMPARE(QFile::exists(file("out.pdf")), status == 0);
        // A line saying why, or nothing.
        QVERIFY2(result.err.count(QLatin1Char('\n')) == int(status != 0), qPrintable(result.err));
        if (status != 0) {
            for (const QString& text : texts.split(' ', Qt::SkipEmptyParts))
                QVERIFY2(result.err.contains(text), qPrintable(result.err));
            return;
        }
        const QString read = runProcess("pdftotext", {"-layout", out, "-"}).out.join('\n');
        for (const QString& text : texts.split(' '))
            QVERIFY2(read.contains(text), qPrintable(text + " in\n" + read));
    }

private:
    QString file(const QString& name) const { return m_store.path() + QLatin1Char('/') + name; }

    ScratchStore m_store;
    QString m_file;
};

QTEST_GUILESS_MAIN(TestPdfCommand)
#include "test_pdf_command.moc"
