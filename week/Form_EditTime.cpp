#include "week/Form_EditTime.h"
#include "store/ScheduleDocument.h"

#include "core/NumericText.h"
#include "history/UndoHistory.h"
#include "snd/player/PlayChime.h"
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "ui/Guard.h"
#include "ui/InputCheck.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "week/EntryParts.h"
#include "week/UpDown.h"
#include "week/WeekEditing.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using EntryParts::twoDigits;

Form_EditTime::Form_EditTime(UndoHistory& history, const EntryJob& job, QWidget* parent)
    : QDialog(parent)
    , m_job(job)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_EditTime"));
    setWindowTitle(QStringLiteral("時刻設定"));
    setModal(true);
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_EditTime::buildWindow()
{
    using namespace EntryParts;
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("時刻設定"));
    styleHeading(Label_Titile, 1.3);
    Label_Time = makeLabel(this, "Label_Time", QStringLiteral("時刻"));
    Text_Hour = numberBox(this, "Text_Hour", QStringLiteral("0～23時の範囲で入力します。"));
    Text_Hour->setText(QStringLiteral("0"));
    UpDown1 = new UpDown(Text_Hour, 0, 23, this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    Label_Hour = makeLabel(this, "Label_Hour", QStringLiteral("時"));
    Text_Minute = numberBox(this, "Text_Minute", QStringLiteral("0～59分の範囲で入力します。"));
    Text_Minute->setText(QStringLiteral("00"));
    UpDown2 = new UpDown(Text_Minute, 0, 59, this);
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    Label_Minute = makeLabel(this, "Label_Minute", QStringLiteral("分"));
    Text_Second = numberBox(this, "Text_Second", QStringLiteral("0～59秒の範囲で入力します。"));
    Text_Second->setText(QStringLiteral("00"));
    UpDown3 = new UpDown(Text_Second, 0, 59, this);
    UpDown3->setObjectName(QStringLiteral("UpDown3"));
    Label_Second = makeLabel(this, "Label_Second", QStringLiteral("秒"));

    Line_End = new QFrame(this);
    Line_End->setObjectName(QStringLiteral("Line_End"));
    Line_End->setFrameShape(QFrame::HLine);
    Line_End->setFrameShadow(QFrame::Sunken);
    Label_ChimeNo = makeLabel(this, "Label_ChimeNo", QStringLiteral("曲番号"));
    Text_Chime = numberBox(this, "Text_Chime", QStringLiteral("曲番号を1～7の範囲で入力します。"));
    UpDown4 = new UpDown(Text_Chime, 1, 7, this);
    UpDown4->setObjectName(QStringLiteral("UpDown4"));
    Button_PlayChime = new QPushButton(QStringLiteral("♪"), this);
    Button_PlayChime->setObjectName(QStringLiteral("Button_PlayChime"));
    Button_PlayChime->setToolTip(QStringLiteral("チャイムを試聴します。"));
    Button_PlayChime->setFixedSize(36, 28);
    Check_Chime = new QCheckBox(this);
    Check_Chime->setObjectName(QStringLiteral("Check_Chime"));
    Check_Chime->setToolTip(QStringLiteral("チャイムの鳴り終わり時刻を入力した時刻になるように調節します。"));
    Label_ChimeEnd = makeLabel(this, "Label_ChimeEnd", QStringLiteral("鳴り終わり調節"));
    Button_OK = okButton(this);
    Button_Cancel = cancelButton(this);

    auto* time = new QHBoxLayout;
    time->addWidget(Label_Time);
    time->addSpacing(8);
    for (QWidget* widget : std::initializer_list<QWidget*>{Text_Hour, UpDown1, Label_Hour, Text_Minute, UpDown2,
                                                           Label_Minute, Text_Second, UpDown3, Label_Second})
        time->addWidget(widget);
    time->addStretch(1);

    auto* chime = new QHBoxLayout;
    for (QWidget* widget : std::initializer_list<QWidget*>{Label_ChimeNo, Text_Chime, UpDown4, Button_PlayChime})
        chime->addWidget(widget);
    chime->addSpacing(16);
    chime->addWidget(Check_Chime);
    chime->addWidget(Label_ChimeEnd);
    chime->addStretch(1);

    QHBoxLayout* buttons = makeButtonRow({Button_OK, Button_Cancel});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Label_Titile);
    layout->addLayout(time);
    layout->addWidget(Line_End);
    layout->addLayout(chime);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void Form_EditTime::connectHandlers()
{
    InputCheck::onFocusLoss(Text_Hour, [this](QWidget*) { InputCheck::checkRange(Text_Hour, 0, 23); });
    InputCheck::onFocusLoss(Text_Minute, [this](QWidget*) { InputCheck::checkRange(Text_Minute, 0, 59); });
    InputCheck::onFocusLoss(Text_Second, [this](QWidget*) { InputCheck::checkRange(Text_Second, 0, 59); });
    InputCheck::onFocusLoss(Text_Chime, [this](QWidget*) { InputCheck::checkRange(Text_Chime, 1, 7); });
    connect(UpDown2, &UpDown::stepped, this,
            guarded(this, [this] { Text_Minute->setText(twoDigits(EntryParts::numberIn(Text_Minute))); }));
    connect(UpDown3, &UpDown::stepped, this,
            guarded(this, [this] { Text_Second->setText(twoDigits(EntryParts::numberIn(Text_Second))); }));
    connect(Text_Chime, &QLineEdit::textChanged, this, guarded(this, [this] { Text_Chime_Change(); }));
    connect(Check_Chime, &QCheckBox::toggled, this, guarded(this, [this] { Check_Chime_Click(); }));
    connect(Button_PlayChime, &QPushButton::clicked, this, guarded(this, [this] { Button_PlayChime_Click(); }));
    connect(Button_OK, &QPushButton::clicked, this, guarded(this, [this] { Button_OK_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, guarded(this, [this] { reject(); }));
}

void Form_EditTime::Form_Load()
{
    const WeekRow& row = m_job.row;
    m_type = m_history.document().circuit(row.CircuitNO).Program;
    if (m_type == TypeTimeSignal) {
        hideChimeControls();
    } else if (m_type != TypeChime) {
        return;
    }
    Text_Hour->setText(QString::number(row.TimeONH));
    Text_Minute->setText(twoDigits(row.TimeONM));
    if (m_type == TypeChime) {
        Text_Second->setText(twoDigits(row.TimeONS));
        Text_Chime->setText(QString::number(row.ChimeNO == 0 ? 1 : row.ChimeNO));
        LastChimeNo = EntryParts::numberIn(Text_Chime);
    }
}

void Form_EditTime::hideChimeControls()
{
    for (QWidget* widget :
         std::initializer_list<QWidget*>{Text_Second, UpDown3, Label_Second, Text_Chime, UpDown4, Button_PlayChime,
                                         Label_ChimeEnd, Check_Chime, Label_ChimeNo, Line_End})
        widget->hide();
}

void Form_EditTime::AdjustChimeEnd(int melody)
{
    const WeekEditing::TimeOfDay now{EntryParts::numberIn(Text_Hour), EntryParts::numberIn(Text_Minute),
                                     EntryParts::numberIn(Text_Second)};
    const WeekEditing::TimeOfDay shifted = WeekEditing::AdjustChimeEnd(now, melody, Check_Chime->isChecked());
    Text_Hour->setText(QString::number(shifted.hour));
    Text_Minute->setText(twoDigits(shifted.minute));
    Text_Second->setText(twoDigits(shifted.second));
}

void Form_EditTime::Check_Chime_Click()
{
    // Taking an adjustment back uses LastChimeNo; a fresh one needs a valid
    // melody, or a later change of melody would undo a shift never made.
    const bool melodyValid = m_undoingAdjustment || NumericText::inRange(Text_Chime->text(), 1, 7);
    const bool timeValid = NumericText::inRange(Text_Hour->text(), 0, 23)
        && NumericText::inRange(Text_Minute->text(), 0, 59) && NumericText::inRange(Text_Second->text(), 0, 59);
    if (!timeValid || !melodyValid) {
        // Nothing to shift: the box goes back and the failing box's check speaks.
        const QSignalBlocker blocker(Check_Chime);
        Check_Chime->setChecked(!Check_Chime->isChecked());
        boxesValid();
        return;
    }
    AdjustChimeEnd(m_undoingAdjustment ? LastChimeNo : EntryParts::numberIn(Text_Chime));
}

void Form_EditTime::Text_Chime_Change()
{
    if (Check_Chime->isChecked()) {
        m_undoingAdjustment = true;
        Check_Chime->setChecked(false);
        m_undoingAdjustment = false;
    }
    if (const auto melody = NumericText::toInteger(Text_Chime->text()))
        LastChimeNo = *melody;
}

void Form_EditTime::Button_PlayChime_Click()
{
    PlayChime(EntryParts::numberIn(Text_Chime), this);
}

bool Form_EditTime::boxesValid()
{
    return InputCheck::checkVisibleRanges(
        {{Text_Hour, 0, 23}, {Text_Minute, 0, 59}, {Text_Second, 0, 59}, {Text_Chime, 1, 7}});
}

void Form_EditTime::Button_OK_Click()
{
    if (m_type != TypeTimeSignal && m_type != TypeChime) {
        accept();
        return;
    }
    if (!boxesValid())
        return;
    using EntryParts::numberIn;
    const WeekEditing::TimeProgram program{numberIn(Text_Hour), numberIn(Text_Minute), numberIn(Text_Second),
                                           numberIn(Text_Chime)};
    UndoStep step(m_history, WeekEditing::EntryStepName(m_job));
    if (WeekEditing::WriteTimeProgram(m_history.document(), m_job, m_type, program)
        == WeekEditing::WriteResult::Refused)
        EntryParts::showCapacityRefusal(this);
    accept();
}
