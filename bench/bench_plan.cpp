// Setting a circuit's dated entries from a school's 行事予定: a 365-row
// table read, the changes planned (what the window previews) and written,
// on a calendar 10 entries short of full. Each median should stay below one
// display frame (16 ms).
#include "TestSupport.h"
#include "bench/Timing.h"
#include "plan/PlanChanges.h"
#include "plan/SchoolPlan.h"
#include "plan/TextTable.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "year/YearEntries.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <optional>

using namespace BenchTiming;
using namespace TestSupport;
using SpecialNames::DutyChoice;

namespace {

const QDate kFirst(2026, 4, 1);  // the school year 2026: 365 days

// Weekends 休業 (each holding special 1, to become 停止), Wednesdays 短縮
// (special 1 already but for the first 10), the first 20 Mondays 通常 with
// a 停止 to clear, other days 通常; the rest of the 490 entries in 2030.
QByteArray fillCalendar()
{
    QByteArray table = "2026年度 年間行事予定\n日付,曜日,行事,日課\n";
    int entries = 0, wednesdays = 0, mondays = 0;
    Transaction filling(Scratch::document());
    for (QDate day = kFirst; day < kFirst.addYears(1); day = day.addDays(1)) {
        const int weekday = day.dayOfWeek();
        const char* duty = weekday >= 6 ? "休業" : weekday == 3 ? "短縮" : "通常";
        std::optional<int> held;
        if (weekday >= 6 || (weekday == 3 && ++wednesdays > 10))
            held = 1;
        else if (weekday == 1 && ++mondays <= 20)
            held = 0;
        if (held) {
            addYearRow(1, day.year() - 2000, day.month(), day.day(), *held);
            ++entries;
        }
        table += day.toString(QStringLiteral("yyyy/M/d")).toUtf8() + ",,," + duty + "\n";
    }
    for (int i = entries; i < YearCapacity - 10; ++i) {
        const QDate day = QDate(2030, 1, 1).addDays(i);
        addYearRow(1, day.year() - 2000, day.month(), day.day(), 0);
    }
    addWeekRow(1, 1, 0, 0, 8, 0, 0, 0, 0, 0, 1);
    filling.commit();
    RenumberTable(Scratch::document(), QStringLiteral("T_Year"));
    return table;
}

Plan::Changes planOf(const Plan::SchoolPlan& plan, const QMap<QString, DutyChoice>& choices)
{
    QList<QDate> days;
    for (const Plan::PlanDay& day : plan.days)
        days << day.date;
    Plan::CurrentEntries current;
    const QMap<QDate, QList<int>> held = YearEntries::DatedEntriesOn(Scratch::document(), 1, days);
    for (auto day = held.cbegin(); day != held.cend(); ++day)
        for (int special : day.value())
            current.entries << Plan::DatedEntry{day.key(), special};
    current.rowsInAll = YearCapacity - RemainingYearCapacity(Scratch::document());
    return Plan::planChanges(plan, choices, current, Plan::OnExisting::Overwrite);
}

void write(const Plan::Changes& changes)
{
    QList<QDate> cleared;
    QMap<int, QList<QDate>> bySpecial;
    for (const Plan::DayWrite& write : changes.writes) {
        if (write.choice.kind == DutyChoice::Clear)
            cleared << write.date;
        else
            bySpecial[*write.choice.stored()] << write.date;
    }
    YearEntries::ClearDatedDays(Scratch::document(), 1, cleared);
    for (auto days = bySpecial.cbegin(); days != bySpecial.cend(); ++days)
        if (!YearEntries::WriteDatedDays(Scratch::document(), 1, days.value(), days.key()))
            qFatal("over capacity");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ScratchStore store;
    setCircuit(1, 2, 10);
    const QByteArray table = fillCalendar();
    const QMap<QString, DutyChoice> choices{{QStringLiteral("通常"), DutyChoice::clear()},
                                            {QStringLiteral("短縮"), DutyChoice::runSpecial(1)},
                                            {QStringLiteral("休業"), DutyChoice::stop()}};
    Plan::SchoolPlan plan;
    const double read =
        medianMs([&] { plan = Plan::readPlan(Plan::gridFromBytes(table, QStringLiteral("plan.csv"))); });
    Plan::Changes changes;
    const double planned = medianMs([&] { changes = planOf(plan, choices); });
    if (changes.overCapacity() || changes.writes.size() != 104 + 10 + 20)
        qFatal("the plan is not the one measured: %d writes", int(changes.writes.size()));
    std::unique_ptr<Transaction> undone;
    const double written =
        measure([&] { undone = std::make_unique<Transaction>(Scratch::document()); }, [&] { write(changes); },
                [&] {
                    if (RemainingYearCapacity(Scratch::document()) != 20)
                        qFatal("the writes are not the ones planned");
                    undone.reset();  // rolled back
                });
    std::printf("%-44s %10s\n", "median ms (365 days, 490 of 500 entries)", "");
    const auto line = [](const char* name, double ms) {
        std::printf("%-44s %10.3f%s\n", name, ms, ms < 16.0 ? "" : "  !");
    };
    line("reading the table (CSV)", read);
    line("planning the changes (preview)", planned);
    line("writing them", written);
    line("all three", read + planned + written);
    return 0;
}
