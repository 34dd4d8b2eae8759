#include "app/cli/CommandLine.h"
#include "progfile/Checksum.h"
#include "progfile/ProgramFileReader.h"
#include "year/YearEntries.h"
#include "progfile/ProgramFileWriter.h"
#include "settings/SpecialNames.h"
#include "store/SettingTable.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <tuple>

#include <pwd.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace TestSupport;
using ProgramFileReader::importContent;
using ProgramFileReader::ReadProgramFile;
using ProgramFileReader::ReadStatus;
using ProgramFileWriter::buildProgramFile;

namespace {

// Circuit 2, chime, 10 s, Sunday 12:00:00, tune 3: the worked example.
const QByteArray kWeekLine = "122  1   103120000" + QByteArray(12, ' ');
const QByteArray kDatedStop = "311 0    03" + QByteArray(13, ' ') + "140503";
const QByteArray kEveryYearStop = "311 0    03" + QByteArray(13, ' ') + "  0229";  // a day of leap years only
constexpr uid_t kOtherUser = 4321;

QByteArray patched(QByteArray line, int position, const QByteArray& text)
{
    return line.replace(position - 1, text.size(), text);
}

// CircuitSettings of circuits 1..8 as "Program/PulseTime/Chime ".
QString circuitSettingsText()
{
    QString text;
    for (int circuit = 1; circuit <= 8; ++circuit) {
        const CircuitSetting& setting = Scratch::document().circuits()[circuit];
        text += QStringLiteral("%1/%2/%3 ").arg(setting.Program).arg(setting.PulseTime).arg(setting.Chime);
    }
    return text;
}

// Every kind of line, entered out of sort order, with two pairs of equal rows.
void fillMixedStore()
{
    setCircuit(1, 1, 3);
    setCircuit(2, 2, 10, 4);
    setCircuit(3, 3, 0);
    setCircuit(4, 4, 5);
    addRows({{4, 0, 2, 2, 9, 0, 0, 10, 30, 15}, {2, 0, 1, 0, 12, 0, 0, 0, 0, 0, 3}, {3, 7, 0, 0, 8, 30, 0, 17, 5},
             {1, 0, 6, 0, 23, 59, 59}, {4, 12, 0, 0, 6, 0, 0, 7, 0, 30}, {4, 0, 2, 2, 9, 0, 0, 10, 30, 15},
             {1, 14, 5, 3, 0}, {3, 99, 12, 31, 7}, {2, 1, 1, 99}, {1, 5, 3, 0}, {1, 5, 3, 0}});
    for (const char* table : {"T_Week", "T_Year", "T_YearE"})
        RenumberTable(Scratch::document(), QLatin1String(table));
}

}  // namespace

class TestProgramFile : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        Scratch::document().resetCircuits();
    }

    void cleanup() { m_store.reset(); }

    void writer_data()
    {
        QTest::addColumn<int>("program"); QTest::addColumn<int>("pulse");
        QTest::addColumn<QVariantList>("row");  // T_Week, T_Year or T_YearE by its size, after the ID
        QTest::addColumn<QByteArray>("file");  // empty: refused
        const QByteArray blank6(6, ' ');
        const QVariantList week{1, 0, 1, 1, 8, 0, 0, 9, 0, 0, 0};
        const auto row = [](const char* name, int program, int pulse, const QVariantList& values, const QByteArray& file) {
            QTest::newRow(name) << program << pulse << values << file;
        };
        row("empty store", 0, 0, {}, "*00\r\n");
        row("worked example", 2, 10, {2, 0, 1, 0, 12, 0, 0, 0, 0, 0, 3}, kWeekLine + "\r\n*16\r\n");
        // week: circuit, special, yobiOn, yobiOff, onH, onM, onS, offH, offM, repeat, chime
        row("time signal", 1, 3, {1, 0, 0, 0, 7, 5, 9, 0, 0, 0, 0}, withTrailer({"111  0   03  70509      " + blank6}));
        row("timer at 0 s", 3, 0, {1, 0, 1, 5, 8, 30, 0, 17, 5, 0, 0}, withTrailer({"131  15  00  83000170500" + blank6}));
        row("repeat special", 4, 5, {1, 7, 3, 4, 6, 0, 0, 7, 0, 5, 2}, withTrailer({"241 7  05052 60000 70000" + blank6}));
        row("dated", 2, 10, {1, 4, 2, 29, 7}, withTrailer({"321 7    10" + QByteArray(13, ' ') + "040229"}));
        row("every year", 1, 3, {1, 2, 29, 0}, withTrailer({kEveryYearStop}));
        row("hour 123", 1, 3, {1, 0, 1, 0, 123, 0, 0, 0, 0, 0, 0}, {});
        row("time signal at 0 s, week program", 1, 0, week, {});
        row("unconfigured circuit, week program", 0, 0, week, {});
    }

    // Exact bytes, which the reader must take back unchanged. What the reader
    // would refuse is not written at all: the old file stays.
    void writer()
    {
        QFETCH(int, program); QFETCH(int, pulse); QFETCH(QVariantList, row); QFETCH(QByteArray, file);
        setCircuit(8, 1, 5);  // configured, but without programs: no line
        if (!row.isEmpty()) {
            setCircuit(row[0].toInt(), program, pulse);
            const char* table = row.size() == 11 ? "T_Week" : row.size() == 5 ? "T_Year" : "T_YearE";
            const QString marks = QStringLiteral(",?").repeated(row.size());
            Scratch::exec(QStringLiteral("INSERT INTO %1 VALUES (1%2)").arg(QLatin1String(table), marks), row);
        }
        if (file.isEmpty()) {
            const QString path = write(QStringLiteral("WZ48PROG.dat"), "old");
            QVERIFY_THROWS_EXCEPTION(std::exception, ProgramFileWriter::SaveProgramFile(Scratch::document(), path));
            QCOMPARE(readBytes(path), QByteArray("old"));
            return;
        }
        QCOMPARE(buildProgramFile(Scratch::document()), file);
        QCOMPARE(importContent(Scratch::document(), file).status, ReadStatus::Accepted);
        QCOMPARE(buildProgramFile(Scratch::document()), file);
    }

    // Read back in reverse order, the store's own file gives the IDs RenumberTable gives. An import that fails
    // part-way leaves the store and CircuitSettings as they were: it is one transaction.
    void roundTripIsByteIdenticalAndFailedImportChangesNothing()
    {
        fillMixedStore();
        const QString before = storeSnapshot() + circuitSettingsText();  // all a read may change
        Scratch::exec(QStringLiteral(
            "CREATE TEMP TRIGGER refuse_year BEFORE INSERT ON T_Year BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        QVERIFY_THROWS_EXCEPTION(StoreError, importContent(Scratch::document(), withTrailer({kWeekLine, kWeekLine, kDatedStop})));
        Scratch::exec(QStringLiteral("DROP TRIGGER refuse_year"));
        QCOMPARE(storeSnapshot() + circuitSettingsText(), before);

        // The Chime settings are not in the file; circuit 2's tune 4 comes back as 1.
        const QString expected = storeSnapshot().replace(QStringLiteral("2,2,10,4"), QStringLiteral("2,2,10,1"));
        const QByteArray first = buildProgramFile(Scratch::document());
        QList<QByteArray> lines = first.split('\n');
        lines.resize(lines.size() - 2);  // "" and the trailer
        std::reverse(lines.begin(), lines.end());
        QCOMPARE(importContent(Scratch::document(), lines.join('\n') + '\n').status, ReadStatus::Accepted);
        QCOMPARE(storeSnapshot(), expected);
        QCOMPARE(buildProgramFile(Scratch::document()), first);
    }

    void reader_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("refusedLine");  // -1: accepted; 0: over capacity
        QTest::addColumn<int>("weekRows");
        QTest::addColumn<QString>("settings");  // circuits 1..8; empty: not checked
        const auto accepted = [](const char* name, const QByteArray& content, int weekRows, const char* settings = "") {
            QTest::newRow(name) << content << -1 << weekRows << QString::fromLatin1(settings);
        };
        const auto refused = [](const char* name, const QByteArray& content, int refusedLine) {
            QTest::newRow(name) << content << refusedLine << 0 << QString();
        };
        const QByteArray chimeYear00 = patched(patched(kDatedStop, 2, "22"), 10, "00");
        const QByteArray blankPulse = patched(kDatedStop, 10, "  ");
        accepted("empty file", QByteArray(), 0, "0/0/1 0/0/1 0/0/1 0/0/1 0/0/1 0/0/1 0/0/1 0/0/1 ");
        accepted("trailer only", "*00\r\n", 0);
        accepted("no trailer", kWeekLine + "\r\n", 1);
        accepted("no last CR LF", kWeekLine + "\r\n" + patched(kWeekLine, 13, "1008") + "\r\n*0A", 2);
        refused("lower-case sum", kWeekLine + "\r\n" + patched(kWeekLine, 13, "1008") + "\r\n*0a", 3);
        accepted("sum runs on after a trailer", kWeekLine + "\r\n*16\r\n" + kWeekLine + "\r\n*00\r\n", 2);
        accepted("timer with pulse 00", withTrailer({patched(patched(kWeekLine, 2, "3"), 10, "00")}), 1);
        accepted("year dates only, pulse 00", withTrailer({patched(kDatedStop, 10, "00")}), 0);
        accepted("year line 00 before the week line", withTrailer({chimeYear00, kWeekLine}), 1);
        accepted("positions 25-30 of a week line", withTrailer({patched(kWeekLine, 25, "xyz")}), 1);
        // A circuit's last non-blank pulse decides its pulse; circuits not in the file are reset.
        accepted("last pulse decides",
                 withTrailer({kDatedStop, blankPulse, kWeekLine, patched(kWeekLine, 10, "07"),
                              patched(blankPulse, 3, "5")}),
                 2, "1/3/1 2/7/1 0/0/1 0/0/1 1/0/1 0/0/1 0/0/1 0/0/1 ");
        // Fields the writer leaves blank for the type (a special line's days, a
        // chime's interval) are stored as 0, or a second normalizing reorders.
        const QByteArray special = patched(patched(kWeekLine, 1, "2"), 4, " 7");
        accepted("special lines with day fields",
                 withTrailer({patched(patched(special, 6, "3"), 13, " 8"),
                              patched(patched(special, 6, "1"), 13, " 9")}),
                 2);
        accepted("chime lines with a repeat field",
                 withTrailer({patched(patched(kWeekLine, 8, "05"), 12, "1"), patched(kWeekLine, 12, "2")}), 2);
        // The largest file: 900 week lines, 500 dated, every circuit and day every year.
        QList<QByteArray> full(900, kWeekLine);
        full.append(QList<QByteArray>(500, kDatedStop));
        full.append(QList<QByteArray>(8 * 366, kEveryYearStop));
        accepted("full", withTrailer(full), 900);

        // A valid line first: the refusal must not import half a file.
        const auto bad = [](const QByteArray& line) { return withTrailer({kWeekLine, line}); };
        refused("29 bytes", bad(kWeekLine.left(29)), 2);
        refused("30 characters, 32 bytes", bad(kWeekLine.left(28) + "\xE3\x81\x82" + ' '), 2);
        // Every other field unreadable or beyond what the editor can hold, or a type
        // change within a circuit; a last pulse 00 would leave a chime program at 0 s.
        for (const auto& [name, line, position, text] :
             std::initializer_list<std::tuple<const char*, QByteArray, int, const char*>>{
                 {"time signal, pulse 00", patched(kWeekLine, 2, "1"), 10, "00"}, {"record type 4", kWeekLine, 1, "4"},
                 {"special 0 on a special line", patched(kWeekLine, 1, "2"), 4, " 0"}, {"circuit 9", kWeekLine, 3, "9"},
                 {"year line zeroes a chime's pulse", chimeYear00, 10, "00"},
                 {"type 1 after type 2", kWeekLine, 2, "1"}, {"type 3 year line after type 2", kDatedStop, 2, "32"},
                 {"week line, pulse blank", kWeekLine, 10, "  "}, {"pulse 60", kWeekLine, 10, "60"},
                 {"hour letter", kWeekLine, 13, "1a"}, {"minute sign", kWeekLine, 15, "-1"},
                 {"hour 24", kWeekLine, 13, "24"}, {"tune 8", kWeekLine, 12, "8"}, {"tune 9", kWeekLine, 12, "9"},
                 {"start day 7", kWeekLine, 6, "7"}, {"end day 7", kWeekLine, 7, "7"},
                 {"interval 60", kWeekLine, 8, "60"}, {"repeat interval 00", patched(kWeekLine, 2, "44"), 8, "00"},
                 {"second 60", kWeekLine, 17, "60"}, {"end hour 24", kWeekLine, 19, "24"},
                 {"end minute 60", kWeekLine, 21, "60"}, {"2024-02-30", kDatedStop, 25, "240230"},
                 {"2023-02-29", kDatedStop, 25, "230229"}, {"every-year 02-30", kEveryYearStop, 29, "30"},
                 {"every-year 04-31", kEveryYearStop, 27, "0431"}})
            refused(name, bad(patched(line, position, text)), 2);
        refused("blank pulse after 00", withTrailer({kWeekLine, chimeYear00, patched(chimeYear00, 10, "  ")}), 2);
        refused("wrong checksum", kWeekLine + "\r\n*17\r\n", 2);
        refused("blank line after the trailer", kWeekLine + "\r\n*16\r\n\r\n", 3);
        refused("LF line ends", kWeekLine + "\n*16\n", 1);
        refused("501 dated lines", (kDatedStop + "\r\n").repeated(501), 0);
        refused("2929 every-year lines", (kEveryYearStop + "\r\n").repeated(8 * 366 + 1), 0);
        // Reading stops at the first line past a capacity.
        refused("capacity stops reading", (kWeekLine + "\r\n").repeated(901) + patched(kWeekLine, 13, "99"), 0);
        refused("larger than the largest file", QByteArray(ProgramFileFormat::MaxFileSize + 1, ' '), 0);
    }

    // Parsed, a file changes nothing; imported, an accepted file replaces the store and every circuit's settings,
    // and is written and read back from disk (the largest too); a refused one changes nothing.
    void reader()
    {
        QFETCH(QByteArray, content); QFETCH(int, refusedLine); QFETCH(int, weekRows); QFETCH(QString, settings);
        fillMixedStore();
        Scratch::document().resetCircuits();  // apart from the store until reloaded
        const QString before = storeSnapshot() + circuitSettingsText();
        const ProgramFileReader::ParsedFile parsed = ProgramFileReader::parseContent(content);
        QCOMPARE(storeSnapshot() + circuitSettingsText(), before);  // parsing touches no store
        const auto result = ProgramFileReader::importParsed(Scratch::document(), parsed);
        if (refusedLine >= 0) {
            const ReadStatus status = refusedLine ? ReadStatus::Invalid : ReadStatus::OverCapacity;
            QCOMPARE(std::pair(result.status, result.refusedLine), std::pair(status, refusedLine));
            QCOMPARE(storeSnapshot() + circuitSettingsText(), before);
            return;
        }
        QCOMPARE(std::pair(result.status, WeekRowCount(Scratch::document())), std::pair(ReadStatus::Accepted, weekRows));
        const QString loaded = circuitSettingsText();
        Scratch::document().reloadCircuits();  // CircuitSettings must already hold what T_Setting holds
        QCOMPARE(loaded, circuitSettingsText());
        if (!settings.isEmpty())
            QCOMPARE(loaded, settings);
        const QByteArray written = buildProgramFile(Scratch::document());
        QCOMPARE(ProgramFileReader::ReadProgramFile(Scratch::document(), write("in.dat", written)).status, ReadStatus::Accepted);
        QCOMPARE(buildProgramFile(Scratch::document()), written);
    }

    // The fuzzer starts from a file near capacity and may grow it to the largest file the reader takes; every seed
    // normalizes to the same bytes twice over.
    void fuzzCorpusReachesCapacityAndNormalizesOnce()
    {
        const QDir corpus(QStringLiteral(WZ_SOURCE_DIR "/progfile/fuzz/corpus"));
        int mostWeekLines = 0;
        for (const QString& name : corpus.entryList(QDir::Files)) {
            const auto result = importContent(Scratch::document(), readBytes(corpus.filePath(name)));
            if (result.status != ReadStatus::Accepted)
                continue;  // a refused seed has nothing to normalize
            mostWeekLines = std::max(mostWeekLines, result.counts.week);
            const QByteArray once = buildProgramFile(Scratch::document());
            QCOMPARE(importContent(Scratch::document(), once).status, ReadStatus::Accepted);
            QCOMPARE(buildProgramFile(Scratch::document()), once);
        }
        QVERIFY(mostWeekLines >= WeekCapacity - 10);
        const QByteArray maxLen = " -max_len=" + QByteArray::number(ProgramFileFormat::MaxFileSize) + ' ';
        QVERIFY(readBytes(QStringLiteral(WZ_SOURCE_DIR "/scripts/fuzz")).contains(maxLen));
    }

    void checksum_data()
    {
        QTest::addColumn<QByteArrayList>("parts"); QTest::addColumn<QByteArray>("digits");
        QTest::newRow("nothing folded") << QByteArrayList{} << QByteArray("00");
        QTest::newRow("one digit") << QByteArrayList{"\x0b"} << QByteArray("0B");
        QTest::newRow("high bytes over two folds") << QByteArrayList{"\xff", "T"} << QByteArray("AB");
        QTest::newRow("equal bytes cancel") << QByteArrayList{"\x80\x80"} << QByteArray("00");
        QTest::newRow("worked example") << QByteArrayList{kWeekLine, "\r\n"} << QByteArray("16");
    }

    void checksum()
    {
        QFETCH(QByteArrayList, parts); QFETCH(QByteArray, digits);
        FileCheckSum sum;
        for (const QByteArray& part : parts)
            sum.fold(part);
        QCOMPARE(sum.hexDigits(), digits);
    }

    void commands_data()
    {
        QTest::addColumn<QByteArray>("content"); QTest::addColumn<int>("status");
        QTest::addColumn<QString>("verdict"); QTest::addColumn<QString>("counts");
        QTest::addColumn<QByteArray>("normalized");  // empty: OUT keeps its old content
        const QByteArray later = patched(kWeekLine, 13, "13");
        QTest::newRow("accepted") << withTrailer({later, kWeekLine, kEveryYearStop, kDatedStop, kEveryYearStop}) << 0
                                  << "プログラムファイルを読み込みました。" << "週間・特殊: 2  年間(日付): 1  年間(毎年): 2"
                                  << withTrailer({kWeekLine, later, kDatedStop, kEveryYearStop, kEveryYearStop});
        QTest::newRow("bad checksum") << kWeekLine + "\r\n*00\r\n" << 1 << "データが不正です。読み込みできません。"
                                      << "" << QByteArray();
        // The three-line message comes out on one line, before the counts.
        QTest::newRow("over capacity") << (kDatedStop + "\r\n").repeated(501) << 2 << "設定可能プログラム数を超えたため、"
                                       << "週間・特殊: 0  年間(日付): 501  年間(毎年): 0" << QByteArray();
    }

    // check and normalize give the same verdict and status; normalize writes
    // OUT, sorted as the editor writes it, only for an accepted file.
    void commands()
    {
        QFETCH(QByteArray, content); QFETCH(int, status); QFETCH(QString, verdict); QFETCH(QString, counts);
        QFETCH(QByteArray, normalized);
        const QString in = write(QStringLiteral("in.dat"), content);
        const QString out = write(QStringLiteral("out.dat"), "old");
        for (const QStringList& args : {QStringList{"check", in}, QStringList{"normalize", in, out}}) {
            const ProcessRun result = run(args);
            QCOMPARE(result.status, status);
            QCOMPARE(result.out.value(0).left(verdict.size()), verdict);
            QCOMPARE(result.out.value(1), counts);
        }
        QCOMPARE(readBytes(out), normalized.isEmpty() ? QByteArray("old") : normalized);
        QVERIFY2(!QDir(file(QStringLiteral("home/data/wzqxprog/db"))).exists(), "the editor's store was touched");
    }

    // bells on an IN with 報時 circuit 1 and chime circuit 2 (Monday 9:00 held); a row's options replace those of
    // "--circuit 2 --days 月 --periods 9:00-9:10". A written OUT, given as IN and OUT again, stays byte for byte.
    void bellsCommand_data()
    {
        QTest::addColumn<QStringList>("options"); QTest::addColumn<QString>("in"); QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");  // part of standard output or error
        const auto row = [](const char* name, const QStringList& options, int status, const char* message,
                            const char* in = "") { QTest::newRow(name) << options << in << status << QString(message); };
        row("added", {"--pre-bell", "10", "--tunes", "2,3,4"}, 0, "追加: 2 件（2 行）  既存のため追加せず: 1 件（1 行）");
        row("bells and rows on 平日", {"--days", "平日"}, 0, "追加: 2 件（9 行）  既存のため追加せず: 0 件（1 行）");
        row("--type for a circuit IN has no programs of", {"--circuit", "5", "--type", "チャイム", "--pulse", "9"}, 0,
            "追加: 2 件（2 行）");
        row("circuit IN has no programs of", {"--circuit", "5"}, 64, "回路 5 のプログラムが IN にないため、種類がわかりません。");
        row("--type the file contradicts", {"--type", "報時", "--pulse", "10"}, 64,
            "回路 2 は IN ではチャイムの回路（10秒）です。");
        row("--type without --pulse", {"--circuit", "5", "--type", "報時"}, 64, "--type と --pulse は一緒に");
        row("over capacity", {"--days", "毎日", "--periods", "9:00-9:10,9:20-9:30"}, 2, "必要: 27  残り: 20", "full");
        row("invalid IN", {}, 1, "データが不正です。", "bad");
        row("unwritable OUT, its name kept as it is", {}, 3, "/no  such/out.dat", "no folder");
        for (const QString wrong : {"--periods 23:00-24:00", "--periods 8:00-8:61", "--periods 8:00-", "--periods ",
                                       "--periods 8:00-9:00,8:30-9:30", "--periods 9:00-9:30,8:00-8:30",
                                       "--circuit 02", "--tunes 1,8,1", "--pre-bell 60", "--days P00",
                                       "--pre-bell 5 --pre-bell 5"})  // the message names the option
            QTest::newRow(qPrintable(wrong)) << wrong.split(' ') << "" << 64 << wrong.split(' ')[0] + " ";
        row("timer circuit", {"--circuit", "3"}, 64, "回路 3 は報時・チャイムの回路ではありません。");
        row("tunes for 報時", {"--circuit", "1", "--tunes", "1,1,1"}, 64, "報時の回路には曲を指定できません。");
    }
    void bellsCommand()
    {
        QFETCH(QStringList, options); QFETCH(QString, in); QFETCH(int, status); QFETCH(QString, message);
        setCircuit(1, 1, 5), setCircuit(2, 2, 10), setCircuit(3, 3, 0), setCircuit(8, 1, 5);  // files keep types by rows
        addRows({{2, 0, 1, 0, 9, 0, 0, 0, 0, 0, 5}, {1, 0, 2, 0, 7, 0, 0}, {3, 0, 1, 1, 8, 0, 0, 17}});
        fillWeekTo(in == "full" ? 880 : 0);
        RenumberTable(Scratch::document(), "T_Week");
        QStringList args{"bells", write("in.dat", in == "bad" ? QByteArray("x\r\n") : buildProgramFile(Scratch::document())),
                         in == "no folder" ? file("no  such/out.dat") : write("out.dat", "old")};
        const QStringList base{"--circuit", "2", "--days", "月", "--periods", "9:00-9:10"};
        for (int i = 0; i < base.size(); i += 2)
            args += options.contains(base[i]) ? QStringList() : base.mid(i, 2);
        ProcessRun result = run(args + options);
        QCOMPARE(result.status, status);
        QVERIFY2((result.out.join('\n') + result.err).contains(message), qPrintable(result.err));
        const QByteArray written = QFile(args[2]).exists() ? readBytes(args[2]) : QByteArray("old");
        QCOMPARE(written != "old", status == 0);  // OUT untouched unless done
        if (status != 0)
            return;
        // Run again on its own output: every bell is there already.
        const QRegularExpressionMatch counts =
            QRegularExpression("追加: (\\d+) 件（(\\d+) 行）  既存のため追加せず: (\\d+) 件（(\\d+) 行）").match(result.out.value(0));
        QVERIFY(counts.hasMatch());
        const auto sum = [&](int a, int b) { return counts.captured(a).toInt() + counts.captured(b).toInt(); };
        args[1] = args[2];
        QCOMPARE(run(args + options).out.value(0),
                 QStringLiteral("追加: 0 件（0 行）  既存のため追加せず: %1 件（%2 行）").arg(sum(1, 3)).arg(sum(2, 4)));
        QCOMPARE(readBytes(args[2]), written);
    }

    // dates on an IN with chime circuit 2 (special 1; 停止 on 2026-05-01, the second first Friday), 繰返し circuit 4 and `padding`
    // dated entries elsewhere; a row's options replace those of "--circuit 2 --from 2026-04-01 --to 2027-03-31
    // --rule 第1:金 --stop". A written OUT, given as IN and OUT again, stays byte for byte.
    void datesCommand_data()
    {
        QTest::addColumn<QStringList>("options"); QTest::addColumn<int>("padding"); QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");  // part of standard output or error
        QTest::addColumn<int>("may1st");       // OUT's entry on 2026-05-01
        const auto row = [](const char* name, const QString& options, int status, const char* message, int padding = 0,
                            int may1st = 0) {
            QTest::newRow(name) << options.split(' ', Qt::SkipEmptyParts) << padding << status << QString(message)
                                << may1st;
        };
        row("first Fridays as 停止", "", 0, "第1 金曜日: 12 日  新規: 11  置き換え: 0  そのまま: 1");
        row("another entry needs a choice", "--special 1", 64,
            "設定済みの年間プログラムと異なる日が 1 日あります（2026-05-01 停止）。--keep");
        row("kept", "--special 1 --keep", 0, "新規: 11  置き換え: 0  そのまま: 1");
        row("overwritten", "--special 1 --overwrite", 0, "新規: 11  置き換え: 1  そのまま: 0", 0, 1);
        row("a break across months", "--from 2026-07-21 --to 2026-08-31 --rule 毎日", 0, "期間のすべての日: 42 日  新規: 42");
        row("exactly full", "", 0, "新規: 11", 488);
        row("over capacity", "", 2, "（新たに設定する日: 11  残り: 10）", 489);
        row("special without programs", "--special 2", 64, "回路 2 の特殊番号 2 のプログラムが IN にありません。");
        row("circuit IN has no programs of", "--circuit 5", 64, "回路 5 は年間プログラムを設定できる回路ではありません");
        row("繰返し circuit", "--circuit 4", 64, "回路 4 は年間プログラムを設定できる回路ではありません");
        row("one day", "--from 2026-06-05 --to 2026-06-05", 0, "第1 金曜日: 1 日  新規: 1  置き換え: 0  そのまま: 0");
        row("year 2100", "--to 2100-01-01", 64, "--to には 2000-01-01～2099-12-31 の日付を YYYY-MM-DD で指定してください。");
        row("no such day", "--from 2027-02-29", 64, "--from の 2027-02-29 はない日付です。");
        row("no day in span", "--to 2026-04-30 --rule 第5:金", 64,
            "期間 2026-04-01～2026-04-30 に該当する日がありません（第5 金曜日）。");
        for (const char* wrong : {"--from 2026-4-01", "--to 2026-03-31", "--rule 第6:金",
                                  "--rule 曜日:月,月", "--stop --special 1", "--special 100", "--keep --overwrite",
                                  "--circuit 9"})  // the message names the option
            QTest::newRow(wrong) << QString(wrong).split(' ') << 0 << 64 << QString(wrong).split(' ')[0] + " " << 0;
    }
    void datesCommand()
    {
        QFETCH(QStringList, options); QFETCH(int, padding); QFETCH(int, status); QFETCH(QString, message);
        QFETCH(int, may1st);
        setCircuit(1, 1, 5), setCircuit(2, 2, 10), setCircuit(4, 4, 5);
        addRows({{2, 1, 0, 0, 10, 0, 0, 0, 0, 0, 3}, {1, 0, 2, 0, 7, 0, 0}, {4, 0, 1, 5, 6, 0, 0, 7, 0, 5}});
        addYearRow(2, 26, 5, 1, 0);
        for (int i = 0; i < padding; ++i) {
            const QDate day = QDate(2030, 1, 1).addDays(i);
            addYearRow(1, day.year() - 2000, day.month(), day.day(), 0);
        }
        RenumberTable(Scratch::document(), "T_Week"), RenumberTable(Scratch::document(), "T_Year");
        QStringList args{"dates", write("in.dat", buildProgramFile(Scratch::document())), write("out.dat", "old")};
        const QStringList base{"--circuit", "2", "--from", "2026-04-01", "--to", "2027-03-31", "--rule", "第1:金"};
        for (int i = 0; i < base.size(); i += 2)
            args += options.contains(base[i]) ? QStringList() : base.mid(i, 2);
        const bool special = options.contains("--special");
        args += options + (special ? QStringList() : QStringList{"--stop"});
        const ProcessRun result = run(args);
        QCOMPARE(result.status, status);
        QVERIFY2((result.out.join('\n') + result.err).contains(message), qPrintable(result.out.join('\n') + result.err));
        const QByteArray written = readBytes(args[2]);
        QCOMPARE(written != "old", status == 0);  // OUT untouched unless done
        if (status != 0)
            return;
        args[1] = args[2];
        QVERIFY2(run(args).out.value(0).contains("新規: 0  置き換え: 0"), "a rerun changed entries");
        QCOMPARE(readBytes(args[2]), written);
        QCOMPARE(ReadProgramFile(Scratch::document(), args[2]).status, ReadStatus::Accepted);
        QCOMPARE(YearEntries::DatedEntry(Scratch::document(), 2, QDate(2026, 5, 1)), std::optional<int>(may1st));
    }

    // plan on the IN of datesCommand plus 特殊番号 1 on 2026-04-30 and 2026-05-03, with the 行事予定 below as `table`
    // (csv, the same in Shift_JIS, tab-separated on standard input, a day that does not exist, none); a row's
    // --map words replace "--map 通常=なし --map 短縮=1 --map 休業=停止". `days`: OUT's entries on 4/30..5/4 (- none).
    void planCommand_data()
    {
        QTest::addColumn<QString>("table"); QTest::addColumn<QStringList>("options"); QTest::addColumn<int>("padding");
        QTest::addColumn<int>("status"); QTest::addColumn<QString>("message"); QTest::addColumn<QString>("days");
        const auto row = [](const char* name, const char* table, const QString& options, int status, const char* message,
                            const char* days = "", int padding = 0) {
            QTest::newRow(name) << table << options.split(' ', Qt::SkipEmptyParts) << padding << status << QString(message)
                                << QString(days);
        };
        row("overwritten", "csv", "--overwrite", 0, "短縮 (2 日) → 特殊番号 1  新規: 1  置き換え: 1  そのまま: 0  消去: 0",
            "- 1 1 1 0");
        row("kept, 通常 cleared", "csv", "--keep", 0, "短縮 (2 日) → 特殊番号 1  新規: 1  置き換え: 0  そのまま: 1  消去: 0",
            "- 0 1 1 0");
        row("another entry needs a choice", "csv", "", 64,
            "設定済みの年間プログラムと異なる日が 1 日あります（2026-05-01 停止）。--keep");
        row("unmapped names named", "csv", "--keep --map 短縮=1", 64, "日課 「通常」「休業」 をどう設定するかの指定がありません。");
        row("a map the table lacks warns", "csv", "--keep --map 通常=なし --map 短縮=1 --map 休業=停止 --map 雨天=停止", 0,
            "警告: --map の日課「雨天」は表にありません。", "- 0 1 1 0");
        row("special without programs", "csv", "--keep --map 通常=なし --map 短縮=2 --map 休業=停止", 64,
            "回路 2 の特殊番号 2 のプログラムが IN にありません。");
        row("exactly full", "csv", "--keep", 0, "年間プログラムの残り: 0", "- 0 1 1 0", 496);
        row("over capacity", "csv", "--keep", 2, "（新たに設定する日: 2  残り: 0）", "", 497);
        row("table from standard input", "stdin", "--overwrite", 0, "休業 (1 日) → 停止  新規: 1", "- 1 1 1 0");
        row("Shift_JIS table", "cp932", "--overwrite", 0, "休業 (1 日) → 停止  新規: 1", "- 1 1 1 0");
        row("names file cannot be written: a warning", "csv, names blocked", "--keep", 0,
            "警告: 特殊番号の名前と日課の指定を保存できません（プログラムファイルは書き込みました）", "- 0 1 1 0");
        row("a day that does not exist", "bad", "--keep", 1, "table.csv: ");
        row("no table file", "none", "--keep", 3, "table.csv: ");
        for (const char* wrong : {"--keep --overwrite", "--circuit 9", "--map 短縮", "--map 短縮=100", "--school-year 2099",
                                  "--column 0"})  // the message names the option
            row(wrong, "csv", wrong, 64, qPrintable(QString(wrong).split(' ')[0]));
    }
    void planCommand()
    {
        QFETCH(QString, table); QFETCH(QStringList, options); QFETCH(int, padding); QFETCH(int, status);
        QFETCH(QString, message); QFETCH(QString, days);
        setCircuit(1, 1, 5), setCircuit(2, 2, 10);
        addRows({{2, 1, 0, 0, 10, 0, 0, 0, 0, 0, 3}, {1, 0, 2, 0, 7, 0, 0}});
        addYearRow(2, 26, 5, 1, 0), addYearRow(2, 26, 4, 30, 1), addYearRow(2, 26, 5, 3, 1);
        for (int i = 0; i < padding; ++i) {
            const QDate day = QDate(2030, 1, 1).addDays(i);
            addYearRow(1, day.year() - 2000, day.month(), day.day(), 0);
        }
        RenumberTable(Scratch::document(), "T_Week"), RenumberTable(Scratch::document(), "T_Year");
        const QByteArray csv = "日付,行事,日課\r\n2026/4/30,,通常\r\n2026/5/1,\"開校記念日,式典\",短縮\r\n2026/5/2,,短縮\r\n"
                               "2026/5/3,憲法記念日,\r\n2026/5/4,みどりの日,休業\r\n";
        const QByteArray cp932 = "\x93\xfa\x95t,\x8ds\x8e\x96,\x93\xfa\x89\xdb\r\n2026/4/30,,\x92\xca\x8f\xed\r\n2026/5/1,\""
                                 "\x8aJ\x8dZ\x8bL\x94O\x93\xfa,\x8e\xae\x93T\",\x92Z\x8fk\r\n2026/5/2,,\x92Z\x8fk\r\n2026/5/3,"
                                 "\x8c\x9b\x96@\x8bL\x94O\x93\xfa,\r\n2026/5/4,\x82\xdd\x82\xc7\x82\xe8\x82\xcc\x93\xfa,\x8bx\x8b\xc6\r\n";
        const QString namesFile = file("home/data/wzqxprog/names.json");
        if (table.endsWith("names blocked"))
            QDir().mkpath(namesFile);
        const QString tablePath = file("table.csv");
        if (table != "none")
            write("table.csv", table == "cp932" ? cp932 : table == "bad" ? csv + "2027/2/29,,通常\r\n" : csv);
        const QString redirect = table == "stdin" ? "<" + write("paste.txt", QByteArray(csv).replace(',', '\t').replace("\"開校記念日\t式典\"", "")) : "";
        QStringList args{"plan", write("in.dat", buildProgramFile(Scratch::document())), write("out.dat", "old")};
        const QStringList base{"--circuit", "2", "--table", table == "stdin" ? "-" : tablePath};
        for (int i = 0; i < base.size(); i += 2)
            args += options.contains(base[i]) ? QStringList() : base.mid(i, 2);
        args += options;
        if (!options.contains("--map"))
            args += QStringList{"--map", "通常=なし", "--map", "短縮=1", "--map", "休業=停止"};
        const ProcessRun result = run(args, redirect);
        QCOMPARE(result.status, status);
        QVERIFY2((result.out.join('\n') + result.err).contains(message), qPrintable(result.out.join('\n') + result.err));
        const QByteArray written = readBytes(args[2]);
        QCOMPARE(written != "old", status == 0);  // OUT untouched unless done
        if (status != 0)
            return;
        args[1] = args[2];
        const ProcessRun again = run(args, redirect);
        QVERIFY2(!again.out.join('\n').contains(QRegularExpression("新規: [1-9]|置き換え: [1-9]|消去: [1-9]")),
                 qPrintable(again.out.join('\n')));
        QCOMPARE(readBytes(args[2]), written);
        QCOMPARE(ReadProgramFile(Scratch::document(), args[2]).status, ReadStatus::Accepted);
        QStringList held;
        for (QDate day(2026, 4, 30); day <= QDate(2026, 5, 4); day = day.addDays(1)) {
            const std::optional<int> entry = YearEntries::DatedEntry(Scratch::document(), 2, day);
            held << (entry ? QString::number(*entry) : "-");
        }
        QCOMPARE(held.join(' '), days);
        if (table.endsWith("names blocked"))
            return;
        const auto names = SpecialNames::Names::read(namesFile);
        QCOMPARE(names.name(1), QStringLiteral("短縮"));  // it had none
        QCOMPARE(names.choice("休業"), std::optional<SpecialNames::DutyChoice>(SpecialNames::DutyChoice::stop()));
    }

    // Twenty bells commands adding to one file at once: each waits for the one before it, so every one that reports
    // success finds its bells in the result. A write whose input another program changed after the read refuses.
    void concurrentWritersLoseNothing()
    {
        setCircuit(2, 2, 10);
        addRows({{2, 0, 1, 0, 5, 0, 0, 0, 0, 0, 1}});
        const QString shared = write(QStringLiteral("shared.dat"), buildProgramFile(Scratch::document()));
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 20; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(editorBinary(), {"bells", shared, shared, "--circuit", "2", "--days", "月", "--periods",
                                                QString::asprintf("6:%02d-6:%02d", 3 * i, 3 * i + 1)});
        }
        QCOMPARE(ReadProgramFile(Scratch::document(), shared).status, ReadStatus::Accepted);  // a reader meanwhile sees a whole file
        int succeeded = 0;
        for (const auto& run : runs)
            QVERIFY(run->state() == QProcess::NotRunning || run->waitForFinished(60000));
        QCOMPARE(ReadProgramFile(Scratch::document(), shared).status, ReadStatus::Accepted);
        for (int i = 0; i < 20; ++i) {
            if (runs[i]->exitCode() != 0)
                continue;
            ++succeeded;
            for (const int minute : {3 * i, 3 * i + 1})
                QVERIFY2(Scratch::scalar("SELECT COUNT(*) FROM T_Week WHERE TimeONH = 6 AND TimeONM = ?", {minute})
                                 .toInt() == 1,
                         qPrintable(QStringLiteral("bells of run %1 lost").arg(i)));
        }
        QCOMPARE(succeeded, 20);
        QCOMPARE(QDir(m_store->path()).entryList(QDir::Hidden | QDir::Files).filter(".lock"), QStringList());

        const QString out = write(QStringLiteral("out.dat"), "old");
        const Platform::FileStamp read = ReadProgramFile(Scratch::document(), shared).stamp;
        write(QStringLiteral("shared.dat"), buildProgramFile(Scratch::document()) + "changed");
        try {
            ProgramFileWriter::writeFileAtomically(out, buildProgramFile(Scratch::document()), {false, shared, read, true, nullptr, {}});
            QFAIL("written over a changed input");
        } catch (const ProgramFileError& failure) {
            QCOMPARE(QString::fromUtf8(failure.what()),
                     shared + QStringLiteral(": 読み込んだ後にほかから変更されたため、書き込みを取りやめました。"));
        }
        QCOMPARE(readBytes(out), QByteArray("old"));
    }

    // OUT "-", and any other name of our standard output, is written down that stream (appended where it was opened
    // for appending, whoever's file it is: never replaced), the report then on standard error; a closed stream fails.
    void standardOutputAsOut_data()
    {
        QTest::addColumn<QString>("command"); QTest::addColumn<QString>("out"); QTest::addColumn<QString>("redirect");
        QTest::addColumn<int>("status");
        QTest::newRow("-") << "normalize" << "-" << "" << 0;
        QTest::newRow("/dev/stdout, a pipe") << "normalize" << "/dev/stdout" << "" << 0;
        QTest::newRow("/dev/fd/1, another user's file") << "normalize" << "/dev/fd/1" << ">>theirs.dat" << 0;
        QTest::newRow("/proc/self/fd/1, our file") << "normalize" << "/proc/self/fd/1" << ">>ours.dat" << 0;
        QTest::newRow("our file by its name") << "normalize" << "ours.dat" << ">>ours.dat" << 0;
        QTest::newRow("bells, /dev/stdout") << "bells" << "/dev/stdout" << ">>ours.dat" << 0;
        QTest::newRow("dates, /dev/stdout") << "dates" << "/dev/stdout" << ">>ours.dat" << 0;
        QTest::newRow("closed") << "normalize" << "/dev/stdout" << ">&-" << 3;
    }
    void standardOutputAsOut()
    {
        QFETCH(QString, command); QFETCH(QString, out); QFETCH(QString, redirect); QFETCH(int, status);
        const QByteArray content = withTrailer({kWeekLine});
        const QString in = write(QStringLiteral("in.dat"), content);
        QCOMPARE(::chown(QFile::encodeName(write(QStringLiteral("theirs.dat"), "old")), kOtherUser, kOtherUser) == 0,
                 ::geteuid() == 0);
        write(QStringLiteral("ours.dat"), "old");
        const QStringList options = command == "bells" ? QStringList{"--circuit", "2", "--days", "月", "--periods", "9:00-9:10"}
            : command == "dates" ? QStringList{"--circuit", "2", "--from", "2026-05-01", "--to", "2026-05-01", "--rule", "毎日", "--stop"}
                                 : QStringList();
        const ProcessRun result = runEditor(QStringList{command, in, out.endsWith(".dat") ? file(out) : out} + options,
                                            file("home"), redirect.replace(">>", ">>" + file("")));
        QCOMPARE(result.status, status);
        if (status != 0) {
            QVERIFY2(result.err.endsWith(QStringLiteral("\n標準出力: 出力先が閉じられています。\n")), qPrintable(result.err));
            return;
        }
        const QString verdict = command == "normalize" ? "プログラムファイルを読み込みました。" : command == "bells" ? "追加: 2 件" : "期間のすべての日: 1 日";
        QVERIFY2(result.err.startsWith(verdict), qPrintable(result.err));
        const QString target = redirect.contains("theirs") ? "theirs.dat" : redirect.contains("ours") ? "ours.dat" : "";
        const QByteArray written = target.isEmpty() ? result.out.join('\n').toUtf8() + '\n' : readBytes(file(target)).mid(3);
        QVERIFY(target.isEmpty() || readBytes(file(target)).startsWith("old"));
        QCOMPARE(importContent(Scratch::document(), written).status, ReadStatus::Accepted);
        QCOMPARE(written == content, command == "normalize");
        QCOMPARE(readBytes(file("theirs.dat")), target == "theirs.dat" ? "old" + content : QByteArray("old"));
    }

    // A write that fails leaves the old file as it was: into a folder the user may not write to (the old file itself
    // is writable, so that a writer that truncates in place would destroy it), and on a full disk (Qt's buffered
    // QSaveFile once dropped what did not fit and reported success).
    void failedNormalizeKeepsOldFile()
    {
        const QByteArray disk = QFile::encodeName(file(QStringLiteral("disk")));
        QDir().mkpath(QFile::decodeName(disk));
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()
            || ::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=12k") != 0)
            QSKIP("needs root to mount a small tmpfs as a full disk, and setpriv to run as an unprivileged user");
        const auto unmount = qScopeGuard([&] { ::umount2(disk.constData(), MNT_DETACH); });

        QDir(m_store->path()).mkdir(QStringLiteral("ro"));
        // 11,525 bytes in, 485 in the old file: one of the three 4 KiB pages.
        const QString in = write(QStringLiteral("in.dat"), withTrailer(QList<QByteArray>(360, kWeekLine)));
        const QString readOnly = write(QStringLiteral("ro/WZ48PROG.dat"), "old");
        QFile::setPermissions(m_store->path(), QFile::permissions(m_store->path()) | QFile::ExeOther);
        QFile::setPermissions(in, QFile::ReadOwner | QFile::ReadOther);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
        QFile::setPermissions(file(QStringLiteral("ro")),
                              QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        const QStringList asNobody{"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                   qEnvironmentVariable("WZ_BUILD_DIR") + "/wzqxprog"};
        const passwd* nobody = ::getpwnam("nobody");  // a home of theirs for their lock folder
        QVERIFY(nobody && QDir().mkdir(file("nobody")) && ::chown(QFile::encodeName(file("nobody")), nobody->pw_uid, 0) == 0);
        QCOMPARE(runProcess("setpriv", asNobody + QStringList{"normalize", in, readOnly}, file("nobody")).err,
                 readOnly + QStringLiteral(": アクセスする権限がありません。\n"));
        QCOMPARE(readBytes(readOnly), QByteArray("old"));

        const QByteArray old = withTrailer(QList<QByteArray>(15, kWeekLine));
        const QString full = write(QStringLiteral("disk/WZ48PROG.dat"), old);
        const ProcessRun result = run({"normalize", in, full});
        QCOMPARE(result.status, 3);
        QCOMPARE(result.err, full + QStringLiteral(": ディスクの空き容量が足りません。\n"));
        QCOMPARE(readBytes(full), old);
        QCOMPARE(QDir(QFile::decodeName(disk)).entryList(QDir::Files), QStringList{"WZ48PROG.dat"});
    }

    // What another user plants at ".NAME.lock" beside our file in a shared folder neither blocks nor delays our
    // write, and stays as it was. Our locks are in a folder of ours alone: one of another user's is refused by name.
    void othersLockFilesAreNoLocks_data()
    {
        QTest::addColumn<QString>("planted");
        for (const char* planted : {"file", "link", "folder", "held file", "their lock folder"})
            QTest::newRow(planted) << planted;
    }
    void othersLockFilesAreNoLocks()
    {
        QFETCH(QString, planted);
        if (::geteuid() != 0 || QStandardPaths::findExecutable("flock").isEmpty())
            QSKIP("needs root to plant another user's files, and flock to hold a lock");
        qunsetenv("XDG_RUNTIME_DIR");  // the locks are then in the data folder
        if (planted == "their lock folder") {
            const QString locks = file("home/data/wzqxprog/locks");
            QVERIFY(QDir().mkpath(locks) && ::chown(QFile::encodeName(locks), kOtherUser, kOtherUser) == 0);
            const ProcessRun result = run({"normalize", write("in.dat", withTrailer({kWeekLine})), file("out.dat")});
            QCOMPARE(result.err, file("out.dat") + ": ロック用のフォルダー " + locks + " が他のユーザー（4321）のものであるため書き込めません。\n");
            QVERIFY(!QFile::exists(file("out.dat")));
            return;
        }
        const QString shared = file("shared");
        QVERIFY(QDir().mkdir(shared) && ::chmod(QFile::encodeName(shared), 01777) == 0);
        const QString out = writeBytes(shared + "/out.dat", "old");
        const QByteArray lock = QFile::encodeName(shared + "/.out.dat.lock");
        QVERIFY(planted == "link" ? ::symlink("/nowhere", lock) == 0
                : planted == "folder" ? ::mkdir(lock, 0755) == 0
                                      : !writeBytes(QFile::decodeName(lock), {}).isEmpty());
        QProcess holder;
        if (planted == "held file") {
            holder.start("flock", {QFile::decodeName(lock), "sleep", "30"});
            QVERIFY(holder.waitForStarted());
            QTest::qWait(300);
        }
        QCOMPARE(::lchown(lock, kOtherUser, kOtherUser), 0);
        const QString in = write(QStringLiteral("in.dat"), withTrailer({kWeekLine}));
        const ProcessRun result = run({"normalize", in, out});
        QCOMPARE(holder.state(), planted == "held file" ? QProcess::Running : QProcess::NotRunning);
        holder.kill();
        holder.waitForFinished();
        QVERIFY2(result.status == 0 && result.ms < 5000, qPrintable(result.err));
        QCOMPARE(readBytes(out), withTrailer({kWeekLine}));
        struct stat left;
        QCOMPARE(::lstat(lock, &left), 0);
        QCOMPARE(std::tuple(bool(S_ISLNK(left.st_mode)), bool(S_ISDIR(left.st_mode)), left.st_uid),
                 std::tuple(planted == "link", planted == "folder", kOtherUser));
    }

    // A new output gets what a new file gets (0666 less the umask). Temporary files of ours that a killed run left
    // beside the output go with the next write; not another user's, a recent one, nor one a writer holds.
    void newOutputsAndLeftTemporaries()
    {
        const QString in = write(QStringLiteral("in.dat"), withTrailer({kWeekLine}));
        const QString out = file("new.dat");
        const ProcessRun made = runProcess("sh", {"-c", "umask 027; exec \"$0\" \"$@\"", editorBinary(), "normalize", in, out}, file("home"));
        QCOMPARE(made.status, 0);
        QCOMPARE(QFileInfo(out).permissions() & QFile::Permissions(0x7777), QFile::Permissions(0x6640));
        const auto plant = [&](const char* name, bool old) {
            const QByteArray path = QFile::encodeName(writeBytes(file(QLatin1String(".wzqxprog-") + name), "part"));
            const struct timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - (old ? 3600 : 0), 0}};
            ::utimensat(AT_FDCWD, path, times, 0);
            return path;
        };
        plant("stale0", true);
        plant("fresh0", false);
        const int held = ::open(plant("inuse0", true), O_RDONLY);
        QCOMPARE(::flock(held, LOCK_EX), 0);
        const bool root = ::geteuid() == 0 && ::chown(plant("theirs", true), kOtherUser, kOtherUser) == 0;
        QCOMPARE(run({"normalize", in, out}).status, 0);
        ::close(held);
        QStringList left = QDir(m_store->path()).entryList({".wzqxprog-*"}, QDir::Files | QDir::Hidden);
        QCOMPARE(left, (QStringList{".wzqxprog-fresh0", ".wzqxprog-inuse0"} + (root ? QStringList{".wzqxprog-theirs"} : QStringList())));
    }

    // The launcher runs a program beside it, else in ../libexec/wzqxprog, only when that file and every folder above
    // it are ours or root's and no other user may write those folders; else it says whose it is and ends with 127.
    void launcherRunsOnlyTrustedPrograms_data()
    {
        QTest::addColumn<QString>("planted");  // where the commands program is, and what is wrong with it
        QTest::addColumn<QString>("refusal");  // %1: the temporary prefix; empty: it runs
        QTest::newRow("ours in libexec") << "libexec" << "";
        QTest::newRow("theirs in libexec") << "libexec theirs" << "%1/libexec/wzqxprog/wzqxprog-commands は他のユーザー（4321）のファイルです。";
        QTest::newRow("theirs beside") << "bin theirs" << "%1/bin/wzqxprog-commands は他のユーザー（4321）のファイルです。";
        QTest::newRow("in their folder") << "libexec their folder" << "%1/libexec/wzqxprog は他のユーザー（4321）のフォルダーです。";
        QTest::newRow("in an open folder") << "libexec open" << "%1/libexec は他のユーザーも書き込めるフォルダーです。";
    }
    void launcherRunsOnlyTrustedPrograms()
    {
        QFETCH(QString, planted); QFETCH(QString, refusal);
        if (::geteuid() != 0)
            QSKIP("needs root to plant another user's files");
        const QString prefix = file("prefix");
        const QString folder = prefix + (planted.startsWith("bin") ? "/bin" : "/libexec/wzqxprog");
        QVERIFY(QDir().mkpath(prefix + "/bin") && QDir().mkpath(folder));
        QVERIFY(QFile::copy(qEnvironmentVariable("WZ_BUILD_DIR") + "/wzqxprog", prefix + "/bin/wzqxprog"));
        const QByteArray program = QFile::encodeName(writeBytes(folder + "/wzqxprog-commands", "#!/bin/sh\necho ran\n"));
        QCOMPARE(::chmod(program, 0755), 0);
        if (planted.endsWith("theirs"))
            QCOMPARE(::chown(program, kOtherUser, kOtherUser), 0);
        if (planted.endsWith("their folder"))
            QCOMPARE(::chown(QFile::encodeName(folder), kOtherUser, kOtherUser), 0);
        if (planted.endsWith("open"))
            QCOMPARE(::chmod(QFile::encodeName(prefix + "/libexec"), 0777), 0);
        const ProcessRun result = runProcess(prefix + "/bin/wzqxprog", {"check", "x.dat"});
        if (refusal.isEmpty()) {
            QCOMPARE(std::pair(result.status, result.out), std::pair(0, QStringList{"ran"}));
            return;
        }
        QCOMPARE(std::pair(result.status, result.out), std::pair(127, QStringList()));
        QCOMPARE(result.err, QStringLiteral("wzqxprog: %1/%2/wzqxprog-commands を起動できません。").arg(prefix, planted.startsWith("bin") ? "bin" : "bin/../libexec/wzqxprog")
                                 + refusal.arg(prefix) + '\n');
    }

    // Only a regular file of at most the largest size the editor writes is read: a device, pipe or folder is
    // unreadable (3) at once, a larger file is over capacity (2) without being read; another user's link in a sticky
    // folder not theirs (/tmp) is not followed. normalize and pdf refuse what is not a regular file, a link to nothing,
    // a link neither ours nor root's, another user's file in a shared sticky folder, a place another user may write,
    // and without --force a read-only or hard-linked file; our own link is written through and stays, a file written
    // over keeps mode and owner. A name not in UTF-8 is refused. %1 in a reason stands for the path.
    void specialFiles_data()
    {
        QTest::addColumn<int>("status");  // the row name says which file is of that kind
        QTest::addColumn<QString>("reason");  // the message after "PATH: "; empty: not checked
        const QString notRead = QStringLiteral("通常のファイルではないため読み込めません。");
        const QString notWritten = QStringLiteral("通常のファイルではないため書き込めません。");
        const QString badName = QStringLiteral("UTF-8 ではない文字を含むため、このファイル名は使えません。");
        const QString othersLink = QStringLiteral("%1 は他のユーザー（4321）のリンクのため、たどって書き込めません。");
        for (const auto& [kind, status, reason] : std::initializer_list<std::tuple<const char*, int, QString>>{
                 {"in /dev/zero", 3, notRead}, {"in pipe", 3, notRead}, {"in folder", 3, notRead},
                 {"in huge file", 2, ""}, {"in missing", 3, QStringLiteral("ファイルまたはフォルダーが見つかりません。")},
                 {"in non-UTF-8 name", 3, badName},
                 {"in other user's sticky link to file", 3,
                  QStringLiteral("共有フォルダーにある他のユーザーのリンクのため読み込めません。")},
                 {"out device", 3, notWritten}, {"out pipe", 3, notWritten},
                 {"out folder", 3, notWritten}, {"out file", 0, ""}, {"out link to file", 0, ""},
                 {"out link to pipe", 3, notWritten},
                 {"out link to nothing", 3, QStringLiteral("リンク先がないため書き込めません。")},
                 {"out link loop", 3, QStringLiteral("リンクをたどれないため書き込めません。")},
                 {"out other user's sticky link to file", 3, othersLink},
                 {"out sticky folder owner's link to file", 3, othersLink},
                 {"out other user's link to file", 3, othersLink},
                 {"out own link in another's sticky folder to file", 0, ""},
                 {"out shared sticky folder with other user's file", 3,
                  QStringLiteral("共有フォルダーにある他のユーザー（4321）のファイルのため書き込めません。")},
                 {"out other user's writable folder", 3,
                  QStringLiteral("他のユーザー（4321）が書き込めるフォルダーのため書き込めません。")},
                 {"out read-only file", 3, QStringLiteral("読み取り専用のファイルのため書き込めません。")},
                 {"out hard-linked file", 3,
                  QStringLiteral("ほかの名前（ハードリンク）からも使われているファイルのため書き込めません。")},
                 {"out forced over read-only hard-linked file", 0, ""}, {"out 255-byte name file", 0, ""},
                 {"out non-UTF-8 name", 3, badName}})
            QTest::newRow(kind) << status << reason;
    }

    void specialFiles()
    {
        QFETCH(int, status); QFETCH(QString, reason);
        const QString kind = QString::fromLatin1(QTest::currentDataTag());
        const bool output = kind.startsWith(QLatin1String("out"));
        const QString in = write(QStringLiteral("in.dat"), withTrailer({kWeekLine}));
        for (const QString& command : output ? QStringList{"normalize", "pdf"} : QStringList{"check"}) {
            const QString dir = file(command);
            QDir().mkdir(dir);
            const QString target = kind.endsWith(QLatin1String("/dev/zero")) ? kind.mid(3)
                : kind.contains(QLatin1String("255-byte"))                     ? dir + '/' + QString(255, 'n')
                                                                               : dir + "/target";
            const QString path = makeSpecialFile(kind, dir, target);
            // A name QTemporaryDir cannot spell, so cannot remove.
            const auto removeRaw = qScopeGuard([&] { ::unlink(QFile::encodeName(dir) + "/x\377.dat"); });
            if (path.isEmpty())
                QSKIP("needs root to make a device and to give files to another user");
            const auto entries = [&] { return QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::Hidden); };
            const auto owner = [](const QFileInfo& i) { return std::tuple(i.permissions(), i.ownerId(), i.groupId()); };
            const QStringList before = entries();
            const auto ownerBefore = owner(QFileInfo(target));
            QStringList args = command == QLatin1String("pdf")
                ? QStringList{"--circuit", "2", "--listing", "week", in} : output ? QStringList{in} : QStringList{};
            if (kind.contains(QLatin1String("forced")))
                args << QStringLiteral("--force");
            const ProcessRun result = runOn(QStringList{command} + args, path);
            QCOMPARE(result.status, status);
            QVERIFY2(reason.isEmpty() ? status == 0 || !result.err.isEmpty()
                                      : result.err == path + ": " + QString(reason).replace("%1", path) + '\n',
                     qPrintable(result.err));
            QVERIFY2(result.ms < 10000, qPrintable(QString::number(result.ms)));
            QCOMPARE(entries(), before);  // nothing made beside, nothing left behind
            QCOMPARE(QFileInfo(target).isFile(), kind.endsWith(QLatin1String("file")));
            QCOMPARE(QFileInfo(path).isSymLink(), kind.contains(QLatin1String("link")));
            if (!output || !QFileInfo(target).isFile())
                continue;
            const QByteArray expected = status ? "old" : command == QLatin1String("pdf") ? "%PDF-" : "122  1";
            QCOMPARE(readBytes(target).left(expected.size()), expected);
            QVERIFY(owner(QFileInfo(target)) == ownerBefore);
        }
    }

    // Qt's options and one file start the editor, refused at once without a display; anything else gets the usage
    // text and 64, decided before a GUI application (needing a display) exists. Commands take none of Qt's options,
    // and what they print must reach standard output, or they end with 3.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");        // with no display; 0: the editor starts (needs none)
        QTest::addColumn<QString>("redirect");  // standard output, as the shell redirects it
        const auto row = [](const char* name, const QStringList& args, int status) {
            QTest::newRow(name) << args << status << QString();
        };
        row("none", {}, 1);
        row("platform", {"-platform", "offscreen"}, 0);
        row("platforms that need a display", {"-platform", "wayland;xcb:nomitshm"}, 1);
        row("double-dash style=", {"--style=fusion", "-reverse"}, 1);
        row("display no server answers", {"-display", ":987"}, 1);
        row("unknown long option", {"--bogus"}, 64);
        row("unknown short option", {"-v"}, 64);
        row("unknown after a Qt option", {"-platform", "offscreen", "-v"}, 64);
        row("Qt option without its value", {"-platform"}, 64);
        row("file name", {"a.dat"}, 1);
        row("two file names", {"a.dat", "b.dat"}, 64);
        row("command without its file", {"check"}, 64);
        row("Qt option after a command", {"check", "a.dat", "-platform", "xcb"}, 64);
        row("Qt option before a command", {"-platform", "offscreen", "check", "a.dat"}, 64);
        row("--version with a word", {"--version", "-reverse"}, 64);
        const QString in = QStringLiteral(WZ_SOURCE_DIR "/progfile/fuzz/corpus/worked_example.dat");
        for (const QStringList& args : QList<QStringList>{
                 {"check", in}, {"holidays", "2027"}, {"day", in, "2027-01-03", "--json"},
                 {"diff", in, QString(in).replace("worked_example", "mixed")}, {"review", in, "--school-year", "2026"},
                 {"--help"}, {"--version"}})
            for (const char* redirect : {">/dev/full", ">&-", "| true"})
                QTest::addRow("%s %s", qPrintable(args[0]), redirect) << args << 3 << QString(redirect);
    }

    void commandLine()
    {
        QFETCH(QStringList, args); QFETCH(int, status); QFETCH(QString, redirect);
        std::vector<QByteArray> bytes{QByteArrayLiteral("wzqxprog")};
        for (const QString& arg : args)
            bytes.push_back(arg.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& arg : bytes)
            argv.push_back(arg.data());
        QCOMPARE(wantsCommandLine(int(argv.size()), argv.data()), status > 1);
        qunsetenv("DISPLAY"), qunsetenv("WAYLAND_DISPLAY"), qunsetenv("QT_QPA_PLATFORM");  // as runEditor runs it
        if (status < 2 && !args.contains("-display"))  // a display named: only Qt finds that no server answers
            QCOMPARE(editorLacksDisplay(int(argv.size()), argv.data()), status == 1);
        if (status == 0)
            return;  // the editor starts
        const ProcessRun result = run(args, redirect);
        QCOMPARE(result.status, status);
        const QString err = status == 64 ? QStringLiteral("使い方: wzqxprog")
            : status == 1 ? QStringLiteral("画面（ディスプレイ）を開けないため、エディタを起動できません。")
            : redirect == ">/dev/full" ? QStringLiteral("wzqxprog: 標準出力に書き込めません。ディスクの空き容量が足りません。\n")
                                       : QStringLiteral("wzqxprog: 標準出力に書き込めません。出力先が閉じられています。\n");
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
        QVERIFY2(status != 64 || !result.err.startsWith(err), "a usage error gives its reason first");
    }

private:
    QString file(const QString& name) const { return m_store->path() + QLatin1Char('/') + name; }
    QString write(const QString& name, const QByteArray& data) { return writeBytes(file(name), data); }
    // No display and a home of its own: the command line must need neither a display nor the editor's store.
    // A pipe's status is the command's own (pipefail), not the reader's.
    ProcessRun run(const QStringList& args, QString redirect = {})
    {
        if (!redirect.startsWith('|'))
            return runEditor(args, file("home"), redirect);
        // The command starts once the reader has gone: it would win the race otherwise.
        return runProcess("bash", QStringList{"-c", "set -o pipefail; { sleep 0.2; \"$0\" \"$@\"; } " + redirect, editorBinary()} + args,
                          file("home"));
    }

    // Runs the command with `path` last, U+FFFD in it as the byte 0xFF: the shell's printf passes that on as it is.
    ProcessRun runOn(const QStringList& args, const QString& path)
    {
        const QString bytes = QString(path).replace(QChar::ReplacementCharacter, QStringLiteral("\\377"));
        const QString script = "exec \"$@\" \"$(printf '" + bytes + "')\"";
        return runProcess("sh", QStringList{"-c", script, "sh", editorBinary()} + args, file(QStringLiteral("home")));
    }

    // Makes the file of that kind (see specialFiles) in `dir`; returns the
    // path to give the command, empty when the system refused (not root).
    static QString makeSpecialFile(const QString& kind, const QString& dir, const QString& target)
    {
        const auto is = [&](const char* end) { return kind.endsWith(QLatin1String(end)); };
        const auto has = [&](const char* word) { return kind.contains(QLatin1String(word)); };
        const QByteArray name = QFile::encodeName(target);
        const QByteArray folderName = QFile::encodeName(dir);
        bool made = is("pipe")      ? ::mkfifo(name, 0600) == 0
            : is("folder") && !has("writable") ? ::mkdir(name, 0700) == 0
            : is("device")          ? ::mknod(name, S_IFCHR | 0666, makedev(1, 3)) == 0  // a /dev/null of our own
            : is("huge file")       ? QFile::resize(writeBytes(target, "old"), qint64(1) << 30)  // sparse: no disk used
            : is("file")            ? ::chmod(QFile::encodeName(writeBytes(target, "old")), has("read-only") ? 0444 : 0604) == 0
                                          && ::chown(name, kOtherUser, kOtherUser) == 0
                                    : true;
        if (has("hard-linked"))
            made = made && ::link(name, folderName + "/other name") == 0;
        if (has("shared sticky"))
            made = made && ::chmod(folderName, 01777) == 0;
        if (has("writable folder"))  // even one only its owner may write, whom a link of theirs would let in
            return ::chown(folderName, kOtherUser, kOtherUser) == 0 && ::chmod(folderName, 0755) == 0 ? dir + "/new.dat"
                                                                                                     : QString();
        if (has("non-UTF-8")) {
            ::close(::open(QFile::encodeName(dir) + "/x\377.dat", O_CREAT | O_WRONLY, 0644));
            return dir + QStringLiteral("/x\uFFFD.dat");
        }
        if (!has("link"))
            return !made ? QString() : is("missing") ? dir + QStringLiteral("/missing.dat") : target;
        // A sticky 1777 folder, ours or another user's; the link ours or that user's.
        const QByteArray folder = QFile::encodeName(dir) + (has("sticky") ? "/sticky" : "");
        const QByteArray link = folder + "/link";
        if (has("sticky"))
            made = made && ::mkdir(folder, 0700) == 0 && ::chmod(folder, 01777) == 0
                && ::chown(folder, has("owner's") || has("another's") ? kOtherUser : ::geteuid(), gid_t(-1)) == 0;
        made = made && ::symlink(has("loop") ? "link" : name.constData(), link) == 0
            && (!(has("other user's") || has("owner's")) || ::lchown(link, kOtherUser, kOtherUser) == 0);
        return made ? QFile::decodeName(link) : QString();
    }

    std::unique_ptr<ScratchStore> m_store;
};

QTEST_GUILESS_MAIN(TestProgramFile)
#include "test_program_file.moc"
