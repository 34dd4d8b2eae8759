#include "review/Form_Calendar.h"

#include "print/PrintOutput.h"
#include "review/CalendarPage.h"
#include "review/Form_Review.h"
#include "review/SchoolYear.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "ui/BusyCursor.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "whenruns/Schedule.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>
#include <utility>

namespace {

const QString kTitle = QStringLiteral("年間カレンダー");
const QSize kButtonSize(100, 30);

bool offered(const ScheduleDocument& document, int circuit)
{
    const int type = document.circuit(circuit).Program;
    return type >= TypeTimeSignal && type <= TypeTimer;
}

}  // namespace

Form_Calendar::Form_Calendar(ScheduleDocument& document, int circuit, QDate day, QWidget* parent,
                             QMap<int, QString> names, QString fileName)
    : QDialog(parent)
    , m_document(document)
    , m_names(std::move(names))
    , m_fileName(std::move(fileName))
{
    setObjectName(QStringLiteral("Form_Calendar"));
    setWindowTitle(kTitle);
    setModal(true);
    buildWindow();
    connect(Button_Print, &QPushButton::clicked, this, guarded(this, [this] { Button_Print_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, [this] { reject(); });
    runGuarded(this, [&] {
        fillCircuitChoice(Combo_Circuit, [this](int shown) { return offered(m_document, shown); });
        Combo_Circuit->setCurrentIndex(Combo_Circuit->findData(circuit));
        const int schoolYear = day.isValid()
            ? Review::schoolYearOf(day)
            : Review::SchoolYearOfEntries(WhenRuns::ReadSchedule(m_document), circuit, QDate::currentDate());
        Text_SchoolYear->setText(QString::number(schoolYear));
    });
}

void Form_Calendar::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", kTitle);
    styleHeading(Label_Titile, 1.3);
    Combo_Circuit = new QComboBox(this);
    Combo_Circuit->setObjectName(QStringLiteral("Combo_Circuit"));
    Combo_Circuit->setToolTip(QStringLiteral("印刷する回路を選択します。"));
    Combo_Circuit->setMinimumWidth(80);
    Text_SchoolYear = makeNumberBox(this, "Text_SchoolYear", 70);
    Text_SchoolYear->setMaxLength(4);
    Text_SchoolYear->setToolTip(QStringLiteral("印刷する年度を西暦で入力します（4月から翌年3月まで）。"));
    Option_A4 = new QRadioButton(QStringLiteral("A4 横"), this);
    Option_A4->setObjectName(QStringLiteral("Option_A4"));
    Option_A4->setChecked(true);
    Option_A3 = new QRadioButton(QStringLiteral("A3 横"), this);
    Option_A3->setObjectName(QStringLiteral("Option_A3"));
    auto* paper = new QButtonGroup(this);
    paper->addButton(Option_A4);
    paper->addButton(Option_A3);
    Check_Preview = new QCheckBox(QStringLiteral("プレビュー"), this);
    Check_Preview->setObjectName(QStringLiteral("Check_Preview"));
    Check_Preview->setToolTip(
        QStringLiteral("プレビューを表示してから印刷する場合はチェックを入れます。PDF にも保存できます。"));
    Check_Preview->setChecked(true);
    Button_Print = makeButton(this, "Button_Print", QStringLiteral("印刷 (&P)"),
                              QStringLiteral("年間カレンダーを印刷します。"), kButtonSize);
    Button_Cancel = makeButton(this, "Button_Cancel", QStringLiteral("ｷｬﾝｾﾙ (&C)"), QStringLiteral("画面を閉じます。"),
                               kButtonSize);

    auto* choices = new QGridLayout;
    choices->addWidget(makeLabel(this, "Label_Circuit", QStringLiteral("回　路")), 0, 0);
    choices->addWidget(Combo_Circuit, 0, 1, Qt::AlignLeft);
    choices->addWidget(makeLabel(this, "Label_SchoolYear", QStringLiteral("年　度")), 1, 0);
    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(Text_SchoolYear);
    yearRow->addWidget(makeLabel(this, "Label_SchoolYearUnit", QStringLiteral("年度（4月～翌年3月）")));
    yearRow->addStretch(1);
    choices->addLayout(yearRow, 1, 1);
    choices->addWidget(makeLabel(this, "Label_Paper", QStringLiteral("用　紙")), 2, 0);
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(Option_A4);
    paperRow->addWidget(Option_A3);
    paperRow->addStretch(1);
    choices->addLayout(paperRow, 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(Label_Titile);
    layout->addLayout(choices);
    layout->addWidget(Check_Preview);
    layout->addLayout(makeButtonRow({Button_Print, Button_Cancel}));
}

void Form_Calendar::Button_Print_Click()
{
    if (Combo_Circuit->currentIndex() < 0) {
        MessageBox::show(this, QStringLiteral("回路を指定してください。"), kTitle, MessageBox::Icon::Exclamation);
        Combo_Circuit->setFocus();
        return;
    }
    const std::optional<int> typed = schoolYearTyped(this, Text_SchoolYear, kTitle);
    if (!typed)
        return;
    const int schoolYear = *typed;
    auto schedule = std::make_shared<const WhenRuns::Schedule>(WhenRuns::ReadSchedule(m_document));
    const int circuit = Combo_Circuit->currentData().toInt();
    const QString refusal = Review::CalendarRefusal(*schedule, circuit, schoolYear);
    if (!refusal.isEmpty()) {
        MessageBox::show(this, refusal, kTitle, MessageBox::Icon::Exclamation);
        return;
    }
    Review::CalendarSheet sheet;
    sheet.circuit = circuit;
    sheet.schoolYear = schoolYear;
    sheet.names = m_names;
    sheet.fileName = m_fileName;
    sheet.paper = Option_A3->isChecked() ? Review::Paper::A3 : Review::Paper::A4;
    auto model =
        std::make_shared<const Review::YearModel>(Review::BuildYearModel(*schedule, circuit, schoolYear, sheet.names));
    PrintOutput::Sheet page;
    page.layout = Review::CalendarPageLayout(sheet.paper);
    page.draw = [model, sheet](QPagedPaintDevice& device) { return Review::DrawCalendar(device, *model, sheet); };
    page.pdf = [schedule, sheet] { return Review::CalendarPdf(*schedule, sheet); };
    if (Check_Preview->isChecked()) {
        PrintOutput::showPreview(this, page);
    } else {
        bool printed = false;
        {
            BusyCursor busy;
            printed = PrintOutput::printDirect(page);
        }
        if (!printed) {
            MessageBox::show(this, QStringLiteral("プリンタが見つかりません。"), kTitle, MessageBox::Icon::Exclamation);
            return;
        }
    }
    accept();
}
