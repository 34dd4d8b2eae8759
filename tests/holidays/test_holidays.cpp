#include "holidays/Holidays.h"

#include <QProcess>
#include <QTest>

namespace {

// The holidays on the same date every year.
const QString kFixed = QStringLiteral("0101元 0211建 0503憲 0505こ 1103文 1123勤");

// The Cabinet Office's lists as published, written out by hand as MMDD and the first character of the name, the fixed
// holidays left out; then 2099, the last year covered, a forecast with 3 May on a Sunday and 敬老の日 on
// 21 September.
const char* const kYears[] = {
    "2000 0110成 0320春 0429み 0504国 0720海 0915敬 0923秋 1009体 1223天",
    "2001 0108成 0212振 0320春 0429み 0430振 0504国 0720海 0915敬 0923秋 0924振 1008体 1223天 1224振",
    "2002 0114成 0321春 0429み 0504国 0506振 0720海 0915敬 0916振 0923秋 1014体 1104振 1223天",
    "2003 0113成 0321春 0429み 0721海 0915敬 0923秋 1013体 1124振 1223天",
    "2004 0112成 0320春 0429み 0504国 0719海 0920敬 0923秋 1011体 1223天",
    "2005 0110成 0320春 0321振 0429み 0504国 0718海 0919敬 0923秋 1010体 1223天",
    "2006 0102振 0109成 0321春 0429み 0504国 0717海 0918敬 0923秋 1009体 1223天",
    "2007 0108成 0212振 0321春 0429昭 0430振 0504み 0716海 0917敬 0923秋 0924振 1008体 1223天 1224振",
    "2008 0114成 0320春 0429昭 0504み 0506振 0721海 0915敬 0923秋 1013体 1124振 1223天",
    "2009 0112成 0320春 0429昭 0504み 0506振 0720海 0921敬 0922国 0923秋 1012体 1223天",
    "2010 0111成 0321春 0322振 0429昭 0504み 0719海 0920敬 0923秋 1011体 1223天",
    "2011 0110成 0321春 0429昭 0504み 0718海 0919敬 0923秋 1010体 1223天",
    "2012 0102振 0109成 0320春 0429昭 0430振 0504み 0716海 0917敬 0922秋 1008体 1223天 1224振",
    "2013 0114成 0320春 0429昭 0504み 0506振 0715海 0916敬 0923秋 1014体 1104振 1223天",
    "2014 0113成 0321春 0429昭 0504み 0506振 0721海 0915敬 0923秋 1013体 1124振 1223天",
    "2015 0112成 0321春 0429昭 0504み 0506振 0720海 0921敬 0922国 0923秋 1012体 1223天",
    "2016 0111成 0320春 0321振 0429昭 0504み 0718海 0811山 0919敬 0922秋 1010体 1223天",
    "2017 0102振 0109成 0320春 0429昭 0504み 0717海 0811山 0918敬 0923秋 1009体 1223天",
    "2018 0108成 0212振 0321春 0429昭 0430振 0504み 0716海 0811山 0917敬 0923秋 0924振 1008体 1223天 1224振",
    "2019 0114成 0321春 0429昭 0430国 0501即 0502国 0504み 0506振 0715海 0811山 0812振 0916敬 0923秋 1014体 1022礼 1104振",
    "2020 0113成 0223天 0224振 0320春 0429昭 0504み 0506振 0723海 0724ス 0810山 0921敬 0922秋",
    "2021 0111成 0223天 0320春 0429昭 0504み 0722海 0723ス 0808山 0809振 0920敬 0923秋",
    "2022 0110成 0223天 0321春 0429昭 0504み 0718海 0811山 0919敬 0923秋 1010ス",
    "2023 0102振 0109成 0223天 0321春 0429昭 0504み 0717海 0811山 0918敬 0923秋 1009ス",
    "2024 0108成 0212振 0223天 0320春 0429昭 0504み 0506振 0715海 0811山 0812振 0916敬 0922秋 0923振 1014ス 1104振",
    "2025 0113成 0223天 0224振 0320春 0429昭 0504み 0506振 0721海 0811山 0915敬 0923秋 1013ス 1124振",
    "2026 0112成 0223天 0320春 0429昭 0504み 0506振 0720海 0811山 0921敬 0922国 0923秋 1012ス",
    "2027 0111成 0223天 0321春 0322振 0429昭 0504み 0719海 0811山 0920敬 0923秋 1011ス",
    "2099 0112成 0223天 0320春 0429昭 0504み 0506振 0720海 0811山 0921敬 0922国 0923秋 1012ス",
};

QStringList asLines(const QList<Holiday>& days)
{
    QStringList lines;
    for (const Holiday& day : days)
        lines << day.date.toString(Qt::ISODate) + QLatin1Char('\t') + day.name;
    return lines;
}

}  // namespace

class TestHolidays : public QObject
{
    Q_OBJECT
private slots:
    void listedYears()
    {
        // A holiday's name by its first character; 礼 stands for the
        // enthronement ceremony, whose own first character 即位の日 has taken.
        QHash<QChar, QString> names;
        for (const QString& name : QStringLiteral(
                 "元日 成人の日 建国記念の日 天皇誕生日 春分の日 昭和の日 憲法記念日 みどりの日 こどもの日 海の日 山の日 敬老の日 "
                 "秋分の日 体育の日 スポーツの日 文化の日 勤労感謝の日 振替休日 国民の休日 即位の日 礼:即位礼正殿の儀の行われる日")
                                       .split(QLatin1Char(' ')))
            names[name.at(0)] = name.section(QLatin1Char(':'), -1);
        for (const char* entry : kYears) {
            QStringList codes = QString::fromUtf8(entry).split(QLatin1Char(' ')) + kFixed.split(QLatin1Char(' '));
            const int year = codes.takeFirst().toInt();
            QStringList expected;
            for (const QString& code : codes)
                expected << QStringLiteral("%1-%2-%3\t%4").arg(QString::number(year), code.left(2), code.mid(2, 2),
                                                                names.value(code.at(4)));
            expected.sort();
            QCOMPARE(asLines(NationalHolidays(year)), expected);
        }
        QVERIFY(NationalHolidays(1999).isEmpty() && NationalHolidays(2100).isEmpty());

        // The National Astronomical Observatory's long-range dates, including the first 19 March (2092) and the years
        // whose equinox falls within an hour of midnight in Japan.
        const int forecasts[][3] = {{2028, 20, 22}, {2030, 20, 23}, {2032, 20, 22}, {2044, 20, 22}, {2045, 20, 22},
                                    {2051, 21, 23}, {2059, 20, 23}, {2074, 20, 23}, {2078, 20, 22}, {2088, 20, 22},
                                    {2092, 19, 22}, {2096, 19, 22}, {2099, 20, 23}};
        for (const auto& [year, vernal, autumnal] : forecasts)
            QCOMPARE(std::make_pair(VernalEquinoxDay(year), AutumnalEquinoxDay(year)),
                     std::make_pair(vernal, autumnal));
    }

    void command_data()
    {
        QTest::addColumn<QStringList>("args"); QTest::addColumn<int>("status");
        QTest::addColumn<QString>("errorStart");  // the start of standard error
        QTest::addColumn<QString>("edges");       // a school year's first and last lines
        QTest::newRow("announced") << QStringList{"holidays", "2027"} << 0 << "" << "";
        QTest::newRow("forecast") << QStringList{"holidays", "2028"} << 0 << "注意: 2028 年の祝日は予測です" << "";
        for (const char* year : {"1999", "2100", "20x7", "+2027", "02027"})
            QTest::newRow(year) << QStringList{"holidays", year} << 64 << "年は 2000 から 2099" << "";
        const QString oneYear = QStringLiteral("holidays には年 (YEAR または --school-year YEAR) を一つ指定してください。");
        QTest::newRow("no year") << QStringList{"holidays"} << 64 << oneYear + "\n使い方" << "";
        QTest::newRow("school year") << QStringList{"holidays", "--school-year", "2026"} << 0 << ""
                                     << "2026-04-29\t昭和の日 2027-03-22\t振替休日";
        QTest::newRow("school year into a forecast") << QStringList{"holidays", "--school-year", "2027"} << 0
                                                     << "注意: 2027 年度のうち 2028 年の祝日は予測です" << "";
        QTest::newRow("school year forecast") << QStringList{"holidays", "--school-year", "2028"} << 0
                                              << "注意: 2028 年度の祝日は予測です" << "";
        QTest::newRow("school year 2099") << QStringList{"holidays", "--school-year", "2099"} << 64
                                          << "年度は 2000 から 2098" << "";
        QTest::newRow("school year missing") << QStringList{"holidays", "--school-year"} << 64
                                             << "--school-year に値がありません。\n使い方" << "";
        QTest::newRow("year and school year") << QStringList{"holidays", "2026", "--school-year", "2026"} << 64
                                              << oneYear << "";
        QTest::newRow("unknown option") << QStringList{"holidays", "--school", "2026"} << 64
                                        << "不明なオプションです: --school\n使い方" << "";
    }
    void command()
    {
        QFETCH(QStringList, args); QFETCH(int, status); QFETCH(QString, errorStart); QFETCH(QString, edges);
        QProcess process;
        process.start(qEnvironmentVariable("WZ_EDITOR"), args);
        QVERIFY(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        // Windows' C library ends the lines of standard error with CR LF.
        const QString err = QString::fromUtf8(process.readAllStandardError()).remove(QLatin1Char('\r'));
        QCOMPARE(err.left(errorStart.isEmpty() ? 1 : errorStart.size()), errorStart);  // none when none is expected
        const int year = args.last().toInt();
        const QList<Holiday> days = args.contains("--school-year") ? SchoolYearHolidays(year) : NationalHolidays(year);
        const QStringList out = status == 0 ? asLines(days) << QString() : QStringList();
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), out.join(QLatin1Char('\n')));
        if (!edges.isEmpty())
            QCOMPARE(out.first() + ' ' + out.at(out.size() - 2), edges);
    }
};

QTEST_GUILESS_MAIN(TestHolidays)
#include "test_holidays.moc"
