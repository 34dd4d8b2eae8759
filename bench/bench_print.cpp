// Times `wzqxprog pdf` of the week listing of a timer circuit holding 900
// programs against `wzqxprog normalize` of the same file (whole processes,
// taken in turns in one run), and reports the PDF's size. Target: pdf at
// most 4 times normalize, the PDF a few hundred KB at most. With a folder
// as argument, the program file and the PDF are left there.
#include "TestSupport.h"
#include "bench/Timing.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <vector>

using namespace TestSupport;

namespace {

constexpr int kRuns = 11;

double runMs(const QStringList& args)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(QStringLiteral(WZ_EDITOR_BINARY), args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        qFatal("wzqxprog %s failed: %s", qPrintable(args.join(' ')), process.readAllStandardError().constData());
    return timer.nsecsElapsed() / 1e6;
}

// Circuit 1, a timer: 900 week programs, about 129 a day, five minutes each.
void writeFullTimerFile(const QString& path)
{
    setCircuit(1, 3, 0);
    Transaction transaction(Scratch::document());
    for (int i = 0; i < WeekCapacity; ++i) {
        const int day = i % 7;
        const int start = i / 7 * 11;
        addWeekRow(1, 0, day, day, start / 60, start % 60, 0, (start + 5) / 60, (start + 5) % 60);
    }
    RenumberTable(Scratch::document(), QStringLiteral("T_Week"));
    transaction.commit();
    ProgramFileWriter::writeFileAtomically(path, ProgramFileWriter::buildProgramFile(Scratch::document()));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    ScratchStore store;
    const QString file = store.path() + QStringLiteral("/full.dat");
    const QString pdf = store.path() + QStringLiteral("/week.pdf");
    writeFullTimerFile(file);

    std::vector<double> pdfTimes, normalizeTimes;
    for (int run = 0; run < kRuns; ++run) {
        pdfTimes.push_back(runMs({QStringLiteral("pdf"), file, pdf, QStringLiteral("--circuit"), QStringLiteral("1"),
                                  QStringLiteral("--listing"), QStringLiteral("week")}));
        normalizeTimes.push_back(runMs({QStringLiteral("normalize"), file, store.path() + QStringLiteral("/out.dat")}));
    }
    const double pdfMs = BenchTiming::median(pdfTimes);
    const double normalizeMs = BenchTiming::median(normalizeTimes);
    out << QStringLiteral("week listing of a timer circuit with %1 programs, median of %2 runs\n")
               .arg(WeekCapacity)
               .arg(kRuns);
    out << QStringLiteral("  wzqxprog pdf:       %1 ms\n").arg(pdfMs, 0, 'f', 1);
    out << QStringLiteral("  wzqxprog normalize: %1 ms\n").arg(normalizeMs, 0, 'f', 1);
    out << QStringLiteral("  pdf / normalize: %1 (target <= 4)\n").arg(pdfMs / normalizeMs, 0, 'f', 2);
    out << QStringLiteral("  PDF size: %1 KB\n").arg(QFileInfo(pdf).size() / 1024.0, 0, 'f', 1);
    if (argc > 1)  // keep the program file and the PDF to look at
        for (const QString& name : {file, pdf})
            QFile::copy(name, QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') + QFileInfo(name).fileName());
    return 0;
}
