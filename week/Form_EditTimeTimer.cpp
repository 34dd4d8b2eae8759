#include "week/Form_EditTimeTimer.h"
#include "store/ScheduleDocument.h"

#include "history/UndoHistory.h"
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "ui/Guard.h"
#include "ui/InputCheck.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "week/Days.h"
#include "week/EntryParts.h"
#include "week/UpDown.h"
#include "week/WeekEditing.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <iterator>

using EntryParts::numberIn;
using EntryParts::twoDigits;

namespace {

const QString kHourTip = QStringLiteral("0～23時の範囲で入力します。");

QHBoxLayout* row(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QHBoxLayout;
    layout->setSpacing(6);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
    return layout;
}

}  // namespace

Form_EditTimeTimer::Form_EditTimeTimer(UndoHistory& history, const EntryJob& job, QWidget* parent)
    : QDialog(parent)
    , m_job(job)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_EditTimeTimer"));
    setWindowTitle(QStringLiteral("時刻設定"));
    setModal(true);
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_EditTimeTimer::buildWindow()
{
    using namespace EntryParts;
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("時刻設定"));
    styleHeading(Label_Titile, 1.3);
    Label_YobiONTitle = makeLabel(this, "Label_YobiONTitle", QStringLiteral("開始曜日"));
    Label_YobiON = makeLabel(this, "Label_YobiON", QString());
    Label_YobiON->setFrameShape(QFrame::StyledPanel);
    Label_YobiON->setFrameShadow(QFrame::Sunken);
    Label_YobiON->setFixedWidth(60);
    Label_YobiON->setAlignment(Qt::AlignCenter);
    Label_YobiOFFTitle = makeLabel(this, "Label_YobiOFFTitle", QStringLiteral("終了曜日"));
    Combo_YobiOFF = new QComboBox(this);
    Combo_YobiOFF->setObjectName(QStringLiteral("Combo_YobiOFF"));
    Combo_YobiOFF->setToolTip(QStringLiteral("日～土の範囲で選択します。"));
    Combo_YobiOFF->setFixedWidth(60);
    for (int day = 0; day <= 6; ++day)
        Combo_YobiOFF->addItem(Days::name(day), day);

    const char* captions[] = {"開始時刻", "終了時刻", "繰返し間隔", "分"};
    for (int index = 0; index < 4; ++index)
        Label_Time[index] = makeLabel(this, QStringLiteral("Label_Time_%1").arg(index).toLatin1().constData(),
                                      QString::fromUtf8(captions[index]));

    Text_HourON = numberBox(this, "Text_HourON", kHourTip);
    UpDown1 = new UpDown(Text_HourON, 0, 23, this);
    Label_HourON = makeLabel(this, "Label_HourON", QStringLiteral("時"));
    Text_MinuteON = numberBox(this, "Text_MinuteON", QString());
    UpDown2 = new UpDown(Text_MinuteON, 0, 59, this);
    Label_MinuteON = makeLabel(this, "Label_MinuteON", QStringLiteral("分"));
    Text_HourOFF = numberBox(this, "Text_HourOFF", kHourTip);
    UpDown4 = new UpDown(Text_HourOFF, 0, 23, this);
    Label_HourOFF = makeLabel(this, "Label_HourOFF", QStringLiteral("時"));
    Text_MinuteOFF = numberBox(this, "Text_MinuteOFF", QString());
    UpDown3 = new UpDown(Text_MinuteOFF, 0, 59, this);
    Label_MinuteOFF = makeLabel(this, "Label_MinuteOFF", QStringLiteral("分"));
    Text_Repeat = numberBox(this, "Text_Repeat", QStringLiteral("1～59分の範囲で入力します。"));
    UpDown5 = new UpDown(Text_Repeat, 1, 59, this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    UpDown3->setObjectName(QStringLiteral("UpDown3"));
    UpDown4->setObjectName(QStringLiteral("UpDown4"));
    UpDown5->setObjectName(QStringLiteral("UpDown5"));
    Button_OK = okButton(this);
    Button_Cancel = cancelButton(this);

    // Tab follows the rows: the start time, then the end day and end time.
    QWidget* const keyboardOrder[] = {Text_HourON,    Text_MinuteON, Combo_YobiOFF, Text_HourOFF,
                                      Text_MinuteOFF, Text_Repeat,   Button_OK,     Button_Cancel};
    for (size_t i = 1; i < std::size(keyboardOrder); ++i)
        setTabOrder(keyboardOrder[i - 1], keyboardOrder[i]);
    Text_HourON->setFocus();

    // Day column on the left; hidden widgets give their room to the times.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->addWidget(Label_YobiONTitle, 0, 0);
    grid->addWidget(Label_YobiON, 0, 1);
    grid->addWidget(Label_YobiOFFTitle, 1, 0);
    grid->addWidget(Combo_YobiOFF, 1, 1);
    grid->addWidget(Label_Time[0], 0, 2);
    grid->addLayout(row({Text_HourON, UpDown1, Label_HourON, Text_MinuteON, UpDown2, Label_MinuteON}), 0, 3);
    grid->addWidget(Label_Time[1], 1, 2);
    grid->addLayout(row({Text_HourOFF, UpDown4, Label_HourOFF, Text_MinuteOFF, UpDown3, Label_MinuteOFF}), 1, 3);
    grid->addWidget(Label_Time[2], 2, 2);
    grid->addLayout(row({Text_Repeat, UpDown5, Label_Time[3]}), 2, 3);
    grid->setColumnStretch(4, 1);

    QHBoxLayout* buttons = makeButtonRow({Button_OK, Button_Cancel});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Label_Titile);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void Form_EditTimeTimer::connectHandlers()
{
    InputCheck::onFocusLoss(Text_HourON, [this](QWidget*) { InputCheck::checkRange(Text_HourON, 0, 23); });
    InputCheck::onFocusLoss(Text_MinuteON, [this](QWidget*) { InputCheck::checkRange(Text_MinuteON, 0, 59); });
    InputCheck::onFocusLoss(Text_HourOFF, [this](QWidget*) { InputCheck::checkRange(Text_HourOFF, 0, 23); });
    InputCheck::onFocusLoss(Text_MinuteOFF, [this](QWidget*) { InputCheck::checkRange(Text_MinuteOFF, 0, 59); });
    InputCheck::onFocusLoss(Text_Repeat, [this](QWidget*) { InputCheck::checkRange(Text_Repeat, 1, 59); });
    connect(UpDown2, &UpDown::stepped, this,
            guarded(this, [this] { Text_MinuteON->setText(twoDigits(numberIn(Text_MinuteON))); }));
    connect(UpDown3, &UpDown::stepped, this,
            guarded(this, [this] { Text_MinuteOFF->setText(twoDigits(numberIn(Text_MinuteOFF))); }));
    connect(Button_OK, &QPushButton::clicked, this, guarded(this, [this] { Button_OK_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, guarded(this, [this] { reject(); }));
}

void Form_EditTimeTimer::Form_Load()
{
    const WeekRow& row = m_job.row;
    m_type = m_history.document().circuit(row.CircuitNO).Program;
    const bool repeat = m_type == TypeRepeat;
    for (QWidget* widget : std::initializer_list<QWidget*>{Label_Time[2], Label_Time[3], Text_Repeat, UpDown5})
        widget->setVisible(repeat);
    Text_Repeat->setText(QString::number(repeat && row.Repeat == 0 ? 1 : row.Repeat));
    Text_HourON->setText(QString::number(row.TimeONH));
    Text_MinuteON->setText(twoDigits(row.TimeONM));
    Text_HourOFF->setText(QString::number(row.TimeOFFH));
    Text_MinuteOFF->setText(twoDigits(row.TimeOFFM));
    const bool dayControls = m_job.fromWeekList() && !Days::isGroup(row.YobiON);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{Label_YobiONTitle, Label_YobiON, Label_YobiOFFTitle, Combo_YobiOFF})
        widget->setVisible(dayControls);
    Label_YobiON->setText(Days::name(row.YobiON));
    Combo_YobiOFF->setCurrentIndex(row.YobiOFF >= 0 && row.YobiOFF <= 6 ? row.YobiOFF : -1);
}

bool Form_EditTimeTimer::boxesValid()
{
    return InputCheck::checkVisibleRanges({{Text_HourON, 0, 23},
                                           {Text_MinuteON, 0, 59},
                                           {Text_HourOFF, 0, 23},
                                           {Text_MinuteOFF, 0, 59},
                                           {Text_Repeat, 1, 59}});
}

void Form_EditTimeTimer::Button_OK_Click()
{
    if (m_type != TypeTimer && m_type != TypeRepeat) {
        accept();
        return;
    }
    if (!boxesValid())
        return;
    const WeekEditing::TimerProgram program{numberIn(Text_HourON),  numberIn(Text_MinuteON),
                                            numberIn(Text_HourOFF), numberIn(Text_MinuteOFF),
                                            numberIn(Text_Repeat),  std::max(0, Combo_YobiOFF->currentIndex())};
    UndoStep step(m_history, WeekEditing::EntryStepName(m_job));
    if (WeekEditing::WriteTimerProgram(m_history.document(), m_job, program) == WeekEditing::WriteResult::Refused)
        EntryParts::showCapacityRefusal(this);
    accept();
}
