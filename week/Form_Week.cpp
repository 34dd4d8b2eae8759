#include "week/Form_Week.h"

#include "app/ui/Guard.h"
#include "app/ui/MessageBox.h"
#include "app/ui/Widgets.h"
#include "app/ui/WindowUtil.h"
#include "store/ProgramTypes.h"
#include "store/SharedState.h"
#include "store/StoreRoutines.h"
#include "week/Days.h"
#include "week/Form_Copy.h"
#include "week/Form_EditTime.h"
#include "week/Form_EditTimeTimer.h"
#include "week/ProgramGrid.h"
#include "week/WeekEditing.h"
#include "whenruns/WeekViewSwitch.h"

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

const QSize kButtonSize(110, 32);

const QString kTitle = QStringLiteral("週間プログラム");

QLabel* makeValueLabel(QWidget* parent, const char* name)
{
    QLabel* label = makeLabel(parent, name, QString());
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(90);
    return label;
}

// "hh:mm" texts of the grid: hour in characters 1-2, minute in 4-5.
int hourOf(const QString& time) { return time.mid(0, 2).trimmed().toInt(); }
int minuteOf(const QString& time) { return time.mid(3, 2).toInt(); }
int secondOf(const QString& time) { return time.right(2).toInt(); }

void runModal(QDialog* dialog)
{
    std::unique_ptr<QDialog> owned(dialog);
    owned->exec();
}

}  // namespace

Form_Week::Form_Week(QWidget* parent)
    : QWidget(parent)
    , openDialog(runModal)
{
    setObjectName(QStringLiteral("Form_Week"));
    setWindowTitle(kTitle);
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_Week::buildWindow()
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
    Label2 = makeLabel(this, "Label2", QStringLiteral("プログラムの種類"));
    Label_Mode = makeValueLabel(this, "Label_Mode");
    Label3 = makeLabel(this, "Label3", QStringLiteral("出力時間／チャイム起動時間"));
    Label_Pulse = makeValueLabel(this, "Label_Pulse");
    Label4 = makeLabel(this, "Label4", QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ残量数"));
    Label_ProgramCount = makeValueLabel(this, "Label_ProgramCount");
    Label_ProgramCount->setToolTip(QStringLiteral("週間プログラムの設定可能数です。"));
    Label_ProgramCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    DataGrid1 = new ProgramGrid(this);
    DataGrid1->setToolTip(QStringLiteral("設定時刻を選択するには左端のレコードセレクタをクリックします。"));
    DataGrid1->setMinimumSize(480, 330);

    Button_New = makeButton(this, "Button_New", QStringLiteral("新規 (&N)"),
                            QStringLiteral("設定時刻を新規で追加します。"), kButtonSize);
    Button_Edit = makeButton(this, "Button_Edit", QStringLiteral("編集 (&E)"),
                             QStringLiteral("選択した設定時刻を編集します。"), kButtonSize);
    Button_Delete = makeButton(this, "Button_Delete", QStringLiteral("削除 (&D)"),
                               QStringLiteral("選択した設定時刻を削除します。"), kButtonSize);
    Button_Copy = makeButton(this, "Button_Copy", QStringLiteral("コピー (&C)"),
                             QStringLiteral("現在選択している曜日に別の曜日の設定をコピーします。"), kButtonSize);
    Button_AllDelete = makeButton(this, "Button_AllDelete", QStringLiteral("全削除 (&A)"),
                                  QStringLiteral("選択した回路の設定をすべて削除します。"), kButtonSize);
    Button_Close = makeButton(this, "Button_Close", QStringLiteral("閉じる (&X)"),
                              QStringLiteral("メイン画面に戻ります。"), kButtonSize);

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

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {Button_New, Button_Edit, Button_Delete, Button_Copy, Button_AllDelete})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(Label4);
    buttons->addWidget(Label_ProgramCount);
    buttons->addSpacing(12);
    buttons->addWidget(Button_Close);

    // The grid keeps its place while it is hidden (no circuit chosen).
    auto* gridArea = new QWidget(this);
    gridArea->setMinimumSize(DataGrid1->minimumSize());
    auto* gridLayout = new QVBoxLayout(gridArea);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(DataGrid1);

    Frame_View = new WeekViewSwitch(gridArea, this);
    choices->addWidget(Frame_View, 1, 5, Qt::AlignRight);

    auto* body = new QHBoxLayout;
    body->addWidget(Frame_View->area(), 1);
    body->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Label_Titile);
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
    connect(Button_Close, &QPushButton::clicked, this, guarded(this, [this] { Button_Close_Click(); }));
    // Edit and delete act on the selected grid row, hidden under the timeline.
    connect(Frame_View, &WeekViewSwitch::timelineToggled, this, [this](bool shown) {
        Button_Edit->setEnabled(!shown);
        Button_Delete->setEnabled(!shown);
    });
}

void Form_Week::Form_Load()
{
    const QSignalBlocker circuitBlocker(Combo_Circuit);
    const QSignalBlocker dayBlocker(Combo_Yobi);
    for (int circuit = 1; circuit <= 8; ++circuit)
        if (CircuitSettingAt(circuit).Program != 0)
            Combo_Circuit->addItem(QString::number(circuit), circuit);
    Combo_Circuit->setCurrentIndex(-1);
    for (int day = 0; day <= Days::EveryDay; ++day)
        Combo_Yobi->addItem(Days::name(day), day);
    Combo_Yobi->setCurrentIndex(-1);
    Label_ProgramCount->setText(QString::number(RemainingWeekCapacity()));
    refresh();
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
    return CircuitSettingAt(selectedCircuit()).Program;
}

void Form_Week::BuildWeekList(int circuit, int day)
{
    DataGrid1->setList(ProgramLists::BuildWeekList(circuit, day));
}

void Form_Week::SetWeekGridColumns(int day)
{
    DataGrid1->applyColumns(ProgramLists::SetWeekGridColumns(selectedCircuit(), day));
}

void Form_Week::rebuildList(int circuit, int day)
{
    BuildWeekList(circuit, day);
    SetWeekGridColumns(day);
    Frame_View->showCircuit(circuit);
}

void Form_Week::refresh()
{
    rebuildList(selectedCircuit(), selectedDay());
}

void Form_Week::updateCopyEnabled()
{
    const int type = programType();
    Button_Copy->setEnabled((type == 1 || type == 2) && !Days::isGroup(selectedDay()));
}

void Form_Week::Combo_Circuit_Click()
{
    if (Combo_Circuit->currentText().isEmpty())
        return;
    const CircuitSetting& setting = CircuitSettingAt(selectedCircuit());
    Label_Mode->setText(ProgramTypeName(setting.Program));
    Label_Pulse->setText(setting.Program == 0 ? QString() : QString::number(setting.PulseTime) + QStringLiteral("秒"));
    updateCopyEnabled();
    refresh();
}

void Form_Week::Combo_Yobi_Click()
{
    if (selectedCircuit() == 0)
        return;
    updateCopyEnabled();
    refresh();
}

void Form_Week::Button_New_Click()
{
    if (selectedCircuit() == 0 || selectedDay() < 0)
        return;
    const int type = programType();
    if (type < 1 || type > 4)
        return;
    EditRequest = EditRequestData{};
    EditRequest.CircuitNO = qint16(selectedCircuit());
    EditRequest.YobiON = qint16(selectedDay());
    EditRequest.YobiOFF = type >= 3 ? EditRequest.YobiON : qint16(0);
    EditRequest.Origin = 1;
    if (type <= 2)
        openDialog(new Form_EditTime(this));
    else
        openDialog(new Form_EditTimeTimer(this));
}

void Form_Week::fillRequestFromRow()
{
    EditRequestData& r = EditRequest;
    const int type = programType();
    r.ID = qint16(DataGrid1->selectedValue(QStringLiteral("ID")).toInt());
    r.CircuitNO = qint16(selectedCircuit());
    r.SpecialNO = 0;
    r.Repeat = 0;
    r.ChimeNO = 0;
    r.YobiON = qint16(selectedDay());
    r.YobiOFF = 0;
    r.TimeONS = r.TimeOFFH = r.TimeOFFM = 0;
    r.Origin = 1;
    if (type == 1 || type == 2) {
        const QString time = DataGrid1->selectedText(QStringLiteral(" 時 刻"));
        r.TimeONH = qint16(hourOf(time));
        r.TimeONM = qint16(minuteOf(time));
        if (type == 2) {
            r.TimeONS = qint16(secondOf(time));
            r.ChimeNO = qint16(DataGrid1->selectedText(QStringLiteral(" 曲番号")).toInt());
        }
        return;
    }
    const QString start = DataGrid1->selectedText(QStringLiteral(" 開始時刻"));
    const QString end = DataGrid1->selectedText(QStringLiteral(" 終了時刻"));
    r.YobiOFF = qint16(std::max(0, Days::codeOf(DataGrid1->selectedText(QStringLiteral(" 終了曜日")))));
    r.TimeONH = qint16(hourOf(start));
    r.TimeONM = qint16(minuteOf(start));
    r.TimeOFFH = qint16(hourOf(end));
    r.TimeOFFM = qint16(minuteOf(end));
    if (type == 4)
        r.Repeat = qint16(DataGrid1->selectedText(QStringLiteral("繰返し間隔(分)")).toInt());
}

void Form_Week::Button_Edit_Click()
{
    if (DataGrid1->selectedRow() < 0 || selectedCircuit() == 0)
        return;
    const int type = programType();
    if (type < 1 || type > 4)
        return;
    fillRequestFromRow();
    EditRequest.EditMode = -1;
    if (type <= 2)
        openDialog(new Form_EditTime(this));
    else
        openDialog(new Form_EditTimeTimer(this));
}

void Form_Week::Button_Delete_Click()
{
    if (DataGrid1->selectedRow() < 0 || selectedCircuit() == 0)
        return;
    if (MessageBox::show(this, QStringLiteral("削除しますか？"), kTitle, MessageBox::Icon::Question,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    fillRequestFromRow();
    WeekEditing::DeleteWeekProgram(EditRequest, selectedDay());
    refresh();
    UpdateProgramCount(objectName());
}

void Form_Week::Button_AllDelete_Click()
{
    const int circuit = selectedCircuit();
    if (circuit == 0)
        return;
    const QString prefix = QStringLiteral("回路No.") + QString::number(circuit);
    if (MessageBox::show(this, prefix + QStringLiteral(" の週間プログラムをすべて削除しますか？"), kTitle,
                         MessageBox::Icon::Question, QMessageBox::Yes | QMessageBox::No,
                         QMessageBox::No) != QMessageBox::Yes)
        return;
    WeekEditing::DeleteAllWeekPrograms(circuit);
    refresh();
    UpdateProgramCount(objectName());
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
    EditRequest.CircuitNO = qint16(selectedCircuit());
    EditRequest.YobiON = qint16(selectedDay());
    EditRequest.SpecialNO = 0;
    EditRequest.Origin = 1;
    const int type = programType();
    if (type == 1 || type == 2)
        openDialog(new Form_Copy(this));
}

void Form_Week::Button_Close_Click()
{
    close();
}

void Form_Week::closeEvent(QCloseEvent* event)
{
    MarkFormUnloaded(this);
    if (QWidget* main = FindForm(QStringLiteral("Form_Main")); main && !main->isVisible())
        main->show();
    event->accept();
}
