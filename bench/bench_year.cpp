// Year calendar actions with 500 dated and 366 every-year entries for the
// chosen circuit and a full week table, against the same with 10 entries:
// each median should stay below one display frame (16 ms) and within three
// times the small figure.
#include "TestSupport.h"
#include "bench/Timing.h"
#include "history/UndoHistory.h"
#include "special/Form_Special.h"
#include "store/CircuitSetting.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "ui/ModalDialogs.h"
#include "year/Form_Year.h"
#include "year/MonthCalendar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

using namespace BenchTiming;
using namespace TestSupport;

namespace {

template <typename T = QAbstractButton>
T* find(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

// Circuit 1 holds `dated` dated entries (August 2027 first), as many
// every-year entries, and special 1 with `programs` programs; circuit 8
// pads T_Week to `weekRows`.
void fillStore(int dated, int everyYear, int programs, int weekRows)
{
    Transaction filling(Scratch::document());
    for (int i = 0; i < dated; ++i) {
        const QDate day = QDate(2027, 8, 1).addDays(i);
        addYearRow(1, day.year() - 2000, day.month(), day.day(), 1);
    }
    for (int i = 0; i < everyYear; ++i) {
        const QDate day = QDate(2028, 1, 1).addDays(i);
        addEveryYearRow(1, day.month(), day.day(), 0);
    }
    for (int i = 0; i < programs; ++i)
        addWeekRow(1, 1, 0, 0, i / 60, i % 60, 0, 0, 0, 0, 1);
    for (int i = programs; i < weekRows; ++i)
        addWeekRow(8, 0, i % 7, 0, i / 60 % 24, i % 60, 0);
    filling.commit();
    for (const char* table : {"T_Week", "T_Year", "T_YearE"})
        RenumberTable(Scratch::document(), QLatin1String(table));
}

void drag(MonthCalendar* calendar, QDate from, QDate to)
{
    QWidget* grid = calendar->dayGrid();
    const auto send = [grid](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, grid->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(grid, &event);
    };
    send(QEvent::MouseButtonPress, calendar->dayRect(from).center(), Qt::LeftButton);
    send(QEvent::MouseMove, calendar->dayRect(to).center(), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, calendar->dayRect(to).center(), Qt::NoButton);
}

struct Figures {
    double chooseCircuit, nextMonth, runOk, openSpecial, ruleOk;
};

// Circuit 1's dated entries cover the school year April 2027 – March 2028
// (366 days) but for its last `missing` days, the rest in 2030, `entries`
// in all; 繰り返し 毎日 over the school year as 停止 (overwriting the special
// program there) then adds the missing days, the calendar full after it.
double ruleOverSchoolYear(int entries, int missing)
{
    ScratchStore store;
    setCircuit(1, 2, 10);
    const QDate first(2027, 4, 1);
    const int inYear = std::min(entries, 366 - missing);
    {
        Transaction filling(Scratch::document());
        for (int i = 0; i < inYear; ++i) {
            const QDate day = first.addDays(i);
            addYearRow(1, day.year() - 2000, day.month(), day.day(), 1);
        }
        for (int i = inYear; i < entries; ++i) {
            const QDate day = QDate(2030, 1, 1).addDays(i);
            addYearRow(1, day.year() - 2000, day.month(), day.day(), 1);
        }
        addWeekRow(1, 1, 0, 0, 8, 0, 0, 0, 0, 0, 1);
        filling.commit();
    }
    RenumberTable(Scratch::document(), QStringLiteral("T_Year"));
    std::unique_ptr<QDialog> dialog;
    ModalDialogs::setRunner([&dialog](QDialog* opened) { dialog.reset(opened); });
    Form_Year year(Scratch::history());
    year.show();
    find<QComboBox>(&year, "Combo_Circuit")->setCurrentIndex(0);
    auto* calendar = find<MonthCalendar>(&year, "MonthView1");
    calendar->setSelectedDate(first);
    const double median = measure(
        [&] {
            drag(calendar, first, first);
            find(dialog.get(), "Check_Repeat")->click();
            find<QDateEdit>(dialog.get(), "Date_To")->setDate(QDate(2028, 3, 31));
            find<QRadioButton>(dialog.get(), "Option_Year_1")->setChecked(true);
            find<QRadioButton>(dialog.get(), "Option_Existing_0")->setChecked(true);
        },
        [&] { find(dialog.get(), "Button_OK")->click(); },
        [&] {
            if (RemainingYearCapacity(Scratch::document()) != YearCapacity - entries - (366 - inYear)
                || !Scratch::history().undo())
                qFatal("the rule did not fill the calendar");
        });
    dialog.reset();
    ModalDialogs::setRunner({});
    return median;
}

Figures run(int entries, int programs, int weekRows)
{
    ScratchStore store;
    setCircuit(1, 2, 10);
    setCircuit(2, 1, 5);
    fillStore(entries, std::min(entries, 366), programs, weekRows);
    std::unique_ptr<QDialog> dialog;
    ModalDialogs::setRunner([&dialog](QDialog* opened) { dialog.reset(opened); });
    Form_Year year(Scratch::history());
    year.show();
    auto* circuits = find<QComboBox>(&year, "Combo_Circuit");
    auto* calendar = find<MonthCalendar>(&year, "MonthView1");
    calendar->setSelectedDate(QDate(2027, 8, 1));

    Figures figures{};
    figures.chooseCircuit =
        measure([&] { circuits->setCurrentIndex(1); }, [&] { circuits->setCurrentIndex(0); }, [] {});
    figures.nextMonth =
        measure([] {}, [&] { find(calendar, "MonthView1_Next")->click(); }, [&] { calendar->showMonth(2027, 8); });

    // 停止 over August 2027 (31 days); undone back to special 1 and the entries there were.
    const auto restore = [entries] {
        Scratch::exec(QStringLiteral("DELETE FROM T_Year WHERE CircuitNO = 1 AND Year = 27 AND Month = 8 AND Day > ?"),
                      {std::min(entries, 31)});
        Scratch::exec(QStringLiteral("UPDATE T_Year SET SpecialNO = 1"));
        RenumberTable(Scratch::document(), QStringLiteral("T_Year"));
    };
    figures.runOk = measure(
        [&] {
            drag(calendar, QDate(2027, 8, 1), QDate(2027, 8, 31));
            find<QRadioButton>(dialog.get(), "Option_Year_1")->setChecked(true);
        },
        [&] { find(dialog.get(), "Button_OK")->click(); }, restore);

    figures.openSpecial =
        measure([] {}, [&] { dialog = std::make_unique<Form_Special>(Scratch::history(), 1, 1, QString(), &year); },
                [&] { dialog.reset(); });
    ModalDialogs::setRunner({});
    return figures;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Figures small = run(10, 10, 10);
    Figures full = run(YearCapacity, 100, WeekCapacity);
    small.ruleOk = ruleOverSchoolYear(10, 0);
    full.ruleOk = ruleOverSchoolYear(YearCapacity - 10, 10);
    std::printf("%-40s %10s %10s %8s\n", "median ms", "10", "full", "ratio");
    auto line = [](const char* name, double a, double b) {
        std::printf("%-40s %10.3f %10.3f %8.2f%s\n", name, a, b, b / a, b < 16.0 && b <= 3 * a ? "" : "  !");
    };
    line("choosing the circuit", small.chooseCircuit, full.chooseCircuit);
    line("calendar one month on", small.nextMonth, full.nextMonth);
    line("OK of a 31-day run", small.runOk, full.runOk);
    line("opening Form_Special (100 programs)", small.openSpecial, full.openSpecial);
    line("OK of a rule over a school year", small.ruleOk, full.ruleOk);
    return 0;
}
