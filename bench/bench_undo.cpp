// Undo and redo of a 全削除 on a full store (900 week programs, 500 dated
// entries): each median should stay below one display frame (16 ms). Then
// the memory of a full history: 100 steps that each change every program
// and entry of the full store, which should stay within 50 MB.
#include "TestSupport.h"
#include "bench/Timing.h"
#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"
#include "store/StoreImage.h"
#include "store/StoreRoutines.h"
#include "week/WeekEditing.h"
#include "year/YearEntries.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QUndoStack>
#include <cstdio>

using namespace BenchTiming;
using namespace TestSupport;

namespace {

void fillStore()
{
    setCircuit(1, 2, 10);
    Transaction filling(Scratch::document());
    for (int i = 0; i < WeekCapacity; ++i)
        addWeekRow(1, 0, i % 7, 0, i / 60 % 24, i % 60, 0, 0, 0, 0, 1 + i % 7);
    for (int i = 0; i < YearCapacity; ++i) {
        const QDate day = QDate(2027, 1, 1).addDays(i);
        addYearRow(1, day.year() - 2000, day.month(), day.day(), 0);
    }
    filling.commit();
    for (const char* table : {"T_Week", "T_Year"})
        RenumberTable(Scratch::document(), QLatin1String(table));
}

// Resident memory of this process in kB, from /proc.
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

struct Timings {
    double undo = 0, redo = 0;
};

Timings timeStep(const QString& label, const std::function<void()>& change)
{
    Scratch::history().clear();
    {
        UndoStep step(Scratch::history(), label);
        change();
    }
    Timings timings;
    timings.undo = measure([] {}, [] { Scratch::history().undo(); }, [] { Scratch::history().redo(); });
    timings.redo = measure([] { Scratch::history().undo(); }, [] { Scratch::history().redo(); }, [] {});
    Scratch::history().undo();  // the full store again, for what comes next
    return timings;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ScratchStore store;
    fillStore();

    const double capture = medianMs([] { StoreImage::capture(Scratch::document()); });
    const Timings week = timeStep(QStringLiteral("週間プログラムの全削除"),
                                  [] { WeekEditing::DeleteAllWeekPrograms(Scratch::document(), 1); });
    const Timings year = timeStep(QStringLiteral("年間プログラムの全削除"),
                                  [] { YearEntries::DeleteAllEntries(Scratch::document(), 1); });
    std::printf("%-44s %10s %10s\n", "median ms", "undo", "redo");
    const auto line = [](const char* name, const Timings& t) {
        std::printf("%-44s %10.3f %10.3f%s\n", name, t.undo, t.redo, t.undo < 16.0 && t.redo < 16.0 ? "" : "  !");
    };
    std::printf("%-44s %10.3f\n", "image of the full store", capture);
    line("week 全削除 (900 rows)", week);
    line("year 全削除 (500 rows)", year);

    Scratch::history().clear();
    const qint64 residentBefore = residentKb();
    for (int step = 0; step < UndoHistory::kStepLimit; ++step) {
        UndoStep taken(Scratch::history(), QString::number(step));
        Transaction changing(Scratch::document());
        Scratch::exec(QStringLiteral("UPDATE T_Week SET TimeONS = ?"), {step % 60});
        Scratch::exec(QStringLiteral("UPDATE T_Year SET SpecialNO = ?"), {step % 99 + 1});
        changing.commit();
    }
    const double imagesMb = Scratch::history().imageBytes() / 1048576.0;
    const double residentMb = (residentKb() - residentBefore) / 1024.0;
    std::printf("%-44s %10d\n", "steps kept", Scratch::history().stack().count());
    std::printf("%-44s %10.2f%s\n", "store images of 100 full steps, MB", imagesMb, imagesMb <= 50 ? "" : "  !");
    std::printf("%-44s %10.2f%s\n", "resident memory they added, MB", residentMb, residentMb <= 50 ? "" : "  !");
    return 0;
}
