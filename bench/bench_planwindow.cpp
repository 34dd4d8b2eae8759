// 行事予定から設定 with a 365-day table on a calendar 10 entries short of
// full (the circuit's days all set, the rest padding): the table read into
// the preview, a choice changed and the preview again, and OK's write.
// Each median should stay below one display frame (16 ms).
#include "TestSupport.h"
#include "bench/Timing.h"
#include "history/UndoHistory.h"
#include "plan/Form_PlanImport.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTableWidget>
#include <cstdio>

using namespace BenchTiming;
using namespace TestSupport;

namespace {

const QDate kFirst(2027, 4, 1);
constexpr int kDays = 365;
const char* const kDuties[] = {"通常", "通常", "短縮", "通常", "行事", "休業", "通常"};

QString table()
{
    QString text = QStringLiteral("日付\t曜日\t行事\t日課\n");
    for (int i = 0; i < kDays; ++i) {
        const QDate day = kFirst.addDays(i);
        text +=
            QStringLiteral("%1/%2\t\t\t%3\n").arg(day.month()).arg(day.day()).arg(QString::fromUtf8(kDuties[i % 7]));
    }
    return text;
}

QComboBox* choice(QWidget* window, int row)
{
    return qobject_cast<QComboBox*>(window->findChild<QTableWidget*>(QStringLiteral("Grid_Names"))->cellWidget(row, 2));
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScratchStore store;
    setCircuit(1, 2, 10);
    {
        Transaction filling(Scratch::document());
        for (int i = 0; i < kDays; ++i) {
            const QDate day = kFirst.addDays(i);
            addYearRow(1, day.year() - 2000, day.month(), day.day(), 1);
        }
        for (int i = kDays; i < YearCapacity - 10; ++i) {
            const QDate day = QDate(2040, 1, 1).addDays(i);
            addYearRow(8, day.year() - 2000, day.month(), day.day(), 0);
        }
        filling.commit();
    }
    RenumberTable(Scratch::document(), QStringLiteral("T_Year"));
    QTemporaryDir dir;
    auto names = SpecialNames::NamesFile::read(dir.filePath(QStringLiteral("names.json")));
    for (const auto& [name, chosen] : {std::pair{"通常", SpecialNames::DutyChoice::runSpecial(1)},
                                       {"短縮", SpecialNames::DutyChoice::runSpecial(2)},
                                       {"行事", SpecialNames::DutyChoice::stop()},
                                       {"休業", SpecialNames::DutyChoice::clear()}})
        names.names.setChoice(QString::fromUtf8(name), chosen);
    Form_PlanImport window(Scratch::history(), 1, kFirst, names);
    window.show();
    const QString text = table();

    const double preview = medianMs([&] { window.pasteText(text); });
    const double choiceChanged = medianMs([&] {
        QComboBox* box = choice(&window, 1);
        box->setCurrentIndex(box->currentIndex() == 3 ? 4 : 3);
    });
    choice(&window, 1)->setCurrentIndex(choice(&window, 1)->findData(2));
    window.findChild<QAbstractButton*>(QStringLiteral("Option_Existing_0"))->click();
    const double write = measure([&] { window.show(); },
                                 [&] { window.findChild<QAbstractButton*>(QStringLiteral("Button_OK"))->click(); },
                                 [&] {
                                     if (window.isVisible() || !Scratch::history().undo())
                                         qFatal("the table was not set");
                                 });
    std::printf("%-44s %10s\n", "median ms", "");
    auto line = [](const char* what, double ms) { std::printf("%-44s %10.3f%s\n", what, ms, ms < 16.0 ? "" : "  !"); };
    line("365-day table read into the preview", preview);
    line("a choice changed, the preview again", choiceChanged);
    line("OK: the days written, one undo step", write);
    return 0;
}
