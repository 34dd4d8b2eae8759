#include "holidays/Holidays.h"
#include "holidays/HolidaysCommand.h"

#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

// The Cabinet Office's lists as published, written out by hand: MMDD and
// the first character of the name.
const QStringList kNames = QStringLiteral(
    "元日 成人の日 建国記念の日 天皇誕生日 春分の日 昭和の日 憲法記念日 みどりの日 こどもの日 海の日 山の日 敬老の日 "
    "秋分の日 体育の日 スポーツの日 文化の日 勤労感謝の日 振替休日 国民の休日 即位の日 礼:即位礼正殿の儀の行われる日")
                                .split(QLatin1Char(' '));

QString nameFor(QChar first)
{
    for (const QString& name : kNames)
        if (name.startsWith(first))
            return name.section(QLatin1Char(':'), -1);
    return QString();
}

const char* const kPublished[] = {
    "2000 0101元 0110成 0211建 0320春 0429み 0503憲 0504国 0505こ 0720海 0915敬 0923秋 1009体 1103文 1123勤 1223天",
    "2001 0101元 0108成 0211建 0212振 0320春 0429み 0430振 0503憲 0504国 0505こ 0720海 0915敬 0923秋 0924振 1008体 "
    "1103文 1123勤 1223天 1224振",
    "2002 0101元 0114成 0211建 0321春 0429み 0503憲 0504国 0505こ 0506振 0720海 0915敬 0916振 0923秋 1014体 1103文 "
    "1104振 1123勤 1223天",
    "2003 0101元 0113成 0211建 0321春 0429み 0503憲 0505こ 0721海 0915敬 0923秋 1013体 1103文 1123勤 1124振 1223天",
    "2004 0101元 0112成 0211建 0320春 0429み 0503憲 0504国 0505こ 0719海 0920敬 0923秋 1011体 1103文 1123勤 1223天",
    "2005 0101元 0110成 0211建 0320春 0321振 0429み 0503憲 0504国 0505こ 0718海 0919敬 0923秋 1010体 1103文 1123勤 "
    "1223天",
    "2006 0101元 0102振 0109成 0211建 0321春 0429み 0503憲 0504国 0505こ 0717海 0918敬 0923秋 1009体 1103文 1123勤 "
    "1223天",
    "2007 0101元 0108成 0211建 0212振 0321春 0429昭 0430振 0503憲 0504み 0505こ 0716海 0917敬 0923秋 0924振 1008体 "
    "1103文 1123勤 1223天 1224振",
    "2008 0101元 0114成 0211建 0320春 0429昭 0503憲 0504み 0505こ 0506振 0721海 0915敬 0923秋 1013体 1103文 1123勤 "
    "1124振 1223天",
    "2009 0101元 0112成 0211建 0320春 0429昭 0503憲 0504み 0505こ 0506振 0720海 0921敬 0922国 0923秋 1012体 1103文 "
    "1123勤 1223天",
    "2010 0101元 0111成 0211建 0321春 0322振 0429昭 0503憲 0504み 0505こ 0719海 0920敬 0923秋 1011体 1103文 1123勤 "
    "1223天",
    "2011 0101元 0110成 0211建 0321春 0429昭 0503憲 0504み 0505こ 0718海 0919敬 0923秋 1010体 1103文 1123勤 1223天",
    "2012 0101元 0102振 0109成 0211建 0320春 0429昭 0430振 0503憲 0504み 0505こ 0716海 0917敬 0922秋 1008体 1103文 "
    "1123勤 1223天 1224振",
    "2013 0101元 0114成 0211建 0320春 0429昭 0503憲 0504み 0505こ 0506振 0715海 0916敬 0923秋 1014体 1103文 1104振 "
    "1123勤 1223天",
    "2014 0101元 0113成 0211建 0321春 0429昭 0503憲 0504み 0505こ 0506振 0721海 0915敬 0923秋 1013体 1103文 1123勤 "
    "1124振 1223天",
    "2015 0101元 0112成 0211建 0321春 0429昭 0503憲 0504み 0505こ 0506振 0720海 0921敬 0922国 0923秋 1012体 1103文 "
    "1123勤 1223天",
    "2016 0101元 0111成 0211建 0320春 0321振 0429昭 0503憲 0504み 0505こ 0718海 0811山 0919敬 0922秋 1010体 1103文 "
    "1123勤 1223天",
    "2017 0101元 0102振 0109成 0211建 0320春 0429昭 0503憲 0504み 0505こ 0717海 0811山 0918敬 0923秋 1009体 1103文 "
    "1123勤 1223天",
    "2018 0101元 0108成 0211建 0212振 0321春 0429昭 0430振 0503憲 0504み 0505こ 0716海 0811山 0917敬 0923秋 0924振 "
    "1008体 1103文 1123勤 1223天 1224振",
    "2019 0101元 0114成 0211建 0321春 0429昭 0430国 0501即 0502国 0503憲 0504み 0505こ 0506振 0715海 0811山 0812振 "
    "0916敬 0923秋 1014体 1022礼 1103文 1104振 1123勤",
    "2020 0101元 0113成 0211建 0223天 0224振 0320春 0429昭 0503憲 0504み 0505こ 0506振 0723海 0724ス 0810山 0921敬 "
    "0922秋 1103文 1123勤",
    "2021 0101元 0111成 0211建 0223天 0320春 0429昭 0503憲 0504み 0505こ 0722海 0723ス 0808山 0809振 0920敬 0923秋 "
    "1103文 1123勤",
    "2022 0101元 0110成 0211建 0223天 0321春 0429昭 0503憲 0504み 0505こ 0718海 0811山 0919敬 0923秋 1010ス 1103文 "
    "1123勤",
    "2023 0101元 0102振 0109成 0211建 0223天 0321春 0429昭 0503憲 0504み 0505こ 0717海 0811山 0918敬 0923秋 1009ス "
    "1103文 1123勤",
    "2024 0101元 0108成 0211建 0212振 0223天 0320春 0429昭 0503憲 0504み 0505こ 0506振 0715海 0811山 0812振 0916敬 "
    "0922秋 0923振 1014ス 1103文 1104振 1123勤",
    "2025 0101元 0113成 0211建 0223天 0224振 0320春 0429昭 0503憲 0504み 0505こ 0506振 0721海 0811山 0915敬 0923秋 "
    "1013ス 1103文 1123勤 1124振",
    "2026 0101元 0112成 0211建 0223天 0320春 0429昭 0503憲 0504み 0505こ 0506振 0720海 0811山 0921敬 0922国 0923秋 "
    "1012ス 1103文 1123勤",
    "2027 0101元 0111成 0211建 0223天 0321春 0322振 0429昭 0503憲 0504み 0505こ 0719海 0811山 0920敬 0923秋 1011ス "
    "1103文 1123勤",
};

QStringList asLines(const QList<Holiday>& days)
{
    QStringList lines;
    for (const Holiday& day : days)
        lines << day.date.toString(Qt::ISODate) + QLatin1Char('\t') + day.name;
    return lines;
}

QStringList publishedLines(const QString& entry)
{
    QStringList codes = entry.split(QLatin1Char(' '));
    const QString year = codes.takeFirst();
    QStringList lines;
    for (const QString& code : codes)
        lines << QStringLiteral("%1-%2-%3\t%4").arg(year, code.mid(0, 2), code.mid(2, 2), nameFor(code.at(4)));
    return lines;
}

struct Run {
    int status = -1;
    QString out, err;
};

Run runBinary(const QStringList& args)
{
    QProcess process;
    process.start(qEnvironmentVariable("WZ_BUILD_DIR") + QStringLiteral("/wzqxprog"), args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

class TestHolidays : public QObject
{
    Q_OBJECT
private slots:
    void publishedYears_data();
    void publishedYears();
    void equinoxForecasts();
    void onlyCoveredYears();
    void command_data();
    void command();
};

void TestHolidays::publishedYears_data()
{
    QTest::addColumn<QString>("entry");
    for (const char* entry : kPublished)
        QTest::newRow(QByteArray(entry, 4).constData()) << QString::fromUtf8(entry);
}

void TestHolidays::publishedYears()
{
    QFETCH(QString, entry);
    const int year = entry.left(4).toInt();
    QCOMPARE(asLines(NationalHolidays(year)), publishedLines(entry));
    QVERIFY(!IsHolidayForecast(year));
}

// The National Astronomical Observatory's long-range dates, including the
// first 19 March (2092) and the years whose equinox falls within an hour
// of midnight in Japan.
void TestHolidays::equinoxForecasts()
{
    const struct {
        int year, vernal, autumnal;
    } forecasts[] = {
        {2028, 20, 22}, {2030, 20, 23}, {2032, 20, 22}, {2044, 20, 22}, {2045, 20, 22}, {2051, 21, 23},
        {2059, 20, 23}, {2074, 20, 23}, {2078, 20, 22}, {2088, 20, 22}, {2092, 19, 22}, {2096, 19, 22},
        {2099, 20, 23},
    };
    for (const auto& forecast : forecasts) {
        QCOMPARE(VernalEquinoxDay(forecast.year), forecast.vernal);
        QCOMPARE(AutumnalEquinoxDay(forecast.year), forecast.autumnal);
    }
    QVERIFY(IsHolidayForecast(kLatestAnnouncedHolidayYear + 1));
}

void TestHolidays::onlyCoveredYears()
{
    QVERIFY(NationalHolidays(1999).isEmpty());
    QVERIFY(NationalHolidays(2100).isEmpty());
    // The last year: 3 May on a Sunday, 敬老の日 on 21 September.
    const QStringList last = asLines(NationalHolidays(2099));
    QCOMPARE(last.size(), 18);
    QVERIFY(last.contains(QStringLiteral("2099-05-06\t振替休日")));
    QVERIFY(last.contains(QStringLiteral("2099-09-22\t国民の休日")));
}

void TestHolidays::command_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("errorStart");  // the start of standard error
    QTest::newRow("announced") << QStringList{"holidays", "2027"} << 0 << "2027-01-01\t元日" << "";
    QTest::newRow("forecast") << QStringList{"holidays", "2028"} << 0 << "2028-01-01\t元日" << "注意: 2028 年の祝日は予測です";
    QTest::newRow("before 2000") << QStringList{"holidays", "1999"} << 64 << "" << "年は 2000 から 2099";
    QTest::newRow("after 2099") << QStringList{"holidays", "2100"} << 64 << "" << "年は 2000 から 2099";
    QTest::newRow("not a year") << QStringList{"holidays", "20x7"} << 64 << "" << "年は 2000 から 2099";
    QTest::newRow("sign") << QStringList{"holidays", "+2027"} << 64 << "" << "年は 2000 から 2099";
    QTest::newRow("no year") << QStringList{"holidays"} << 64 << "" << "使い方";
}

void TestHolidays::command()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, firstLine);
    QFETCH(QString, errorStart);
    const Run run = runBinary(args);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out.section(QLatin1Char('\n'), 0, 0), firstLine);
    QCOMPARE(run.err.left(errorStart.size()), errorStart);
    QCOMPARE(run.err.isEmpty(), errorStart.isEmpty());
    if (status == 0)
        QCOMPARE(run.out, asLines(NationalHolidays(args.at(1).toInt())).join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

QTEST_GUILESS_MAIN(TestHolidays)
#include "test_holidays.moc"
