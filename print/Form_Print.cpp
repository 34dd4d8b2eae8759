#include "print/Form_Print.h"
#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"

#include "history/UndoActions.h"
#include "print/Form_PrintSelect.h"
#include "print/PrintTables.h"
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/StoreChanges.h"
#include "store/StoreRoutines.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialogs.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <memory>

namespace {

const QString kTitle = QStringLiteral("プログラム印刷");
const QSize kButtonSize(190, 34);
// The listing drawn by the year calendar, beside PrintJob's kinds.
constexpr int kCalendar = -1;

}  // namespace

Form_Print::Form_Print(UndoHistory& history, QWidget* parent)
    : QWidget(parent)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_Print"));
    setWindowTitle(kTitle);
    buildWindow();
    connectHandlers();
    AddUndoShortcuts(this, m_history);
    closeOnEscape(this);
    // An undo or redo can give or take a circuit's programs.
    connect(&m_history.document(), &ScheduleDocument::changed, this,
            [this] { runGuarded(this, [this] { circuitsChanged(); }); });
    runGuarded(this, [this] { Form_Load(); });
}

void Form_Print::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", kTitle);
    styleHeading(Label_Titile, 1.3);
    Label_Circuit = makeLabel(this, "Label_Circuit", QStringLiteral("回　路"));
    Combo_Circuit = new QComboBox(this);
    Combo_Circuit->setObjectName(QStringLiteral("Combo_Circuit"));
    Combo_Circuit->setToolTip(QStringLiteral("印刷する回路を選択します。"));
    Combo_Circuit->setMinimumWidth(80);
    Label_ModeCaption = makeLabel(this, "Label1", QStringLiteral("プログラムの種類"));
    Label_Mode = makeLabel(this, "Label_Mode", QString());
    Label_Mode->setFrameShape(QFrame::StyledPanel);
    Label_Mode->setFrameShadow(QFrame::Sunken);
    Label_Mode->setMinimumWidth(100);

    Button_Week = makeButton(this, "Button_Week", QStringLiteral("週間プログラム印刷 (&W)"),
                             QStringLiteral("設定済みの週間プログラムを印刷します。"), kButtonSize);
    Label_Week = makeLabel(this, "Label_Week", QStringLiteral("曜日ごとに設定した週間プログラムを確認します。"));
    Button_Year = makeButton(this, "Button_Year", QStringLiteral("年間プログラム印刷 (&Y)"),
                             QStringLiteral("設定済みの年間プログラムを印刷します。"), kButtonSize);
    Label_Year = makeLabel(this, "Label_Year", QStringLiteral("日付ごとに設定した年間プログラムを確認します。"));
    Button_Special = makeButton(this, "Button_Special", QStringLiteral("特殊プログラム印刷 (&S)"),
                                QStringLiteral("設定済みの特殊プログラムを印刷します。"), kButtonSize);
    Label_Special = makeLabel(this, "Label_Special",
                              QStringLiteral("年間プログラムで指定した日付に実行される特殊プログラムを確認します。"));
    Button_Calendar = makeButton(this, "Button_Calendar", QStringLiteral("年間カレンダー印刷 (&C)"),
                                 QStringLiteral("1年度の年間プログラムを1枚のカレンダーに印刷します。"), kButtonSize);
    Label_Calendar = makeLabel(this, "Label_Calendar",
                               QStringLiteral("4月から翌年3月までの毎日に何が実行されるかを1枚で確認します。"));
    Button_Close = makeButton(this, "Button_Close", QStringLiteral("閉じる (&X)"),
                              QStringLiteral("メイン画面へ戻ります。"), QSize(110, 32));

    auto* choice = new QGridLayout;
    choice->addWidget(Label_Circuit, 0, 0);
    choice->addWidget(Combo_Circuit, 1, 0);
    choice->addWidget(Label_ModeCaption, 0, 1);
    choice->addWidget(Label_Mode, 1, 1);
    choice->setColumnStretch(2, 1);

    auto* commands = new QGridLayout;
    commands->setHorizontalSpacing(12);
    int row = 0;
    for (auto [button, label] :
         {std::pair{Button_Week, Label_Week}, std::pair{Button_Year, Label_Year},
          std::pair{Button_Special, Label_Special}, std::pair{Button_Calendar, Label_Calendar}}) {
        commands->addWidget(button, row, 0);
        commands->addWidget(label, row, 1);
        ++row;
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(Label_Titile);
    layout->addLayout(choice);
    layout->addLayout(commands);
    layout->addWidget(Button_Close, 0, Qt::AlignRight);
}

void Form_Print::connectHandlers()
{
    connect(Combo_Circuit, &QComboBox::currentIndexChanged, this, guarded(this, [this] { Combo_Circuit_Click(); }));
    connect(Button_Week, &QPushButton::clicked, this, guarded(this, [this] { printButtonClick(PrintJob::Week); }));
    connect(Button_Year, &QPushButton::clicked, this, guarded(this, [this] { printButtonClick(PrintJob::Year); }));
    connect(Button_Special, &QPushButton::clicked, this,
            guarded(this, [this] { printButtonClick(PrintJob::Special); }));
    connect(Button_Calendar, &QPushButton::clicked, this, guarded(this, [this] { printButtonClick(kCalendar); }));
    connect(Button_Close, &QPushButton::clicked, this, guarded(this, [this] { Button_Close_Click(); }));
}

// Nothing is chosen at first: filling the list must not choose its first
// circuit (the type and the buttons follow only the user's choice).
void Form_Print::Form_Load()
{
    const QSignalBlocker quiet(Combo_Circuit);
    fillCircuitChoice(Combo_Circuit, [this](int circuit) { return HasPrograms(m_history.document(), circuit); });
    Combo_Circuit->setCurrentIndex(-1);
}

void Form_Print::circuitsChanged()
{
    if (refillCircuitChoice(Combo_Circuit, [this](int circuit) { return HasPrograms(m_history.document(), circuit); }))
        Combo_Circuit_Click();
    else
        Label_Mode->clear();
}

void Form_Print::Combo_Circuit_Click()
{
    if (Combo_Circuit->currentText().isEmpty())
        return;
    const int type = m_history.document().circuit(Combo_Circuit->currentData().toInt()).Program;
    const bool known = type >= TypeTimeSignal && type <= TypeRepeat;
    Label_Mode->setText(ProgramTypeName(type));
    Button_Week->setEnabled(known);
    Button_Year->setEnabled(known && type != TypeRepeat);
    Button_Special->setEnabled(known && type != TypeRepeat);
    Button_Calendar->setEnabled(known && type != TypeRepeat);
}

void Form_Print::printButtonClick(int kind)
{
    if (Combo_Circuit->currentText().isEmpty()) {
        MessageBox::show(this, QStringLiteral("印刷する回路を選択してください。"), kTitle,
                         MessageBox::Icon::Exclamation);
        Combo_Circuit->setFocus();
        return;
    }
    const int circuit = Combo_Circuit->currentData().toInt();
    if (!HasPrograms(m_history.document(), circuit)) {
        MessageBox::show(this, QStringLiteral("印刷するデータがありません。"), kTitle, MessageBox::Icon::Exclamation);
        Button_Close->setFocus();
        return;
    }
    if (kind == kCalendar)
        emit calendarRequested(circuit);
    else
        ModalDialogs::open(
            new Form_PrintSelect(m_history, PrintJob::forCircuit(m_history.document(), kind, circuit), this));
}

void Form_Print::Button_Close_Click()
{
    close();
}

void Form_Print::closeEvent(QCloseEvent* event)
{
    MarkFormUnloaded(this);
    emit closed();
    event->accept();
}
