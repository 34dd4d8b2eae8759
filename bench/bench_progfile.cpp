// Times the program file at full capacity: in-process read and write, and
// the whole `wzqxprog normalize` process on that file against an empty one
// (runs interleaved, medians side by side). The size check, the counting
// and the read-back of a written file must keep the ratio within 1.3.
#include "bench/Timing.h"
#include "progfile/ProgramFileReader.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ScheduleDocument.h"

#include "store/StoreRoutines.h"
#include <memory>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

using namespace BenchTiming;

namespace {

std::unique_ptr<ScheduleDocument> g_store;

ScheduleDocument& store()
{
    return *g_store;
}

constexpr int kEveryYearRows = 200;

void fillFullStore(int everyYearRows)
{
    Transaction transaction(store());
    ClearAllData(store());
    for (int circuit = 1; circuit <= 8; ++circuit)
        store().exec(QStringLiteral("UPDATE T_Setting SET Program = ?, PulseTime = ? WHERE CircuitNO = ?"),
                     {(circuit - 1) % 4 + 1, 5, circuit});
    for (int i = 0; i < WeekCapacity; ++i)
        store().exec(QStringLiteral("INSERT INTO T_Week (CircuitNO, SpecialNO, YobiON, YobiOFF, TimeONH, "
                                    "TimeONM, TimeONS, TimeOFFH, TimeOFFM, Repeat, ChimeNO) "
                                    "VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
                     {i % 8 + 1, i % 3 == 0 ? i % 99 + 1 : 0, i % 7, i % 7, i % 23, i % 60, i % 60, i % 23 + 1,
                      (i * 7) % 60, i % 59 + 1, i % 8});
    const QDate first(2020, 1, 1);
    for (int i = 0; i < YearCapacity; ++i) {
        const QDate date = first.addDays(i);
        store().exec(QStringLiteral("INSERT INTO T_Year (CircuitNO, Year, Month, Day, SpecialNO) VALUES (?,?,?,?,?)"),
                     {i % 8 + 1, date.year() - 2000, date.month(), date.day(), i % 100});
    }
    for (int i = 0; i < everyYearRows; ++i) {
        const QDate date = first.addDays(i);
        store().exec(QStringLiteral("INSERT INTO T_YearE (CircuitNO, Month, Day, SpecialNO) VALUES (?,?,?,?)"),
                     {i % 8 + 1, date.month(), date.day(), i % 100});
    }
    for (const char* table : {"T_Week", "T_Year", "T_YearE"})
        RenumberTable(store(), QLatin1String(table));
    transaction.commit();
}

double normalizeOnceMs(const QString& in, const QString& out)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(QStringLiteral(WZ_EDITOR_BINARY), {QStringLiteral("normalize"), in, out});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qFatal("wzqxprog normalize %s failed: %s", qPrintable(in), process.readAllStandardError().constData());
    return timer.nsecsElapsed() / 1e6;
}

// Medians of `wzqxprog normalize` on each input, the runs interleaved so
// that a busy moment of the machine weighs on all of them alike.
std::vector<double> normalizeMs(const QStringList& inputs, const QString& out)
{
    std::vector<std::vector<double>> times(inputs.size());
    for (int run = 0; run < kRuns; ++run)
        for (int i = 0; i < inputs.size(); ++i)
            times[i].push_back(normalizeOnceMs(inputs[i], out));
    std::vector<double> medians;
    for (const auto& each : times)
        medians.push_back(median(each));
    return medians;
}

void writeBytes(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    // A store on disk, as the editor keeps it.
    g_store = std::make_unique<ScheduleDocument>(dir.filePath(QStringLiteral("db/wz48prg.db")));

    const QString full = dir.filePath(QStringLiteral("full.dat"));
    const QString largest = dir.filePath(QStringLiteral("largest.dat"));
    const QString empty = dir.filePath(QStringLiteral("empty.dat"));
    const QString written = dir.filePath(QStringLiteral("written.dat"));
    fillFullStore(ProgramFileFormat::EveryYearLineLimit);
    const QByteArray largestContent = ProgramFileWriter::buildProgramFile(store());
    writeBytes(largest, largestContent);
    fillFullStore(kEveryYearRows);
    const QByteArray content = ProgramFileWriter::buildProgramFile(store());
    writeBytes(full, content);
    writeBytes(empty, QByteArray());

    const double writeMs = medianMs([&] { ProgramFileWriter::SaveProgramFile(store(), written); });
    const double readMs = medianMs([&] {
        if (ProgramFileReader::ReadProgramFile(store(), full).status != ProgramFileReader::ReadStatus::Accepted)
            qFatal("the full file was refused");
    });
    g_store.reset();

    const std::vector<double> process = normalizeMs({full, empty, largest}, dir.filePath(QStringLiteral("out.dat")));
    const double ratio = process[0] / process[1];

    out << QStringLiteral("program file: %1 week/special, %2 dated, %3 every-year lines, %4 bytes\n")
               .arg(WeekCapacity)
               .arg(YearCapacity)
               .arg(kEveryYearRows)
               .arg(content.size());
    out << QStringLiteral("median of %1 runs\n").arg(kRuns);
    out << QStringLiteral("  read (check + import), in process: %1 ms\n").arg(readMs, 0, 'f', 2);
    out << QStringLiteral("  write (build + save), in process:  %1 ms\n").arg(writeMs, 0, 'f', 2);
    out << QStringLiteral("  wzqxprog normalize, full file:     %1 ms\n").arg(process[0], 0, 'f', 2);
    out << QStringLiteral("  wzqxprog normalize, empty file:    %1 ms\n").arg(process[1], 0, 'f', 2);
    out << QStringLiteral("  full / empty: %1 (target <= 1.3)\n").arg(ratio, 0, 'f', 2);
    out << QStringLiteral("  wzqxprog normalize, largest file (%1 every-year lines, %2 bytes): %3 ms, / empty: %4\n")
               .arg(ProgramFileFormat::EveryYearLineLimit)
               .arg(largestContent.size())
               .arg(process[2], 0, 'f', 2)
               .arg(process[2] / process[1], 0, 'f', 2);
    return 0;
}
