// The year at a glance on a full schedule (900 week and special programs,
// 500 dated and 480 every-year entries over eight circuits): 年間チェック of
// every circuit in memory (target at most 16 ms), and the year calendar's
// PDF of a 年度 as a whole process against a bare Qt program writing a
// one-page PDF (target at most 4 times). Processes are taken in turns round
// by round, medians. `bench_review --calendar OUT` is the calendar process.
#include "bench/Timing.h"
#include "review/CalendarPage.h"
#include "review/YearReview.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

using namespace BenchTiming;

namespace {

constexpr int kProcessRuns = 15;
constexpr int kSchoolYear = 2028;

WhenRuns::Schedule fullSchedule()
{
    WhenRuns::Schedule schedule;
    for (int circuit = 1; circuit <= 8; ++circuit)
        schedule.circuits[circuit] = {circuit % 3 + 1, 5};
    for (int i = 0; i < 900; ++i) {
        WeekRow row;
        row.CircuitNO = i % 8 + 1;
        row.SpecialNO = i % 5 == 0 ? i % 20 : 0;
        row.YobiON = row.YobiOFF = i % 7;
        row.TimeONH = i / 8 % 24;
        row.TimeONM = i % 60;
        row.TimeOFFH = (row.TimeONH + 1) % 24;
        row.ChimeNO = 1;
        schedule.programs << row;
    }
    // Dated entries spread over the 年度 and the one before, every-year
    // entries over the first days of each month.
    const QDate first(kSchoolYear - 1, 4, 1);
    for (int i = 0; i < 500; ++i) {
        const QDate day = first.addDays(i * 730 / 500);
        schedule.dated << WhenRuns::YearEntry{i % 8 + 1, day.year() - 2000, day.month(), day.day(), i % 25};
    }
    for (int i = 0; i < 480; ++i)
        schedule.everyYear << WhenRuns::YearEntry{i % 8 + 1, -1, i / 40 + 1, i % 28 + 1, i % 30};
    return schedule;
}

int writeCalendar(const QString& out)
{
    Review::CalendarSheet sheet;
    sheet.circuit = 1;
    sheet.schoolYear = kSchoolYear;
    sheet.fileName = QStringLiteral("WZ48PROG.dat");
    const QByteArray pdf = Review::CalendarPdf(fullSchedule(), sheet);
    QFile file(out);
    return !pdf.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size() ? 0 : 3;
}

double runToEnd(const QString& program, const QStringList& args)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s %s failed", qPrintable(program), qPrintable(args.join(' ')));
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--calendar") {
        QGuiApplication app(argc, argv);
        return writeCalendar(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    const WhenRuns::Schedule schedule = fullSchedule();
    int findings = 0;
    const double reviewMs =
        medianMs([&] { findings = int(Review::ReviewYear(schedule, kSchoolYear).findings.size()); });
    out << QStringLiteral("年間チェック of a full schedule, 8 circuits, %1 findings (target <= 16 ms)\n").arg(findings);
    out << QStringLiteral("  ReviewYear:            %1 ms\n").arg(reviewMs, 0, 'f', 2);
    const double textMs = medianMs([&] { Review::reviewText(Review::ReviewYear(schedule, kSchoolYear)); });
    out << QStringLiteral("  with its text:         %1 ms\n").arg(textMs, 0, 'f', 2);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    std::vector<double> bare;
    std::vector<double> calendar;
    for (int round = 0; round < kProcessRuns; ++round) {
        bare.push_back(runToEnd(QStringLiteral(WZ_BARE_PDF), {pdf}));
        calendar.push_back(runToEnd(QCoreApplication::applicationFilePath(), {QStringLiteral("--calendar"), pdf}));
    }
    out << QStringLiteral(
               "calendar PDF of a 年度, median of %1 runs taken in turn, whole process (target <= 4 x bare)\n")
               .arg(kProcessRuns);
    out << QStringLiteral("  bare one-page PDF:     %1 ms\n").arg(median(bare), 0, 'f', 2);
    out << QStringLiteral("  year calendar:         %1 ms  (%2 x bare)\n")
               .arg(median(calendar), 0, 'f', 2)
               .arg(median(calendar) / median(bare), 0, 'f', 2);
    return 0;
}
