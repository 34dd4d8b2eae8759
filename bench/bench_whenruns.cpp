// What runs when, at full capacity: `wzqxprog day` and `wzqxprog diff`
// against `wzqxprog check` of the same file (whole process, medians side
// by side; target within 1.3 times), and the week timeline of a full
// circuit redrawn after a list change (target under one 16 ms frame).
#include "TestSupport.h"
#include "bench/Timing.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "whenruns/Schedule.h"
#include "whenruns/WeekTimeline.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

using namespace BenchTiming;
using namespace TestSupport;

namespace {

constexpr int kProcessRuns = 31;
constexpr int kEveryYearRows = 200;

// 900 week and special rows over all eight circuits (one of each type
// twice), 500 dated and 200 every-year entries. `shift` moves a few rows
// so that two files differ.
void fillFullStore(int shift)
{
    Transaction transaction(Scratch::document());
    ClearAllData(Scratch::document());
    for (int circuit = 1; circuit <= 8; ++circuit)
        setCircuit(circuit, (circuit - 1) % 4 + 1, 5);
    for (int i = 0; i < WeekCapacity; ++i) {
        const int circuit = i % 8 + 1;
        const int type = (circuit - 1) % 4 + 1;
        const int special = i % 3 == 0 ? i % 99 + 1 : 0;
        const int day = special == 0 ? i % 7 : 0;
        const int minute = (i + (i % 50 == 0 ? shift : 0)) % 60;
        const bool period = type >= TypeTimer;
        addWeekRow(circuit, special, day, period && special == 0 ? (day + i % 2) % 7 : 0, i % 24, minute,
                   type == TypeChime ? i % 60 : 0, period ? (i + 3) % 24 : 0, period ? (i * 7) % 60 : 0,
                   type == TypeRepeat ? i % 59 + 1 : 0, type == TypeChime ? i % 7 + 1 : 0);
    }
    const QDate first(2026, 1, 1);
    for (int i = 0; i < YearCapacity; ++i) {
        const QDate date = first.addDays(i + (i % 100 == 0 ? shift : 0));
        addYearRow(i % 8 + 1, date.year() - 2000, date.month(), date.day(), i % 100);
    }
    for (int i = 0; i < kEveryYearRows; ++i) {
        const QDate date = first.addDays(i);
        addEveryYearRow(i % 8 + 1, date.month(), date.day(), i % 100);
    }
    for (const char* table : {"T_Week", "T_Year", "T_YearE"})
        RenumberTable(Scratch::document(), QLatin1String(table));
    transaction.commit();
}

void runProcess(const QStringList& args, int expectedStatus)
{
    QProcess process;
    process.start(QStringLiteral(WZ_EDITOR_BINARY), args);
    if (!process.waitForFinished(60000) || process.exitCode() != expectedStatus)
        qFatal("wzqxprog %s failed: %s", qPrintable(args.join(' ')), process.readAllStandardError().constData());
}

// Whole-process medians of several commands, run in turn round by round so
// that a change in the machine's load touches them all alike.
QList<double> processMedians(const QList<QPair<QStringList, int>>& commands)
{
    QList<std::vector<double>> times(commands.size());
    for (int run = 0; run < kProcessRuns; ++run) {
        for (int i = 0; i < commands.size(); ++i) {
            QElapsedTimer timer;
            timer.start();
            runProcess(commands[i].first, commands[i].second);
            times[i].push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    QList<double> medians;
    for (const std::vector<double>& t : times)
        medians << median(t);
    return medians;
}

// A full circuit: all 900 rows on circuit 1, spread over the week.
QList<WeekRow> fullCircuit(int type)
{
    QList<WeekRow> rows;
    for (int i = 0; i < WeekCapacity; ++i) {
        const int day = i % 7;
        const int second = (i / 7) * 86400 / 129 + i % 60;
        rows << WeekRow{0,
                        0,
                        0,
                        day,
                        type >= TypeTimer ? (day + (i % 5 == 0)) % 7 : 0,
                        second / 3600,
                        second / 60 % 60,
                        type == TypeChime ? second % 60 : 0,
                        (second / 3600 + 2) % 24,
                        15,
                        type == TypeRepeat ? 10 : 0,
                        type == TypeChime ? i % 7 + 1 : 0};
    }
    return rows;
}

// setPrograms (layout) plus a full paint, as after a list change.
double timelineRedrawMs(int type)
{
    WeekTimeline timeline;
    timeline.resize(760, 360);
    const QList<WeekRow> rows = fullCircuit(type);
    QImage image(timeline.size(), QImage::Format_ARGB32_Premultiplied);
    return medianMs([&] {
        timeline.setPrograms(type, rows);
        timeline.render(&image);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    Scratch::open(QStringLiteral(":memory:"));
    fillFullStore(0);
    const QString full =
        writeBytes(dir.filePath(QStringLiteral("full.dat")), ProgramFileWriter::buildProgramFile(Scratch::document()));
    fillFullStore(7);
    const QString changed = writeBytes(dir.filePath(QStringLiteral("changed.dat")),
                                       ProgramFileWriter::buildProgramFile(Scratch::document()));
    Scratch::close();

    const QString date = QStringLiteral("2026-01-01");
    const QList<double> ms = processMedians({{{QStringLiteral("check"), full}, 0},
                                             {{QStringLiteral("day"), full, date}, 0},
                                             {{QStringLiteral("day"), full, date, QStringLiteral("--json")}, 0},
                                             {{QStringLiteral("diff"), full, changed}, 1}});
    const double checkMs = ms[0], dayMs = ms[1], jsonMs = ms[2], diffMs = ms[3];

    out << QStringLiteral("full-capacity file: %1 week/special, %2 dated, %3 every-year lines\n")
               .arg(WeekCapacity)
               .arg(YearCapacity)
               .arg(kEveryYearRows);
    out << QStringLiteral("median of %1 runs taken in turn, whole process (target: day and diff <= 1.3 x check)\n")
               .arg(kProcessRuns);
    out << QStringLiteral("  wzqxprog check:        %1 ms\n").arg(checkMs, 0, 'f', 2);
    out << QStringLiteral("  wzqxprog day:          %1 ms  (%2 x check)\n")
               .arg(dayMs, 0, 'f', 2)
               .arg(dayMs / checkMs, 0, 'f', 2);
    out << QStringLiteral("  wzqxprog day --json:   %1 ms  (%2 x check)\n")
               .arg(jsonMs, 0, 'f', 2)
               .arg(jsonMs / checkMs, 0, 'f', 2);
    out << QStringLiteral("  wzqxprog diff:         %1 ms  (%2 x check)\n")
               .arg(diffMs, 0, 'f', 2)
               .arg(diffMs / checkMs, 0, 'f', 2);
    out << QStringLiteral("week timeline, full circuit (900 programs, ~129 a day), layout + paint, 760x360, "
                          "median of %1 (target < 16 ms)\n")
               .arg(kRuns);
    out << QStringLiteral("  chimes:  %1 ms\n").arg(timelineRedrawMs(2), 0, 'f', 2);
    out << QStringLiteral("  timers:  %1 ms\n").arg(timelineRedrawMs(3), 0, 'f', 2);
    out << QStringLiteral("  repeats: %1 ms\n").arg(timelineRedrawMs(4), 0, 'f', 2);
    return 0;
}
