// What a command costs before it does anything: `wzqxprog check` of an
// empty file against a bare QtCore program reading the same file (target
// at most 2 times), and the editor's start to its main window (a file given
// on the command line read and its message logged) against a bare Qt main
// window (target: as today, 1.4 to 1.7 times). Whole processes, taken in
// turns round by round, medians. An earlier wzqxprog given as argument is
// timed beside this one.
#include "bench/Timing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <functional>
#include <vector>

using namespace BenchTiming;

namespace {

constexpr int kProcessRuns = 31;

double runToEnd(const QString& program, const QStringList& args)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s %s failed: %s", qPrintable(program), qPrintable(args.join(' ')),
               process.readAllStandardError().constData());
    return timer.nsecsElapsed() / 1e6;
}

// From the start of `program` to the first line in `log`; then the program
// is killed.
double runUntilLogged(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                      const QString& log)
{
    QFile::remove(log);
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    while (QFileInfo(log).size() == 0) {
        if (process.state() == QProcess::NotRunning || timer.elapsed() > 60000)
            qFatal("%s %s logged nothing: %s", qPrintable(program), qPrintable(args.join(' ')),
                   process.readAllStandardError().constData());
        QThread::usleep(200);
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    process.kill();
    process.waitForFinished();
    return ms;
}

// The medians of `runs`, taken in turn round by round so that a change in
// the machine's load touches them all alike.
std::vector<double> medians(const std::vector<std::function<double()>>& runs)
{
    std::vector<std::vector<double>> times(runs.size());
    for (int round = 0; round < kProcessRuns; ++round)
        for (size_t i = 0; i < runs.size(); ++i)
            times[i].push_back(runs[i]());
    std::vector<double> result;
    for (const std::vector<double>& t : times)
        result.push_back(median(t));
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.dat"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString editor = QStringLiteral(WZ_EDITOR_BINARY);

    const QString earlier = QCoreApplication::arguments().value(1);
    std::vector<std::function<double()>> checks{
        [&] { return runToEnd(QStringLiteral(WZ_BARE_CORE), {empty}); },
        [&] {
            return runToEnd(editor, {QStringLiteral("check"), empty});
        },
    };
    if (!earlier.isEmpty())
        checks.push_back([&] { return runToEnd(earlier, {QStringLiteral("check"), empty}); });
    const std::vector<double> check = medians(checks);
    out << QStringLiteral("median of %1 runs taken in turn, whole process\n").arg(kProcessRuns);
    out << QStringLiteral("check of an empty file (target <= 2 x a bare QtCore program reading it)\n");
    out << QStringLiteral("  bare QtCore program:   %1 ms\n").arg(check[0], 0, 'f', 2);
    out << QStringLiteral("  wzqxprog check:        %1 ms  (%2 x bare)\n")
               .arg(check[1], 0, 'f', 2)
               .arg(check[1] / check[0], 0, 'f', 2);
    if (!earlier.isEmpty())
        out << QStringLiteral("  earlier check:         %1 ms  (%2 x bare)\n")
                   .arg(check[2], 0, 'f', 2)
                   .arg(check[2] / check[0], 0, 'f', 2);

    // Offscreen, each start with the same data folder; the empty file leaves
    // no programs behind to ask about at the next start.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    const QString log = dir.filePath(QStringLiteral("shown.log"));
    env.insert(QStringLiteral("WZQXPROG_MESSAGE_LOG"), log);
    std::vector<std::function<double()>> starts{
        [&] { return runUntilLogged(QStringLiteral(WZ_BARE_WINDOW), {log}, env, log); },
        [&] { return runUntilLogged(editor, {empty}, env, log); },
    };
    if (!earlier.isEmpty())
        starts.push_back([&] { return runUntilLogged(earlier, {empty}, env, log); });
    const std::vector<double> start = medians(starts);
    out << QStringLiteral("start to main window, offscreen (target: 1.4 to 1.7 x a bare Qt window, as before)\n");
    out << QStringLiteral("  bare Qt window:        %1 ms\n").arg(start[0], 0, 'f', 2);
    out << QStringLiteral("  wzqxprog FILE:         %1 ms  (%2 x bare)\n")
               .arg(start[1], 0, 'f', 2)
               .arg(start[1] / start[0], 0, 'f', 2);
    if (!earlier.isEmpty())
        out << QStringLiteral("  earlier wzqxprog FILE: %1 ms  (%2 x bare)\n")
                   .arg(start[2], 0, 'f', 2)
                   .arg(start[2] / start[0], 0, 'f', 2);
    return 0;
}
