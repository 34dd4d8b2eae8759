#include "review/CalendarPage.h"
#include "review/SchoolYear.h"
#include "review/YearModel.h"
#include "review/YearReview.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Review;
using WhenRuns::Schedule;
using WhenRuns::YearEntry;

namespace {

// A schedule in words: "p1:0:3" a week program of circuit 1 on Wednesday
// (special 0), "p1:2" a program of special 2, "d1:28-05-03:0" a dated
// 停止, "e1:11-03:4" an every-year special 4. Circuits 1 (報時) and 2
// (チャイム) are configured.
Schedule scheduleOf(const QString& words)
{
    Schedule schedule;
    schedule.circuits[1] = {1, 5};
    schedule.circuits[2] = {2, 10};
    for (const QString& word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList f = word.mid(1).split(QLatin1Char(':'));
        const int circuit = f[0].toInt();
        if (word[0] == QLatin1Char('p')) {
            WeekRow row;
            row.CircuitNO = circuit;
            row.SpecialNO = f[1].toInt();
            row.YobiON = row.YobiOFF = f.value(2).toInt();
            row.TimeONH = 8;
            schedule.programs << row;
            continue;
        }
        const QStringList date = f[1].split(QLatin1Char('-'));
        const int special = f[2].toInt();
        if (word[0] == QLatin1Char('d'))
            schedule.dated << YearEntry{circuit, date[0].toInt(), date[1].toInt(), date[2].toInt(), special};
        else
            schedule.everyYear << YearEntry{circuit, -1, date[0].toInt(), date[1].toInt(), special};
    }
    return schedule;
}

// Programs on school days (Monday to Friday) and in special 1.
const QString kSchool = QStringLiteral("p1:0:1 p1:0:2 p1:0:3 p1:0:4 p1:0:5 p1:1");

// "kind label name holiday runs|quiet band month/row/column".
QString describe(const CalendarDay& day)
{
    static const char* const kinds[] = {"week", "stop", "special", "conflict"};
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7/%8/%9")
        .arg(QLatin1String(kinds[int(day.kind)]), day.label, day.name, day.holiday,
             day.runs ? QStringLiteral("runs") : QStringLiteral("quiet"))
        .arg(day.band)
        .arg(day.month)
        .arg(day.row)
        .arg(day.column)
        .simplified();
}

// "circuit kind day,day holiday special".
QStringList describe(const QList<Finding>& findings)
{
    static const char* const kinds[] = {"holiday", "empty", "outside", "both"};
    QStringList lines;
    for (const Finding& f : findings) {
        QStringList days;
        for (const QDate& day : f.days)
            days << day.toString(Qt::ISODate);
        lines << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(f.circuit)
                     .arg(QLatin1String(kinds[int(f.kind)]), days.join(QLatin1Char(',')), f.holiday)
                     .arg(f.special)
                     .simplified();
    }
    return lines;
}

// The text layer of a PDF as pdftotext reads it, blanks left out.
QString pdfText(const QByteArray& pdf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("calendar.pdf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return QString();
    file.close();
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).remove(QRegularExpression(QStringLiteral("\\s"), QRegularExpression::UseUnicodePropertiesOption));
}

}  // namespace

class TestReview : public QObject
{
    Q_OBJECT
private slots:
    void schoolYears_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("refused");
        QTest::newRow("Reiwa") << 2028 << "2028年度（令和10年度）" << false;
        QTest::newRow("first Reiwa year") << 2019 << "2019年度（令和元年度）" << false;
        QTest::newRow("last Heisei year") << 2018 << "2018年度（平成30年度）" << false;
        QTest::newRow("first") << 2000 << "2000年度（平成12年度）" << false;
        QTest::newRow("last") << 2098 << "2098年度（令和80年度）" << false;
        QTest::newRow("before") << 1999 << "" << true;
        QTest::newRow("after") << 2099 << "" << true;
    }

    void schoolYears()
    {
        QFETCH(int, year);
        QFETCH(QString, title);
        QFETCH(bool, refused);
        QCOMPARE(!schoolYearRefusal(year).isEmpty(), refused);
        QCOMPARE(!CalendarRefusal(scheduleOf(kSchool), 1, year).isEmpty(), refused);
        if (!refused)
            QCOMPARE(schoolYearTitle(year), title);
    }

    void schoolYearOfEntries_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("circuit");
        QTest::addColumn<int>("expected");
        QTest::newRow("January to March count for the 年度 before")
            << "d1:28-04-10:0 d1:29-01-10:0 d1:29-03-31:0 d1:29-04-01:0" << 0 << 2028;
        QTest::newRow("a tie goes to the later") << "d1:27-05-01:0 d1:28-05-01:0" << 0 << 2028;
        QTest::newRow("one circuit only") << "d1:27-05-01:0 d2:28-05-01:0 d2:28-05-02:0" << 1 << 2027;
        QTest::newRow("every-year entries do not count") << "e1:05-01:0" << 0 << 2026;
        QTest::newRow("kept within the years covered") << "d1:00-01-10:0" << 0 << 2000;
    }

    void schoolYearOfEntries()
    {
        QFETCH(QString, words);
        QFETCH(int, circuit);
        QFETCH(int, expected);
        QCOMPARE(SchoolYearOfEntries(scheduleOf(words), circuit, QDate(2026, 12, 7)), expected);
    }

    void days_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("expected");
        QTest::newRow("April starts on a Saturday") << QDate(2028, 4, 1) << "week quiet -1 0/0/6";
        QTest::newRow("October starts on a Sunday") << QDate(2028, 10, 1) << "week quiet -1 6/0/0";
        QTest::newRow("March of the next year") << QDate(2029, 3, 1) << "week runs -1 11/0/4";
        QTest::newRow("last day, sixth row") << QDate(2028, 12, 31) << "week quiet -1 8/5/0";
        QTest::newRow("holiday on a school day") << QDate(2028, 5, 3) << "week 憲法記念日 runs -1 1/0/3";
        QTest::newRow("holiday in the next year") << QDate(2029, 2, 12) << "week 振替休日 runs -1 10/2/1";
        QTest::newRow("stopped holiday") << QDate(2028, 7, 17) << "stop 停止 海の日 quiet -1 3/3/1";
        QTest::newRow("lone stop") << QDate(2028, 6, 14) << "stop 停止 quiet -1 2/2/3";
        QTest::newRow("break begins") << QDate(2028, 7, 21) << "stop 停止 quiet 0 3/3/5";
        QTest::newRow("weekend inside a break") << QDate(2028, 7, 22) << "week quiet 0 3/3/6";
        QTest::newRow("break ends") << QDate(2028, 7, 24) << "stop 停止 quiet 0 3/4/1";
        QTest::newRow("after the break") << QDate(2028, 7, 25) << "week runs -1 3/4/2";
        QTest::newRow("a day that runs ends a run") << QDate(2028, 8, 1) << "stop 停止 quiet -1 4/0/2";
        QTest::newRow("special with its name") << QDate(2028, 5, 1) << "special 特1 短縮 runs -1 1/0/1";
        QTest::newRow("every-year special without programs") << QDate(2029, 1, 9) << "special 特2 quiet -1 9/1/2";
        QTest::newRow("conflict on a holiday") << QDate(2028, 11, 3) << "conflict 競合 文化の日 quiet -1 7/0/5";
    }

    void days()
    {
        QFETCH(QDate, date);
        QFETCH(QString, expected);
        const YearModel model = BuildYearModel(
            scheduleOf(kSchool
                       + " d1:28-07-17:0 d1:28-06-14:0 d1:28-07-21:0 d1:28-07-24:0 d1:28-08-01:0 d1:28-08-03:0"
                         " d1:28-05-01:1 e1:01-09:2 d1:28-11-03:1 e1:11-03:0"),
            1, 2028, {{1, QStringLiteral("短縮")}});
        QCOMPARE(model.days.size(), 365);
        QCOMPARE(model.days.first().date, QDate(2028, 4, 1));
        const auto day = std::find_if(model.days.cbegin(), model.days.cend(),
                                      [&](const CalendarDay& d) { return d.date == date; });
        QCOMPARE(describe(*day), expected);
        QCOMPARE(model.breaks.size(), 1);
        QCOMPARE(model.specials, (QMap<int, QString>{{1, QStringLiteral("短縮")}, {2, QString()}}));
    }

    void findings_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("circuit");
        QTest::addColumn<QStringList>("expected");
        // Wednesday's and Tuesday's holidays of 2028: 憲法記念日 and 春分の日 (March 2029).
        const QString twoDays = QStringLiteral("p1:0:3 p1:0:2 ");
        QTest::newRow("holidays that ring")
            << twoDays << 0 << QStringList{"1 holiday 2028-05-03 憲法記念日 0", "1 holiday 2029-03-20 春分の日 0"};
        QTest::newRow("stopped or special holidays are silent")
            << twoDays + "d1:28-05-03:0 e1:03-20:1 p1:1" << 0 << QStringList{};
        QTest::newRow("a conflict is no ringing holiday")
            << twoDays + "d1:28-05-03:0 e1:05-03:0 d1:29-03-20:0" << 0
            << QStringList{"1 both 2028-05-03 0"};
        QTest::newRow("empty special, dated and every-year days")
            << "p2:5 d2:28-06-01:2 e2:12-25:2 d2:28-06-02:3 p2:3" << 0 << QStringList{"2 empty 2028-06-01,2028-12-25 2"};
        QTest::newRow("29 February in a common 年度")
            << "p1:5 e1:02-29:4" << 0 << QStringList{"1 empty 4"};
        QTest::newRow("dated entries of other 年度")
            << "p1:5 d1:28-03-31:0 d1:29-04-01:0 d1:29-03-31:0 d1:27-06-01:0" << 0
            << QStringList{"1 outside 2027-06-01,2028-03-31,2029-04-01 0"};
        QTest::newRow("circuit chosen") << twoDays + "p2:0:3 d2:27-06-01:0" << 2 << QStringList{"2 holiday 2028-05-03 憲法記念日 0", "2 outside 2027-06-01 0"};
        QTest::newRow("unconfigured circuit left out") << "p3:0:3 d3:27-06-01:0" << 0 << QStringList{};
    }

    void findings()
    {
        QFETCH(QString, words);
        QFETCH(int, circuit);
        QFETCH(QStringList, expected);
        const YearReview review = ReviewYear(scheduleOf(words), 2028, circuit);
        QCOMPARE(describe(review.findings), expected);
        QCOMPARE(reviewJson(review).value(QStringLiteral("findings")).toArray().size(), expected.size());
    }

    // The text and JSON the command will print, whole.
    void renderings()
    {
        Schedule schedule = scheduleOf(QStringLiteral("p1:0:3 e1:11-03:2 d1:28-11-03:0 d1:27-01-05:0"));
        const YearReview review = ReviewYear(schedule, 2028, 0, {{2, QStringLiteral("行事")}});
        QCOMPARE(reviewText(review),
                 QStringLiteral("2028年度（令和10年度）の年間チェック\n\n"
                                "回路 1\n"
                                "  2028年5月3日（水） 憲法記念日: 祝日ですが週間プログラム（水曜日）が実行されます。\n"
                                "  特殊番号 2（行事） にはプログラムがありません。指定した日には何も実行されません: 2028年11月3日（金）\n"
                                "  2028年度以外の日付指定が 1 件あります: 2027年1月5日（火）\n"
                                "  2028年11月3日（金）: 年間（2028年）停止 と 年間（毎年）特殊番号 2 が重なっています。"
                                "どちらが実行されるかは決まっていません。\n\n"
                                "回路 2\n  指摘はありません。\n\n"
                                "指摘 4 件\n"
                                "残り: 週間・特殊プログラム 899 / 900、年間プログラム（日付指定） 498 / 500\n"));
        const QJsonObject json = reviewJson(review);
        QCOMPARE(QJsonDocument(json.value(QStringLiteral("findings")).toArray().at(1).toObject())
                     .toJson(QJsonDocument::Compact),
                 QByteArray(R"({"circuit":1,"days":["2028-11-03"],"entries":null,"holiday":null,"kind":"empty-special",)"
                            R"("name":"行事","special":2,"text":"特殊番号 2（行事） にはプログラムがありません。)"
                            R"(指定した日には何も実行されません: 2028年11月3日（金）"})"));
        QCOMPARE(QJsonDocument(json.value(QStringLiteral("room")).toObject()).toJson(QJsonDocument::Compact),
                 QByteArray(R"({"dated":498,"datedCapacity":500,"weekAndSpecial":899,"weekAndSpecialCapacity":900})"));
        schedule.circuits[1].program = 0;
        schedule.circuits[2].program = 0;
        QCOMPARE(reviewText(ReviewYear(schedule, 2028)).section(QLatin1Char('\n'), 2, 2), QStringLiteral("指摘はありません。"));
    }

    void calendarRefused_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("circuit");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("year before") << kSchool << 1 << 1999 << "年度は 2000 から 2098 までの西暦 4 桁で指定してください: 1999";
        QTest::newRow("circuit with year entries only")
            << "d2:28-05-01:0" << 2 << 2028 << "回路 2 にはプログラムがありません。年間カレンダーは印刷しません。";
        QTest::newRow("circuit without a type") << "p3:0:1" << 3 << 2028 << "回路 3 にはプログラムがありません。年間カレンダーは印刷しません。";
    }

    void calendarRefused()
    {
        QFETCH(QString, words);
        QFETCH(int, circuit);
        QFETCH(int, year);
        QFETCH(QString, refusal);
        QString why;
        CalendarSheet sheet;
        sheet.circuit = circuit;
        sheet.schoolYear = year;
        QVERIFY(CalendarPdf(scheduleOf(words), sheet, &why).isEmpty());
        QCOMPARE(why, refusal);
    }

    // The page's text reads back: heading, a holiday, a 日課 name, the foot.
    void calendarPdf_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<QByteArray>("mediaBox");
        QTest::newRow("A4") << int(Paper::A4) << QByteArray("/MediaBox [0 0 842.000000 595.000000]");
        QTest::newRow("A3") << int(Paper::A3) << QByteArray("/MediaBox [0 0 1191.000000 842.000000]");
    }

    void calendarPdf()
    {
        QFETCH(int, paper);
        QFETCH(QByteArray, mediaBox);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("no pdftotext");
        CalendarSheet sheet;
        sheet.circuit = 1;
        sheet.schoolYear = 2028;
        sheet.names = {{1, QStringLiteral("短縮授業")}};
        sheet.fileName = QStringLiteral("WZ48PROG.dat");
        sheet.paper = Paper(paper);
        sheet.printedAt = QDateTime(QDate(2028, 3, 20), QTime(7, 5));
        const QByteArray pdf = CalendarPdf(scheduleOf(kSchool + " d1:28-05-01:1 d1:28-07-21:0"), sheet);
        QVERIFY(pdf.contains(mediaBox));
        const QString text = pdfText(pdf);
        for (const char* expected : {"2028年度（令和10年度）年間カレンダー", "回路1", "報時プログラム", "昭和の日", "特1短縮授業",
                                     "日課:特1短縮授業", "印刷日:2028/03/2007:05", "WZ48PROG.dat"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    }
};

QTEST_MAIN(TestReview)
#include "test_review.moc"
