#include "TestSupport.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ProgramStore.h"
#include "store/StoreRoutines.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace TestSupport;

namespace {

struct Run {
    int status = -1;
    QStringList out;
    QString err;
};

// Chimes on circuit 1, timers on circuit 3, New Year as a conflict on
// circuit 1 and as special 4 on circuit 3 in 2027.
void fillSchedule()
{
    setCircuit(1, 2, 10);
    setCircuit(3, 3, 0);
    addWeekRow(1, 0, 1, 0, 8, 30, 5, 0, 0, 0, 3);
    addWeekRow(1, 5, 0, 0, 10, 0, 0, 0, 0, 0, 2);
    addWeekRow(3, 0, 4, 5, 22, 0, 0, 6, 0);
    addWeekRow(3, 4, 0, 0, 23, 30, 0, 1, 0);
    addEveryYearRow(1, 1, 1, 5);
    addYearRow(1, 27, 1, 1, 0);
    addYearRow(3, 27, 1, 1, 4);
}

}  // namespace

class TestWhenRunsCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_binary = qEnvironmentVariable("WZ_BUILD_DIR") + QStringLiteral("/wzqxprog");
        QVERIFY2(QFile::exists(m_binary), qPrintable(m_binary));
        m_store = std::make_unique<ScratchStore>();
        m_base = scheduleFile(QStringLiteral("base.dat"));
    }

    void cleanupTestCase() { m_store.reset(); }

    void dayText()
    {
        const Run result = run({"day", m_base, "2027-01-01"});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, (QStringList{
                                 "2027年1月1日（金）",
                                 "回路 1  チャイム  競合: 年間（2027年）停止 ／ 年間（毎年）特殊番号 5",
                                 "  この日には年間プログラムの指定が重なっています。どれが実行されるかは決まっていません。",
                                 "回路 3  タイマ  年間（2027年）: 特殊番号 4",
                                 "  22:00 ～ 金  6:00  （前日から継続）",
                                 "  23:30 ～ 土  1:00",
                             }));
        QVERIFY2(!QDir(m_dir.filePath(QStringLiteral("home"))).exists(), "the editor's store was touched");
    }

    void dayJson()
    {
        const QByteArray expected = R"({"date": "2027-01-01", "circuits": [
          {"circuit": 1, "type": 2,
           "source": {"kind": "conflict", "weekday": 5, "special": null, "entry": null, "hasPrograms": null,
                      "entries": [{"entry": "dated", "special": 0}, {"entry": "every-year", "special": 5}]},
           "programs": []},
          {"circuit": 3, "type": 3,
           "source": {"kind": "special", "weekday": 5, "special": 4, "entry": "dated", "hasPrograms": true,
                      "entries": null},
           "programs": [
             {"start": "22:00:00", "end": "06:00", "endDay": 5, "tune": null, "interval": null, "fromPreviousDay": true},
             {"start": "23:30:00", "end": "01:00", "endDay": 6, "tune": null, "interval": null, "fromPreviousDay": false}]}
        ]})";
        const auto json = [this](const char* date) {
            const Run result = run({"day", m_base, date, "--json"});
            return result.status == 0 ? QJsonDocument::fromJson(result.out.join('\n').toUtf8()) : QJsonDocument();
        };
        QCOMPARE(json("2027-01-01"), QJsonDocument::fromJson(expected));
        // A weekday: chime programs with their tune, every other key null.
        QCOMPARE(json("2027-01-04")["circuits"][0], QJsonValue(QJsonDocument::fromJson(R"({"circuit": 1, "type": 2,
            "source": {"kind": "week", "weekday": 1, "special": null, "entry": null, "hasPrograms": null, "entries": null},
            "programs": [{"start": "08:30:05", "end": null, "endDay": null, "tune": 3, "interval": null,
                          "fromPreviousDay": false}]})").object()));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        const QString refused = writeBytes(m_dir.filePath(QStringLiteral("refused.dat")), "*01\r\n");
        const QString missing = m_dir.filePath(QStringLiteral("missing.dat"));
        QTest::newRow("no 29 February in 2027") << QStringList{"day", m_base, "2027-02-29"} << 64 << QString();
        QTest::newRow("before 2000") << QStringList{"day", m_base, "1999-12-31"} << 64 << QString();
        QTest::newRow("unpadded date") << QStringList{"day", m_base, "2027-1-1"} << 64 << QString();
        QTest::newRow("no date") << QStringList{"day", m_base} << 64 << QString();
        QTest::newRow("refused file") << QStringList{"day", refused, "2027-01-01"} << 1 << QString();
        QTest::newRow("missing file") << QStringList{"day", missing, "2027-01-01", "--json"} << 3 << QString();
        QTest::newRow("diff, refused file") << QStringList{"diff", m_base, refused} << 3 << refused + ": データが不正です。";
        QTest::newRow("diff, missing file") << QStringList{"diff", missing, m_base} << 3 << missing;
        QTest::newRow("diff, one file") << QStringList{"diff", m_base} << 64 << QString();
    }

    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, err);
        const Run result = run(args);
        QCOMPARE(result.status, status);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(!result.err.isEmpty() && result.err.startsWith(err), qPrintable(result.err));
    }

    void diff_data()
    {
        QTest::addColumn<QString>("changed");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines");  // after the two header lines

        // The same schedule with its record lines reversed and no trailer.
        QList<QByteArray> lines = readBytes(m_base).split('\n');
        lines.removeAll(QByteArray());
        lines.removeLast();
        std::reverse(lines.begin(), lines.end());
        QTest::newRow("line order only") << writeBytes(m_dir.filePath(QStringLiteral("reordered.dat")),
                                                       lines.join('\n') + '\n')
                                         << 0 << QStringList{};
        QTest::newRow("one program") << scheduleFile(QStringLiteral("program.dat"), [] {
            ProgramStore::exec(QStringLiteral("UPDATE T_Week SET TimeONM = 45 WHERE TimeONM = 30 AND CircuitNO = 1"));
        }) << 1 << QStringList{"回路 1", "  - 週間 月  8:30.05  曲番号 3", "  + 週間 月  8:45.05  曲番号 3"};
        QTest::newRow("one year entry") << scheduleFile(QStringLiteral("year.dat"), [] {
            ProgramStore::exec(QStringLiteral("UPDATE T_Year SET SpecialNO = 5 WHERE CircuitNO = 1"));
            addEveryYearRow(3, 12, 24, 0);
        }) << 1 << QStringList{"回路 1", "  * 年間 2027年1月1日 停止 → 特殊番号 5", "回路 3", "  + 年間 毎年12月24日 停止"};
        QTest::newRow("circuit type") << scheduleFile(QStringLiteral("type.dat"), [] { setCircuit(1, 1, 5); })
                                      << 1 << QStringList{"回路 1", "  * 種類: チャイム → 報時",
                                                          "  * 出力時間／チャイム起動時間: 10秒 → 5秒"};
    }

    void diff()
    {
        QFETCH(QString, changed);
        QFETCH(int, status);
        QFETCH(QStringList, lines);
        const Run result = run({"diff", m_base, changed});
        QCOMPARE(result.status, status);
        QCOMPARE(result.out.mid(2), lines);
        if (status == 1)
            QCOMPARE(result.out.mid(0, 2), (QStringList{"--- " + m_base, "+++ " + changed}));
        else
            QVERIFY(result.out.isEmpty());
    }


private:
    Run run(const QStringList& args);
    // The program file of fillSchedule() after `change`.
    QString scheduleFile(const QString& name, const std::function<void()>& change = {});

    QString m_binary;
    QTemporaryDir m_dir;
    std::unique_ptr<ScratchStore> m_store;
    QString m_base;
};

QString TestWhenRunsCli::scheduleFile(const QString& name, const std::function<void()>& change)
{
    ClearAllData();
    fillSchedule();
    if (change)
        change();
    for (const char* table : {"T_Week", "T_Year", "T_YearE"})
        RenumberTable(QLatin1String(table));
    return writeBytes(m_dir.filePath(name), ProgramFileWriter::buildProgramFile());
}

// Without a display and with a home of its own, as in the check tests.
Run TestWhenRunsCli::run(const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("home/data")));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(m_binary, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    Run result;
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QTEST_GUILESS_MAIN(TestWhenRunsCli)
#include "test_when_runs_cli.moc"
