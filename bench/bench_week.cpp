// Week program actions on a store at capacity against a nearly empty one:
// each median should stay below one display frame (16 ms) and within three
// times the small-store figure.
#include "TestSupport.h"
#include "bench/Timing.h"
#include "store/CircuitSetting.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "ui/ModalDialogs.h"
#include "week/Form_Copy.h"
#include "week/Form_EditTime.h"
#include "week/Form_Week.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

using namespace BenchTiming;
using namespace TestSupport;

namespace {

void click(QWidget* window, const char* name)
{
    window->findChild<QAbstractButton*>(QLatin1String(name))->click();
}

// Circuit 1 (chime) holds a week of programs on every day; circuit 8 pads
// the store to `rows`.
int perDay(int rows)
{
    return rows > 100 ? 10 : 1;
}

void addCircuitOne(int programsPerDay)
{
    for (int day = 0; day <= 6; ++day)
        for (int hour = 6; hour < 6 + programsPerDay; ++hour)
            addWeekRow(1, 0, day, 0, hour, 0, 0, 0, 0, 0, 1 + day % 7);
}

void padTo(int rows);

void fillStore(int rows)
{
    addCircuitOne(perDay(rows));
    padTo(rows);
}

void padTo(int rows)
{
    for (int i = WeekRowCount(Scratch::document()); i < rows; ++i)
        addWeekRow(8, 0, i % 7, 0, i / 60 % 24, i % 60, 0);
    RenumberTable(Scratch::document(), QStringLiteral("T_Week"));
}

struct Figures {
    double newEveryDay, weekdayView, deleteAll, copy;
};

Figures run(int rows)
{
    ScratchStore store;
    setCircuit(1, 2, 10);
    setCircuit(8, 1, 5);
    fillStore(rows - 7);
    Form_Week week(Scratch::history());
    std::unique_ptr<QDialog> dialog;
    ModalDialogs::setRunner([&dialog](QDialog* opened) { dialog.reset(opened); });
    auto* circuits = week.findChild<QComboBox*>(QStringLiteral("Combo_Circuit"));
    auto* days = week.findChild<QComboBox*>(QStringLiteral("Combo_Yobi"));
    circuits->setCurrentIndex(0);
    days->setCurrentIndex(8);

    const auto removeNew = [] { Scratch::exec(QStringLiteral("DELETE FROM T_Week WHERE TimeONH = 23")); };
    Figures figures{};
    figures.newEveryDay = measure(
        [&] {
            click(&week, "Button_New");
            dialog->findChild<QLineEdit*>(QStringLiteral("Text_Hour"))->setText(QStringLiteral("23"));
        },
        [&] { click(dialog.get(), "Button_OK"); }, removeNew);

    padTo(rows);
    if (WeekRowCount(Scratch::document()) != rows)
        qFatal("store holds %d rows, not %d", WeekRowCount(Scratch::document()), rows);
    days->setCurrentIndex(7);
    figures.weekdayView = measure([] {}, [&] { week.rebuildList(1, 7); }, [] {});

    figures.deleteAll = measure([&] { MessageBox::queueAnswer(QMessageBox::Yes); },
                                [&] { click(&week, "Button_AllDelete"); }, [&] { addCircuitOne(perDay(rows)); });

    // Copy Monday onto Tuesday after Tuesday has been emptied.
    days->setCurrentIndex(2);
    const auto emptyTuesday = [] {
        Scratch::exec(QStringLiteral("DELETE FROM T_Week WHERE CircuitNO = 1 AND YobiON = 2"));
    };
    figures.copy = measure(
        [&] {
            emptyTuesday();
            click(&week, "Button_Copy");
        },
        [&] { click(dialog.get(), "Button_OK"); }, [] {});
    ModalDialogs::setRunner({});
    return figures;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Figures small = run(10);
    const Figures full = run(WeekCapacity);
    std::printf("%-36s %10s %10s %8s\n", "median ms", "10 rows", "900 rows", "ratio");
    auto line = [](const char* name, double a, double b) {
        std::printf("%-36s %10.3f %10.3f %8.2f%s\n", name, a, b, b / a, b < 16.0 && b <= 3 * a ? "" : "  !");
    };
    line("OK of a new 毎日 chime program", small.newEveryDay, full.newEveryDay);
    line("平日 view build", small.weekdayView, full.weekdayView);
    line("全削除 of one circuit", small.deleteAll, full.deleteAll);
    line("copy of one day", small.copy, full.copy);
    return 0;
}
