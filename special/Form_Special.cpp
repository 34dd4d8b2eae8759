#include "special/Form_Special.h"
#include "store/ScheduleDocument.h"

#include "history/UndoActions.h"
#include "history/UndoHistory.h"
#include "special/SpecialPrograms.h"
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
#include "week/Form_Bells.h"
#include "week/Form_Copy.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/ListControls.h"
#include "week/ProgramGrid.h"
#include "week/WeekEditing.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("特殊プログラム");

}  // namespace

Form_Special::Form_Special(UndoHistory& history, int circuit, int special, const QString& closeTip, QWidget* parent,
                           SpecialNames::NamesFile* names)
    : QDialog(parent)
    , m_circuit(circuit)
    , m_special(special)
    , m_names(names)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_Special"));
    setWindowTitle(kTitle);
    setModal(true);
    buildWindow();
    Button_Close->setToolTip(closeTip);
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_Special::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("特殊プログラムの設定"));
    styleHeading(Label_Titile, 1.4);
    Label_CircuitTitle = makeLabel(this, "Label_CircuitTitle", QStringLiteral("回　路"));
    Label_Circuit = makeValueLabel(this, "Label_Circuit");
    Label_SpecialTitle = makeLabel(this, "Label_SpecialTitle", QStringLiteral("特殊番号"));
    Label_Special = makeValueLabel(this, "Label_Special");
    Label_NameTitle = makeLabel(this, "Label_NameTitle", QStringLiteral("名前"));
    Text_Name = new QLineEdit(this);
    Text_Name->setObjectName(QStringLiteral("Text_Name"));
    Text_Name->setToolTip(
        QStringLiteral("特殊番号の名前です（「短縮」など、%1文字まで）。一覧や日付設定に番号と並べて表示します。")
            .arg(SpecialNames::kMaxNameLength));
    Text_Name->setMaxLength(SpecialNames::kMaxNameLength);
    Text_Name->setMinimumWidth(160);
    Label_NameTitle->setVisible(m_names);
    Text_Name->setVisible(m_names);
    createListControls(this, QStringLiteral("特殊プログラムの設定可能数です。"), QSize(420, 300), QString(),
                       CopyPlace::AfterAllDelete);

    auto* choices = new QGridLayout;
    choices->addWidget(Label_CircuitTitle, 0, 0);
    choices->addWidget(Label_Circuit, 0, 1);
    choices->addWidget(Label2, 0, 2);
    choices->addWidget(Label_Mode, 0, 3);
    choices->addWidget(Label_SpecialTitle, 1, 0);
    auto* number = new QHBoxLayout;
    number->addWidget(Label_Special);
    number->addSpacing(12);
    number->addWidget(Label_NameTitle);
    number->addWidget(Text_Name, 1);
    choices->addLayout(number, 1, 1);
    choices->addWidget(Label3, 1, 2);
    choices->addWidget(Label_Pulse, 1, 3);
    choices->setColumnStretch(4, 1);

    auto* body = new QHBoxLayout;
    body->addWidget(DataGrid1, 1);
    body->addLayout(buttonColumn());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addLayout(HeadingWithUndoButtons(this, m_history, Label_Titile));
    layout->addLayout(choices);
    layout->addLayout(body, 1);
}

void Form_Special::connectHandlers()
{
    connect(Button_New, &QPushButton::clicked, this, guarded(this, [this] { Button_New_Click(); }));
    connect(Button_Edit, &QPushButton::clicked, this, guarded(this, [this] { Button_Edit_Click(); }));
    connect(Button_Delete, &QPushButton::clicked, this, guarded(this, [this] { Button_Delete_Click(); }));
    connect(Button_AllDelete, &QPushButton::clicked, this, guarded(this, [this] { Button_AllDelete_Click(); }));
    connect(Button_Copy, &QPushButton::clicked, this, guarded(this, [this] { Button_Copy_Click(); }));
    connect(Button_Bells, &QPushButton::clicked, this, guarded(this, [this] { Button_Bells_Click(); }));
    connect(Button_Close, &QPushButton::clicked, this, guarded(this, [this] { Button_Close_Click(); }));
    connect(Text_Name, &QLineEdit::editingFinished, this, guarded(this, [this] { Text_Name_Changed(); }));
    connect(&m_history.document(), &ScheduleDocument::changed, this, [this](StoreChanges::Changes changes) {
        runGuarded(this, [this, changes] {
            if (changes & StoreChanges::Settings)
                showCircuitType();
            if (changes & (StoreChanges::Settings | StoreChanges::WeekAndSpecial))
                programsChanged();
        });
    });
}

void Form_Special::Form_Load()
{
    if (m_special == 0)
        m_special = SpecialPrograms::FirstFreeSpecialNumber(m_history.document(), m_circuit);
    Label_Special->setText(QString::number(m_special));
    showName();
    Label_Circuit->setText(QString::number(m_circuit));
    showCircuitType();
    refresh();
    Label_ProgramCount->setText(QString::number(RemainingWeekCapacity(m_history.document())));
}

void Form_Special::showCircuitType()
{
    const CircuitSetting& setting = m_history.document().circuit(m_circuit);
    Label_Mode->setText(ProgramTypeName(setting.Program));
    Button_Copy->setEnabled(setting.Program == TypeTimeSignal || setting.Program == TypeChime);
    Button_Bells->setEnabled(Button_Copy->isEnabled());
    Label_Pulse->setText(QString::number(setting.PulseTime) + QStringLiteral("秒"));
}

int Form_Special::programType() const
{
    return m_history.document().circuit(m_circuit).Program;
}

void Form_Special::BuildSpecialList(int circuit, int special)
{
    DataGrid1->setList(ProgramLists::BuildSpecialList(m_history.document(), circuit, special));
}

void Form_Special::SetSpecialGridColumns()
{
    DataGrid1->applyColumns(ProgramLists::SetSpecialGridColumns(m_history.document(), m_circuit));
}

void Form_Special::rebuildList(int circuit, int special)
{
    BuildSpecialList(circuit, special);
    SetSpecialGridColumns();
}

void Form_Special::refresh()
{
    rebuildList(m_circuit, m_special);
}

// Whoever changed them (this window, its entry or copy dialog), the list
// and the count left follow.
void Form_Special::programsChanged()
{
    refresh();
    Label_ProgramCount->setText(QString::number(RemainingWeekCapacity(m_history.document())));
}

EntryJob Form_Special::newJob() const
{
    EntryJob job;
    job.row.CircuitNO = m_circuit;
    job.row.SpecialNO = m_special;
    job.Origin = EntryJob::Opener::SpecialWindow;
    return job;
}

void Form_Special::openEntryDialog(const EntryJob& job)
{
    const int type = programType();
    if (type == TypeTimeSignal || type == TypeChime)
        ModalDialogs::open(new Form_EditTime(m_history, job, this));
    else if (type == TypeTimer)
        ModalDialogs::open(new Form_EditTimeTimer(m_history, job, this));
}

void Form_Special::Button_New_Click()
{
    openEntryDialog(newJob());
}

void Form_Special::Button_Edit_Click()
{
    if (DataGrid1->selectedRow() < 0)
        return;
    const int type = programType();
    if (type < TypeTimeSignal || type > TypeTimer)
        return;
    const std::optional<WeekRow> row = ScheduleModel::weekRowById(m_history.document(), DataGrid1->selectedId());
    if (!row)
        return;
    EntryJob job;
    job.row = *row;
    job.EditMode = EntryJob::Mode::Change;
    job.Origin = EntryJob::Opener::SpecialWindow;
    openEntryDialog(job);
}

// When the number's last programs go, its year entries go with them: the
// question says so first, with the number of dates, and No is its default.
bool Form_Special::confirmDeletion(const QString& question, const QString& deleting, bool lastGoes,
                                   QMessageBox::StandardButton defaultButton)
{
    const int dates = lastGoes ? SpecialPrograms::YearEntriesUsing(m_history.document(), m_circuit, m_special) : 0;
    const QString text = dates == 0 ? question
                                    : deleting
            + QStringLiteral("と、この特殊番号を使う年間プログラムの日付（%1日）も削除されます。\r\n"
                             "削除しますか？")
                  .arg(dates);
    return MessageBox::show(this, text, kTitle, MessageBox::Icon::Question, QMessageBox::Yes | QMessageBox::No,
                            dates == 0 ? defaultButton : QMessageBox::No)
        == QMessageBox::Yes;
}

void Form_Special::Button_Delete_Click()
{
    if (DataGrid1->selectedRow() < 0)
        return;
    const bool last = SpecialPrograms::ProgramCount(m_history.document(), m_circuit, m_special) == 1;
    if (!confirmDeletion(QStringLiteral("削除しますか？"),
                         QStringLiteral("特殊番号%1の最後のプログラムを削除する").arg(m_special), last))
        return;
    const int id = DataGrid1->selectedId();
    bool numberGone = false;
    {
        UndoStep step(m_history, WeekEditing::StepName(QStringLiteral("削除"), m_circuit, m_special));
        numberGone = SpecialPrograms::DeleteSpecialProgram(m_history.document(), id, m_circuit, m_special);
    }
    if (numberGone)
        MessageBox::show(this, QStringLiteral("特殊番号%1 は削除されます。").arg(m_special), kTitle,
                         MessageBox::Icon::Information);
}

void Form_Special::Button_AllDelete_Click()
{
    const QString subject = QStringLiteral("回路No.%1 特殊番号%2").arg(m_circuit).arg(m_special);
    if (!confirmDeletion(subject + QStringLiteral(" の特殊プログラムをすべて削除しますか？"),
                         subject + QStringLiteral(" の特殊プログラムをすべて削除する"), true, QMessageBox::No))
        return;
    {
        UndoStep step(m_history, WeekEditing::StepName(QStringLiteral("全削除"), m_circuit, m_special));
        SpecialPrograms::DeleteAllSpecialPrograms(m_history.document(), m_circuit, m_special);
    }
    MessageBox::show(this, subject + QStringLiteral(" の特殊プログラムをすべて削除しました。"), kTitle,
                     MessageBox::Icon::Information);
}

void Form_Special::Button_Copy_Click()
{
    const int type = programType();
    if (type != TypeTimeSignal && type != TypeChime)
        return;
    ModalDialogs::open(new Form_Copy(m_history, m_circuit, WeekEditing::CopyTarget{0, m_special}, this));
}

void Form_Special::Button_Bells_Click()
{
    ModalDialogs::open(new Form_Bells(m_history, m_circuit, Bells::Target{0, m_special}, this));
}

void Form_Special::Button_Close_Click()
{
    close();
}

// Every way out (閉じる, the title bar, Esc) ends here.
void Form_Special::done(int result)
{
    MarkFormUnloaded(this);
    emit closing(m_special, DataGrid1->rowCount() > 0);
    QDialog::done(result);
}

void Form_Special::showName()
{
    if (!m_names)
        return;
    const QString name = m_names->names.name(m_special);
    Text_Name->setText(name);
    setWindowTitle(name.isEmpty() ? kTitle
                                  : kTitle + QStringLiteral("（%1）").arg(m_names->names.numberText(m_special)));
}

// The name is the editor's own setting: kept at once, and a file that
// cannot be written costs only the name's being kept for the next start.
void Form_Special::Text_Name_Changed()
{
    if (!m_names || Text_Name->text().trimmed() == m_names->names.name(m_special))
        return;
    if (const auto refusal = m_names->names.setName(m_special, Text_Name->text())) {
        MessageBox::show(this, *refusal, kTitle, MessageBox::Icon::Exclamation);
        showName();
        return;
    }
    showName();
    if (const auto problem = m_names->names.write(m_names->path))
        MessageBox::show(this, QStringLiteral("名前を記録できませんでした。\r\n") + *problem, kTitle,
                         MessageBox::Icon::Exclamation);
}
