// 時程から作成's OK with the week list open: ten periods with 予鈴 on 毎日 (30
// bells a day, 210 rows) for a chime circuit, once where they fill the store
// to its 900 rows and once over 800 rows of other programs, where they do not
// fit and nothing is added. Each median should stay below one display frame
// (16 ms).
#include "TestSupport.h"
#include "bench/Timing.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "week/Days.h"
#include "week/Form_Bells.h"
#include "week/Form_Week.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <cstdio>
#include <memory>

using namespace BenchTiming;
using namespace TestSupport;

namespace {

void setBox(QWidget* window, const char* name, const char* text)
{
    window->findChild<QLineEdit*>(QLatin1String(name))->setText(QString::fromUtf8(text));
}

void click(QWidget* window, const char* name)
{
    window->findChild<QAbstractButton*>(QLatin1String(name))->click();
}

// Circuit 1 (chime) gets the bells; circuit 8 holds `others` rows. After OK
// the store holds `after` rows.
double okOver(int others, int after)
{
    ScratchStore store;
    setCircuit(1, 2, 10);
    setCircuit(8, 1, 5);
    for (int i = 0; i < others; ++i)
        addWeekRow(8, 0, i % 7, 0, i / 60 % 24, i % 60, 0);
    RenumberTable(Scratch::document(), QStringLiteral("T_Week"));
    Form_Week week(Scratch::history());
    week.findChild<QComboBox*>(QStringLiteral("Combo_Circuit"))->setCurrentIndex(0);
    week.findChild<QComboBox*>(QStringLiteral("Combo_Yobi"))->setCurrentIndex(Days::EveryDay);
    std::unique_ptr<Form_Bells> bells;
    const double ms = measure(
        [&] {
            bells = std::make_unique<Form_Bells>(Scratch::history(), 1, Bells::Target{Days::EveryDay, 0});
            setBox(bells.get(), "Text_FirstStart", "8:30");
            setBox(bells.get(), "Text_PeriodLength", "45");
            setBox(bells.get(), "Text_BreakLength", "10");
            setBox(bells.get(), "Text_PeriodCount", "10");
            setBox(bells.get(), "Text_LunchAfter", "0");
            setBox(bells.get(), "Text_PreBell", "5");
            click(bells.get(), "Button_Fill");
        },
        [&] { click(bells.get(), "Button_OK"); },
        [&] {
            if (WeekRowCount(Scratch::document()) != after)
                qFatal("OK left %d rows, not %d", WeekRowCount(Scratch::document()), after);
            bells.reset();
            Scratch::exec(QStringLiteral("DELETE FROM T_Week WHERE CircuitNO = 1"));
            RenumberTable(Scratch::document(), QStringLiteral("T_Week"));
        });
    if (WeekRowCount(Scratch::document()) != others)
        qFatal("store holds %d rows, not %d", WeekRowCount(Scratch::document()), others);
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double fits = okOver(WeekCapacity - 210, WeekCapacity);
    const double refused = okOver(800, 800);
    std::printf("%-44s %10s\n", "median ms", "OK");
    auto line = [](const char* name, double ms) { std::printf("%-44s %10.3f%s\n", name, ms, ms < 16.0 ? "" : "  !"); };
    line("210 bell rows over 690 others (fills 900)", fits);
    line("210 bell rows over 800 others (refused)", refused);
    return 0;
}
