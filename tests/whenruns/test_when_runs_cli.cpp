#include "TestSupport.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"

#include <QJsonDocument>
#include <QtTest>
#include <functional>

using namespace TestSupport;

class TestWhenRunsCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_base = scheduleFile(QStringLiteral("base.dat")); }

    void commands_data()
    {
        QTest::addColumn<QStringList>("args"); QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("out");  // with --json: one JSON document
        QTest::addColumn<QString>("err");      // how the message starts

        QTest::newRow("day") << QStringList{"day", m_base, "2027-01-01"} << 0 << QStringList{
            "2027年1月1日（金）",
            "回路 1  チャイム  競合: 年間（2027年）停止 ／ 年間（毎年）特殊番号 5",
            "  この日には年間プログラムの指定が重なっています。どれが実行されるかは決まっていません。",
            "回路 3  タイマ  年間（2027年）: 特殊番号 4",
            "  22:00 ～ 金  6:00  （前日から継続）",
            "  23:30 ～ 土  1:00",
        } << QString();
        QTest::newRow("day, JSON") << QStringList{"day", m_base, "2027-01-01", "--json"} << 0 << QStringList{R"(
            {"date": "2027-01-01", "circuits": [
             {"circuit": 1, "type": 2, "programs": [],
              "source": {"kind": "conflict", "weekday": 5, "special": null, "entry": null, "hasPrograms": null,
                         "entries": [{"entry": "dated", "special": 0}, {"entry": "every-year", "special": 5}]}},
             {"circuit": 3, "type": 3,
              "source": {"kind": "special", "weekday": 5, "special": 4, "entry": "dated", "hasPrograms": true,
                         "entries": null},
              "programs": [{"start": "22:00:00", "end": "06:00", "endDay": 5, "tune": null, "interval": null,
                            "fromPreviousDay": true},
                           {"start": "23:30:00", "end": "01:00", "endDay": 6, "tune": null, "interval": null,
                            "fromPreviousDay": false}]}]})"} << QString();
        // A weekday: chime programs with their tune, every other key null.
        const QString weekSource = R"({"kind": "week", "weekday": 1, "special": null, "entry": null,
                                       "hasPrograms": null, "entries": null})";
        QTest::newRow("weekday, JSON") << QStringList{"day", m_base, "2027-01-04", "--json"} << 0 << QStringList{R"(
            {"date": "2027-01-04", "circuits": [
             {"circuit": 1, "type": 2, "source": )" + weekSource + R"(,
              "programs": [{"start": "08:30:05", "end": null, "endDay": null, "tune": 3, "interval": null,
                            "fromPreviousDay": false}]},
             {"circuit": 3, "type": 3, "source": )" + weekSource + R"(, "programs": []}]})"} << QString();

        const QString refused = writeBytes(file(QStringLiteral("refused.dat")), "*01\r\n");
        const QString missing = file(QStringLiteral("missing.dat"));
        const auto refusal = [](const char* name, const QStringList& args, int status, const QString& err = {}) {
            QTest::newRow(name) << args << status << QStringList() << err;
        };
        refusal("no 29 February in 2027", {"day", m_base, "2027-02-29"}, 64);
        refusal("before 2000", {"day", m_base, "1999-12-31"}, 64);
        refusal("unpadded date", {"day", m_base, "2027-1-1"}, 64);
        refusal("no date", {"day", m_base}, 64);
        refusal("--json for the date", {"day", m_base, "--json"}, 64, "day には FILE と YYYY-MM-DD を指定してください");
        refusal("refused file", {"day", refused, "2027-01-01"}, 1);
        refusal("missing file", {"day", missing, "2027-01-01", "--json"}, 3);
        refusal("diff, refused file", {"diff", m_base, refused}, 3, refused + ": データが不正です。");
        refusal("diff, missing file", {"diff", missing, m_base}, 3, missing);
        refusal("diff, one file", {"diff", m_base}, 64);
        refusal("diff, an option for a file", {"diff", m_base, "-x"}, 64, "diff には OLD と NEW を指定してください");
        // review's 1 is its findings: a refused file is one it cannot read.
        refusal("review, refused file", {"review", refused}, 3, refused + ": データが不正です。");
        refusal("review, missing file", {"review", missing, "--json"}, 3, missing);
        refusal("review, 年度 after the holidays known", {"review", m_base, "--school-year", "2099"}, 64, "年度は 2000 から 2098");
        refusal("review, circuit 9", {"review", m_base, "--circuit", "9"}, 64, "--circuit");
        refusal("review, circuit not set up", {"review", m_base, "--circuit", "8"}, 4, "回路8 は初期設定されていない");

        // diff: the changes after a header of the two names.
        const auto diff = [this](const char* name, const QString& changed, const QStringList& lines) {
            QTest::newRow(name) << QStringList{"diff", m_base, changed} << int(!lines.isEmpty())
                                << (lines.isEmpty() ? lines : QStringList{"--- " + m_base, "+++ " + changed} + lines)
                                << QString();
        };
        // The same schedule with its record lines reversed and no trailer.
        QList<QByteArray> lines = readBytes(m_base).split('\n');
        lines.removeAll(QByteArray());
        lines.removeLast();
        std::reverse(lines.begin(), lines.end());
        diff("line order only", writeBytes(file(QStringLiteral("reordered.dat")), lines.join('\n') + '\n'), {});
        diff("one program", scheduleFile(QStringLiteral("program.dat"), [] {
            Scratch::exec(QStringLiteral("UPDATE T_Week SET TimeONM = 45 WHERE TimeONM = 30 AND CircuitNO = 1"));
        }), {"回路 1", "  - 週間 月  8:30.05  曲番号 3", "  + 週間 月  8:45.05  曲番号 3"});
        diff("one year entry", scheduleFile(QStringLiteral("year.dat"), [] {
            Scratch::exec(QStringLiteral("UPDATE T_Year SET SpecialNO = 5 WHERE CircuitNO = 1"));
            addEveryYearRow(3, 12, 24, 0);
        }), {"回路 1", "  * 年間 2027年1月1日 停止 → 特殊番号 5", "回路 3", "  + 年間 毎年12月24日 停止"});
        diff("circuit type", scheduleFile(QStringLiteral("type.dat"), [] { setCircuit(1, 1, 5); }),
             {"回路 1", "  * 種類: チャイム → 報時", "  * 出力時間／チャイム起動時間: 10秒 → 5秒"});
    }

    // A refusal says why on standard error and nothing on standard output.
    void commands()
    {
        QFETCH(QStringList, args); QFETCH(int, status); QFETCH(QStringList, out); QFETCH(QString, err);
        const ProcessRun result = runEditor(args, file(QStringLiteral("home")));
        QCOMPARE(result.status, status);
        if (args.contains(QStringLiteral("--json")) && status == 0)
            QCOMPARE(QJsonDocument::fromJson(result.out.join('\n').toUtf8()),
                     QJsonDocument::fromJson(out.join('\n').toUtf8()));
        else
            QCOMPARE(result.out, out);
        QVERIFY2(result.err.startsWith(err), qPrintable(result.err));
        QCOMPARE(result.err.isEmpty(), status == 0 || !out.isEmpty());
        QVERIFY2(!QDir(file(QStringLiteral("home"))).exists(), "the editor's store was touched");
    }

    void review_data()
    {
        QTest::addColumn<QStringList>("args"); QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines");  // lines of the text, the first one first; with --json, parts of it compact
        const QString later = scheduleFile(QStringLiteral("later.dat"), [] {
            Scratch::exec(QStringLiteral("UPDATE T_Year SET Year = 30"));
        });
        QTest::newRow("findings") << QStringList{"review", m_base, "--school-year", "2026"} << 1 << QStringList{
            "2026年度（令和8年度）の年間チェック", "回路 1", 
            "  2027年1月1日（金）: 年間（2027年）停止 と 年間（毎年）特殊番号 5 が重なっています。どちらが実行されるかは決まっていません。"};
        QTest::newRow("JSON") << QStringList{"review", m_base, "--school-year", "2026", "--json", "--circuit", "1"} << 1
                              << QStringList{R"("circuits":[1],)", R"("schoolYear":2026)",
                                             R"({"circuit":1,"days":["2027-01-01"],"entries":[{"entry":"dated","special":0},{"entry":"every-year","special":5}])"};
        QTest::newRow("年度 of the dated entries") << QStringList{"review", later} << 1
                                                  << QStringList{"2029年度（令和11年度）の年間チェック"};
        QTest::newRow("last 年度") << QStringList{"review", m_base, "--school-year", "2098"} << 1
                                   << QStringList{"2098年度（令和80年度）の年間チェック"};
        QTest::newRow("nothing found") << QStringList{"review", scheduleFile(QStringLiteral("empty.dat"), [] { ClearAllData(Scratch::document()); }),
                                                       "--school-year", "2030"}
                                       << 0 << QStringList{"2030年度（令和12年度）の年間チェック", "指摘はありません。"};
    }

    void review()
    {
        QFETCH(QStringList, args); QFETCH(int, status); QFETCH(QStringList, lines);
        const ProcessRun result = runEditor(args, file(QStringLiteral("home")));
        QCOMPARE(result.status, status);
        QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
        if (args.contains(QStringLiteral("--json"))) {
            const QJsonDocument json = QJsonDocument::fromJson(result.out.join('\n').toUtf8());
            QVERIFY(json.isObject());
            const QString compact = QString::fromUtf8(json.toJson(QJsonDocument::Compact));
            for (const QString& part : lines)
                QVERIFY2(compact.contains(part), qPrintable(part + " in\n" + compact));
            return;
        }
        QVERIFY2(!result.out.isEmpty() && result.out.first() == lines.first(), qPrintable(result.out.join('\n')));
        for (const QString& line : lines)
            QVERIFY2(result.out.contains(line), qPrintable(line + " in\n" + result.out.join('\n')));
    }

private:
    QString file(const QString& name) const { return m_store.path() + QLatin1Char('/') + name; }

    // The program file of chimes on circuit 1, timers on circuit 3, New Year as a conflict on circuit 1 and as
    // special 4 on circuit 3 in 2027, after `change`.
    QString scheduleFile(const QString& name, const std::function<void()>& change = {})
    {
        ClearAllData(Scratch::document());
        setCircuit(1, 2, 10);
        setCircuit(3, 3, 0);
        addRows({{1, 0, 1, 0, 8, 30, 5, 0, 0, 0, 3}, {1, 5, 0, 0, 10, 0, 0, 0, 0, 0, 2}, {3, 0, 4, 5, 22, 0, 0, 6, 0},
                 {3, 4, 0, 0, 23, 30, 0, 1, 0}, {1, 1, 1, 5}, {1, 27, 1, 1, 0}, {3, 27, 1, 1, 4}});
        if (change)
            change();
        return writeBytes(file(name), ProgramFileWriter::buildProgramFile(Scratch::document()));
    }

    ScratchStore m_store;
    QString m_base;
};

QTEST_GUILESS_MAIN(TestWhenRunsCli)
#include "test_when_runs_cli.moc"
