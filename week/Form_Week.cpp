#include "week/Form_Week.h"
#include "store/ScheduleDocument.h"

#include "history/UndoActions.h"
#include "history/UndoHistory.h"
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/StoreChanges.h"
#include "store/StoreRoutines.h"
#include "store/WeekPrograms.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialogs.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "week/Days.h"
#include "week/Form_Bells.h"
#include "week/Form_Copy.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/ListControls.h"
#include "week/ProgramGrid.h"
#include "week/WeekEditing.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace {

const QString kTitle = QStringLiteral("週間プログラム");

}  // namespace

Form_Week::Form_Week(UndoHistory& history, const WeekViewMaker& makeView, QWidget* parent)
    : QWidget(parent)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_Week"));
    setWindowTitle(kTitle);
    buildWindow(makeView);
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_Week::buildWindow(const WeekViewMaker& makeView)
{
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("週間プログラムの設定"));
    styleHeading(Label_Titile, 1.4);

    Label_Circuit = makeLabel(this, "Label_Circuit", QStringLiteral("回　路"));
    Combo_Circuit = new QComboBox(this);
    Combo_Circuit->setObjectName(QStringLiteral("Combo_Circuit"));
    Combo_Circuit->setToolTip(QStringLiteral("回路を選択します。"));
    Combo_Circuit->setMinimumWidth(80);
    Label1 = makeLabel(this, "Label1", QStringLiteral("曜　日"));
    Combo_Yobi = new QComboBox(this);
    Combo_Yobi->setObjectName(QStringLiteral("Combo_Yobi"));
    Combo_Yobi->setToolTip(QStringLiteral("曜日を選択します。"));
    Combo_Yobi->setMinimumWidth(80);
    createListControls(this, QStringLiteral("週間プログラムの設定可能数です。"), QSize(480, 330),
                       QStringLiteral("メイン画面に戻ります。"), CopyPlace::BeforeAllDelete);

    auto* choices = new QGridLayout;
    choices->addWidget(Label_Circuit, 0, 0);
    choices->addWidget(Combo_Circuit, 0, 1);
    choices->addWidget(Label2, 0, 2);
    choices->addWidget(Label_Mode, 0, 3);
    choices->addWidget(Label1, 1, 0);
    choices->addWidget(Combo_Yobi, 1, 1);
    choices->addWidget(Label3, 1, 2);
    choices->addWidget(Label_Pulse, 1, 3);
    choices->setColumnStretch(4, 1);

    // The grid keeps its place while it is hidden (no circuit chosen).
    auto* gridArea = new QWidget(this);
    gridArea->setMinimumSize(DataGrid1->minimumSize());
    auto* gridLayout = new QVBoxLayout(gridArea);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(DataGrid1);

    Frame_View = makeView ? makeView(gridArea, this) : nullptr;
    if (Frame_View)
        choices->addWidget(Frame_View, 1, 5, Qt::AlignRight);

    auto* body = new QHBoxLayout;
    body->addWidget(Frame_View ? Frame_View->area() : gridArea, 1);
    body->addLayout(buttonColumn());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addLayout(HeadingWithUndoButtons(this, m_history, Label_Titile));
    layout->addLayout(choices);
    layout->addLayout(body, 1);
}

void Form_Week::connectHandlers()
{
    connect(Combo_Circuit, &QComboBox::currentIndexChanged, this, guarded(this, [this] { Combo_Circuit_Click(); }));
    connect(Combo_Yobi, &QComboBox::currentIndexChanged, this, guarded(this, [this] { Combo_Yobi_Click(); }));
    connect(Button_New, &QPushButton::clicked, this, guarded(this, [this] { Button_New_Click(); }));
    connect(Button_Edit, &QPushButton::clicked, this, guarded(this, [this] { Button_Edit_Click(); }));
    connect(Button_Delete, &QPushButton::clicked, this, guarded(this, [this] { Button_Delete_Click(); }));
    connect(Button_AllDelete, &QPushButton::clicked, this, guarded(this, [this] { Button_AllDelete_Click(); }));
    connect(Button_Copy, &QPushButton::clicked, this, guarded(this, [this] { Button_Copy_Click(); }));
    connect(Button_Bells, &QPushButton::clicked, this, guarded(this, [this] { Button_Bells_Click(); }));
    connect(Button_Close, &QPushButton::clicked, this, guarded(this, [this] { Button_Close_Click(); }));
    closeOnEscape(this);
    connect(&m_history.document(), &ScheduleDocument::changed, this, [this](StoreChanges::Changes changes) {
        if (changes & StoreChanges::Settings)
            runGuarded(this, [this] { settingsChanged(); });
        else if (changes & StoreChanges::WeekAndSpecial)
            runGuarded(this, [this] { programsChanged(); });
    });
    // Edit and delete act on the selected grid row, hidden under the timeline.
    if (Frame_View)
        connect(Frame_View, &WeekViewChoice::timelineToggled, this, [this](bool shown) {
            Button_Edit->setEnabled(!shown);
            Button_Delete->setEnabled(!shown);
        });
}

void Form_Week::Form_Load()
{
    const QSignalBlocker circuitBlocker(Combo_Circuit);
    const QSignalBlocker dayBlocker(Combo_Yobi);
    fillCircuitChoice(Combo_Circuit, [this](int circuit) { return offered(circuit); });
    Combo_Circuit->setCurrentIndex(-1);
    for (int day = 0; day <= Days::EveryDay; ++day)
        Combo_Yobi->addItem(Days::name(day), day);
    Combo_Yobi->setCurrentIndex(-1);
    Button_Bells->setEnabled(false);
    Label_ProgramCount->setText(QString::number(RemainingWeekCapacity(m_history.document())));
    refresh();
}

bool Form_Week::offered(int circuit) const
{
    return m_history.document().circuit(circuit).Program != TypeNone;
}

// An undone or redone 初期設定: the circuits on offer and the chosen one's
// type follow; a circuit no longer set up leaves nothing chosen.
void Form_Week::settingsChanged()
{
    if (!refillCircuitChoice(Combo_Circuit, [this](int circuit) { return offered(circuit); })) {
        Label_Mode->clear();
        Label_Pulse->clear();
        updateButtonsEnabled();
    } else {
        Combo_Circuit_Click();
    }
    programsChanged();
}

int Form_Week::selectedCircuit() const
{
    return Combo_Circuit->currentIndex() < 0 ? 0 : Combo_Circuit->currentData().toInt();
}

int Form_Week::selectedDay() const
{
    return Combo_Yobi->currentIndex();
}

int Form_Week::programType() const
{
    return m_history.document().circuit(selectedCircuit()).Program;
}

void Form_Week::BuildWeekList(int circuit, int day)
{
    DataGrid1->setList(ProgramLists::BuildWeekList(m_history.document(), circuit, day));
}

void Form_Week::SetWeekGridColumns(int day)
{
    DataGrid1->applyColumns(ProgramLists::SetWeekGridColumns(m_history.document(), selectedCircuit(), day));
}

void Form_Week::rebuildList(int circuit, int day)
{
    BuildWeekList(circuit, day);
    SetWeekGridColumns(day);
    if (Frame_View)
        Frame_View->showCircuit(circuit);
}

void Form_Week::refresh()
{
    rebuildList(selectedCircuit(), selectedDay());
}

// Whoever changed them (this window, its entry or copy dialog), the list
// and the count left follow.
void Form_Week::programsChanged()
{
    refresh();
    Label_ProgramCount->setText(QString::number(RemainingWeekCapacity(m_history.document())));
}

void Form_Week::updateButtonsEnabled()
{
    const int type = programType();
    const bool bells = type == TypeTimeSignal || type == TypeChime;
    Button_Copy->setEnabled(bells && !Days::isGroup(selectedDay()));
    Button_Bells->setEnabled(bells && selectedDay() >= 0);
}

void Form_Week::Combo_Circuit_Click()
{
    if (Combo_Circuit->currentText().isEmpty())
        return;
    const CircuitSetting& setting = m_history.document().circuit(selectedCircuit());
    Label_Mode->setText(ProgramTypeName(setting.Program));
    Label_Pulse->setText(setting.Program == TypeNone ? QString()
                                                     : QString::number(setting.PulseTime) + QStringLiteral("秒"));
    updateButtonsEnabled();
    refresh();
}

void Form_Week::Combo_Yobi_Click()
{
    if (selectedCircuit() == 0)
        return;
    updateButtonsEnabled();
    refresh();
}

void Form_Week::Button_New_Click()
{
    if (selectedCircuit() == 0 || selectedDay() < 0)
        return;
    const int type = programType();
    if (type < TypeTimeSignal || type > TypeRepeat)
        return;
    EntryJob job;
    job.row.CircuitNO = selectedCircuit();
    job.row.YobiON = selectedDay();
    job.row.YobiOFF = type >= TypeTimer ? job.row.YobiON : 0;
    openEntryDialog(job);
}

void Form_Week::openEntryDialog(const EntryJob& job)
{
    if (programType() <= TypeChime)
        ModalDialogs::open(new Form_EditTime(m_history, job, this));
    else
        ModalDialogs::open(new Form_EditTimeTimer(m_history, job, this));
}

std::optional<EntryJob> Form_Week::jobFromRow() const
{
    if (DataGrid1->selectedRow() < 0)
        return std::nullopt;
    const std::optional<WeekRow> row = ScheduleModel::weekRowById(m_history.document(), DataGrid1->selectedId());
    if (!row)
        return std::nullopt;
    EntryJob job;
    job.row = *row;
    job.EditMode = EntryJob::Mode::Change;
    if (Days::isGroup(selectedDay())) {
        // The program on every day of the group, not its last day's row.
        job.row.ID = 0;
        job.row.YobiON = selectedDay();
        job.row.YobiOFF = 0;
    }
    return job;
}

void Form_Week::Button_Edit_Click()
{
    if (DataGrid1->selectedRow() < 0 || selectedCircuit() == 0)
        return;
    const int type = programType();
    if (type < TypeTimeSignal || type > TypeRepeat)
        return;
    if (const std::optional<EntryJob> job = jobFromRow())
        openEntryDialog(*job);
}

void Form_Week::Button_Delete_Click()
{
    if (selectedCircuit() == 0)
        return;
    const std::optional<EntryJob> job = jobFromRow();
    if (!job)
        return;
    if (MessageBox::show(this, QStringLiteral("削除しますか？"), kTitle, MessageBox::Icon::Question,
                         QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    UndoStep step(m_history, WeekEditing::StepName(QStringLiteral("削除"), job->row.CircuitNO, 0));
    WeekEditing::DeleteWeekProgram(m_history.document(), *job, selectedDay());
}

void Form_Week::Button_AllDelete_Click()
{
    const int circuit = selectedCircuit();
    if (circuit == 0)
        return;
    const QString prefix = QStringLiteral("回路No.") + QString::number(circuit);
    if (MessageBox::show(this, prefix + QStringLiteral(" の週間プログラムをすべて削除しますか？"), kTitle,
                         MessageBox::Icon::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    {
        UndoStep step(m_history, WeekEditing::StepName(QStringLiteral("全削除"), circuit, 0));
        WeekEditing::DeleteAllWeekPrograms(m_history.document(), circuit);
    }
    MessageBox::show(this, prefix + QStringLiteral(" の週間プログラムをすべて削除しました。"), kTitle,
                     MessageBox::Icon::Information);
}

void Form_Week::Button_Copy_Click()
{
    if (selectedCircuit() == 0) {
        MessageBox::show(this, QStringLiteral("回路が選択されていません"), kTitle, MessageBox::Icon::Critical);
        Combo_Circuit->setFocus();
        return;
    }
    if (selectedDay() < 0) {
        MessageBox::show(this, QStringLiteral("曜日が選択されていません"), kTitle, MessageBox::Icon::Critical);
        Combo_Yobi->setFocus();
        return;
    }
    const int type = programType();
    if (type == TypeTimeSignal || type == TypeChime)
        ModalDialogs::open(
            new Form_Copy(m_history, selectedCircuit(), WeekEditing::CopyTarget{selectedDay(), 0}, this));
}

void Form_Week::Button_Bells_Click()
{
    ModalDialogs::open(new Form_Bells(m_history, selectedCircuit(), Bells::Target{selectedDay(), 0}, this));
}

void Form_Week::Button_Close_Click()
{
    close();
}

void Form_Week::closeEvent(QCloseEvent* event)
{
    MarkFormUnloaded(this);
    emit closed();
    event->accept();
}
