// libFuzzer target for the program file reader: no input may crash it, a
// refused input never changes the store, and an accepted one rewrites to a
// file that reads back to the same bytes.
#include "progfile/ProgramFileReader.h"
#include "progfile/ProgramFileWriter.h"
#include "store/CircuitSetting.h"
#include "store/ScheduleDocument.h"
#include "store/ScheduleModel.h"
#include "store/SettingTable.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {

// libFuzzer calls free functions, so the store they share lives here; it is
// first made by LLVMFuzzerInitialize, after the application.
ScheduleDocument& store()
{
    static ScheduleDocument document(QStringLiteral(":memory:"));
    return document;
}

const QByteArray kSchedule = "122  1   103120000            \r\n"
                             "144  221505  90000103000      \r\n"
                             "24412  3005  60000 70000      \r\n"
                             "311 0    03             140503\r\n"
                             "31199    03               1231\r\n";

void add(QStringList& rows, std::initializer_list<int> values)
{
    for (int value : values)
        rows << QString::number(value);
}

QString snapshot()
{
    using ScheduleModel::Order;
    QStringList rows;
    for (const CircuitSetting& setting : ReadSettingTable(store()))
        add(rows, {setting.PulseTime, setting.Program, setting.Chime});
    rows << QStringLiteral("--");
    for (const WeekRow& w : ScheduleModel::weekRows(store(), Order::Numbered))
        add(rows,
            {w.ID, w.CircuitNO, w.SpecialNO, w.YobiON, w.YobiOFF, w.TimeONH, w.TimeONM, w.TimeONS, w.TimeOFFH,
             w.TimeOFFM, w.Repeat, w.ChimeNO});
    for (const auto& entries : {ScheduleModel::datedEntries(store(), Order::Numbered),
                                ScheduleModel::everyYearEntries(store(), Order::Numbered)}) {
        rows << QStringLiteral("--");
        for (const YearRow& y : entries)
            add(rows, {y.CircuitNO, y.Year, y.Month, y.Day, y.SpecialNO});
    }
    rows << QStringLiteral("--");
    for (int circuit = 1; circuit <= 8; ++circuit)
        rows << QString::number(store().circuits()[circuit].Program)
             << QString::number(store().circuits()[circuit].PulseTime);
    return rows.join(QLatin1Char(','));
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_reader: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_reader";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
    if (ProgramFileReader::importContent(store(), kSchedule).status != ProgramFileReader::ReadStatus::Accepted)
        fail("the seed schedule was refused");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString before = snapshot();
    const auto result = ProgramFileReader::importContent(store(), content);
    if (result.status != ProgramFileReader::ReadStatus::Accepted) {
        if (snapshot() != before)
            fail("a refused file changed the store");
        return 0;
    }
    const QByteArray written = ProgramFileWriter::buildProgramFile(store());
    if (ProgramFileReader::importContent(store(), written).status != ProgramFileReader::ReadStatus::Accepted)
        fail("the editor refused its own file");
    if (ProgramFileWriter::buildProgramFile(store()) != written)
        fail("rewriting a written file changed its bytes");
    ProgramFileReader::importContent(store(), kSchedule);
    return 0;
}
