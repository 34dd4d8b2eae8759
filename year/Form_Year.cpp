#include "year/Form_Year.h"
#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"

#include "history/UndoActions.h"
#include "special/Form_Special.h"
#include "special/Form_SpecialSelect.h"
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/StoreChanges.h"
#include "store/StoreRoutines.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialogs.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "week/ListControls.h"
#include "year/Form_DeleteYear.h"
#include "year/Form_EditYear.h"
#include "year/Form_Holiday.h"
#include "year/MonthCalendar.h"
#include "year/YearEntries.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QSize kButtonSize(150, 36);

}  // namespace

Form_Year::Form_Year(UndoHistory& history, const YearWindowPlace& start, QWidget* parent,
                     SpecialNames::NamesFile* names)
    : QWidget(parent)
    , m_names(names)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_Year"));
    setWindowTitle(QStringLiteral("年間プログラム"));
    buildWindow();
    connectHandlers();
    runGuarded(this, [this, start] { Form_Load(start); });
}

void Form_Year::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("年間プログラムの設定"));
    styleHeading(Label_Titile, 1.4);
    Label_Circuit = makeLabel(this, "Label_Circuit", QStringLiteral("回　路"));
    Combo_Circuit = new QComboBox(this);
    Combo_Circuit->setObjectName(QStringLiteral("Combo_Circuit"));
    Combo_Circuit->setToolTip(QStringLiteral("回路を選択します。"));
    Combo_Circuit->setMinimumWidth(80);
    Label_Mode = makeValueLabel(this, "Label_Mode");
    MonthView1 = new MonthCalendar(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setMinimumSize(420, 300);
    Label_Info = makeLabel(this, "Label_Info", QStringLiteral("年間プログラムを作成するには日付をクリックします"));
    Label_Legend = makeLabel(this, "Label_Legend", MonthCalendar::legendText());
    Label_Legend->setToolTip(
        QStringLiteral("特殊プログラムを実行する日、プログラム実行を停止する日、祝日の表示です。"));
    Button_DeleteYear = makeButton(this, "Button_DeleteYear", QStringLiteral("年間プログラム削除 (&D)"),
                                   QStringLiteral("設定済みの年間プログラムを削除します。"), kButtonSize);
    Button_Special =
        makeButton(this, "Button_Special", QStringLiteral("特殊プログラム作成 (&S)"),
                   QStringLiteral("年間プログラムで日付に割り当てる特殊パターンの時刻を設定します。"), kButtonSize);
    Button_Holiday =
        makeButton(this, "Button_Holiday", QStringLiteral("祝日設定 (&H)"),
                   QStringLiteral("表示している年（または年度）の祝日をまとめて停止または特殊プログラムに設定します。"),
                   kButtonSize);
    Button_Holiday->setEnabled(false);
    Button_Plan =
        makeButton(this, "Button_Plan", QStringLiteral("行事予定から設定 (&P)"),
                   QStringLiteral("学校の行事予定の日課から、日付ごとの設定をまとめて作成します。"), kButtonSize);
    Button_Plan->setEnabled(false);
    Button_Calendar = makeButton(this, "Button_Calendar", QStringLiteral("年間カレンダー (&C)"),
                                 QStringLiteral("1年度の年間プログラムを1枚のカレンダーで印刷します。"), kButtonSize);
    Button_Review = makeButton(this, "Button_Review", QStringLiteral("年間チェック (&R)"),
                               QStringLiteral("1年度の年間プログラムに誤りがないか確認します。"), kButtonSize);
    Label_Rest = makeLabel(this, "Label_Rest", QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ残量数"));
    Label_ProgramCount = makeLabel(this, "Label_ProgramCount", QStringLiteral("500"));
    Label_ProgramCount->setToolTip(QStringLiteral("年間プログラムの設定可能数です。毎年の設定はカウントされません。"));
    Label_ProgramCount->setFrameShape(QFrame::StyledPanel);
    Label_ProgramCount->setFrameShadow(QFrame::Sunken);
    Label_ProgramCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Button_Close = makeButton(this, "Button_Close", QStringLiteral("閉じる (&X)"),
                              QStringLiteral("メイン画面に戻ります。"), kButtonSize);

    auto* choices = new QHBoxLayout;
    choices->addWidget(Label_Circuit);
    choices->addWidget(Combo_Circuit);
    choices->addSpacing(12);
    choices->addWidget(Label_Mode);
    choices->addStretch(1);

    auto* calendar = new QVBoxLayout;
    calendar->addWidget(Label_Info, 0, Qt::AlignRight);
    calendar->addWidget(MonthView1, 1);
    calendar->addWidget(Label_Legend);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Button_Close);
    buttons->addSpacing(24);
    buttons->addWidget(Button_DeleteYear);
    buttons->addWidget(Button_Special);
    buttons->addWidget(Button_Holiday);
    buttons->addWidget(Button_Plan);
    buttons->addSpacing(12);
    buttons->addWidget(Button_Calendar);
    buttons->addWidget(Button_Review);
    buttons->addStretch(1);
    buttons->addWidget(Label_Rest);
    buttons->addWidget(Label_ProgramCount);

    auto* body = new QHBoxLayout;
    body->addLayout(calendar, 1);
    body->addSpacing(12);
    body->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addLayout(HeadingWithUndoButtons(this, m_history, Label_Titile));
    layout->addLayout(choices);
    layout->addLayout(body, 1);
}

void Form_Year::connectHandlers()
{
    connect(Combo_Circuit, &QComboBox::currentIndexChanged, this, guarded(this, [this] { Combo_Circuit_Click(); }));
    connect(MonthView1, &MonthCalendar::pageChanged, this,
            [this](bool byNavigation) { runGuarded(this, [=] { MonthView1_PageChanged(byNavigation); }); });
    connect(MonthView1, &MonthCalendar::runChosen, this,
            [this](QDate from, QDate to) { runGuarded(this, [=] { MonthView1_RunChosen(from, to); }); });
    connect(Button_Special, &QPushButton::clicked, this, guarded(this, [this] { Button_Special_Click(); }));
    connect(Button_DeleteYear, &QPushButton::clicked, this, guarded(this, [this] { Button_DeleteYear_Click(); }));
    connect(Button_Holiday, &QPushButton::clicked, this, guarded(this, [this] { Button_Holiday_Click(); }));
    connect(Button_Plan, &QPushButton::clicked, this, guarded(this, [this] { Button_Plan_Click(); }));
    connect(Button_Calendar, &QPushButton::clicked, this,
            [this] { emit calendarRequested(selectedCircuit(), MonthView1->selectedDate()); });
    connect(Button_Review, &QPushButton::clicked, this, [this] { emit reviewRequested(); });
    connect(Button_Close, &QPushButton::clicked, this, guarded(this, [this] { close(); }));
    closeOnEscape(this);
    // Whichever dialog changed the entries, the marks and the count follow.
    connect(&m_history.document(), &ScheduleDocument::changed, this, [this](StoreChanges::Changes changes) {
        if (changes & StoreChanges::Settings)
            runGuarded(this, [this] { settingsChanged(); });
        if (changes & (StoreChanges::Dated | StoreChanges::EveryYear))
            runGuarded(this, [this] {
                RefreshYearBold();
                showProgramCount();
            });
    });
}

void Form_Year::Form_Load(const YearWindowPlace& start)
{
    {
        const QSignalBlocker blocker(Combo_Circuit);
        fillCircuitChoice(Combo_Circuit, [this](int circuit) { return offered(circuit); });
        Combo_Circuit->setCurrentIndex(Combo_Circuit->findData(start.circuit));
    }
    MonthView1->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
    MonthView1->setSelectedDate(start.day.isValid() ? start.day : QDate::currentDate());
    showProgramCount();
    if (selectedCircuit() != 0)
        Combo_Circuit_Click();
}

YearWindowPlace Form_Year::place() const
{
    QDate day = MonthView1->selectedDate();
    if (day.year() != MonthView1->yearShown() || day.month() != MonthView1->monthShown())
        day = std::max(QDate(MonthView1->yearShown(), MonthView1->monthShown(), 1), MonthView1->minimumDate());
    return {selectedCircuit(), day};
}

void Form_Year::showDay(int circuit, QDate day)
{
    const int index = Combo_Circuit->findData(circuit);
    if (index >= 0 && index != Combo_Circuit->currentIndex())
        Combo_Circuit->setCurrentIndex(index);
    MonthView1->setSelectedDate(day);
}

bool Form_Year::offered(int circuit) const
{
    const int type = m_history.document().circuit(circuit).Program;
    return type >= TypeTimeSignal && type <= TypeTimer;
}

// An undone or redone 初期設定: the circuits on offer follow; a circuit no
// longer set up for the calendar leaves nothing chosen.
void Form_Year::settingsChanged()
{
    if (!refillCircuitChoice(Combo_Circuit, [this](int circuit) { return offered(circuit); })) {
        Label_Mode->clear();
        Button_Holiday->setEnabled(false);
        Button_Plan->setEnabled(false);
        markDays();
    } else {
        Combo_Circuit_Click();
    }
}

void Form_Year::showProgramCount()
{
    Label_ProgramCount->setText(QString::number(RemainingYearCapacity(m_history.document())));
}

int Form_Year::selectedCircuit() const
{
    return Combo_Circuit->currentIndex() < 0 ? 0 : Combo_Circuit->currentData().toInt();
}

bool Form_Year::circuitChosen()
{
    if (selectedCircuit() != 0)
        return true;
    MessageBox::show(this, QStringLiteral("回路を指定してください。"), QStringLiteral("年間プログラム"),
                     MessageBox::Icon::Critical);
    Combo_Circuit->setFocus();
    return false;
}

namespace {

// A day with a special number among its entries shows as a special day.
MonthCalendar::DayMark markFor(const YearEntries::DayEntries& entries, const SpecialNames::Names* names)
{
    const auto text = [names](int special) {
        const QString name = names && special > 0 ? names->name(special) : QString();
        return name.isEmpty() ? YearEntries::EntryText(special) : YearEntries::EntryText(special) + ' ' + name;
    };
    MonthCalendar::DayMark mark;
    if (!entries.any())
        return mark;
    QStringList words;
    if (entries.dated)
        words << text(*entries.dated);
    if (entries.everyYear)
        words << QStringLiteral("毎年: ") + text(*entries.everyYear);
    mark.text = words.join(QLatin1Char('\n'));
    mark.kind = entries.dated.value_or(0) != 0 || entries.everyYear.value_or(0) != 0 ? MonthCalendar::MarkKind::Special
                                                                                     : MonthCalendar::MarkKind::Stop;
    return mark;
}

}  // namespace

void Form_Year::markDays()
{
    const int circuit = selectedCircuit();
    QVector<MonthCalendar::DayMark> marks;
    if (circuit != 0)
        for (const YearEntries::DayEntries& entries : YearEntries::EntriesOfDays(
                 m_history.document(), circuit, MonthView1->firstShownDate(), MonthCalendar::ShownDays))
            marks << markFor(entries, m_names ? &m_names->names : nullptr);
    MonthView1->setMarks(marks);
    if (circuit != 0)
        focusCircuitChoice();
}

// Once the marks are up to date the circuit choice has the focus, ready for
// the next circuit; not while the user pages or moves through the calendar
// with the keyboard, whose next arrow key would then change the circuit.
void Form_Year::focusCircuitChoice()
{
    QWidget* focus = focusWidget();
    if (!focus || !MonthView1->isAncestorOf(focus))
        Combo_Circuit->setFocus();
}

void Form_Year::RefreshYearBold()
{
    if (selectedCircuit() != 0)
        markDays();
}

void Form_Year::Combo_Circuit_Click()
{
    Button_Holiday->setEnabled(selectedCircuit() != 0);
    Button_Plan->setEnabled(selectedCircuit() != 0);
    if (selectedCircuit() == 0)
        return;
    Label_Mode->setText(ProgramTypeName(m_history.document().circuit(selectedCircuit()).Program));
    markDays();
}

void Form_Year::MonthView1_PageChanged(bool byNavigation)
{
    markDays();
    if (byNavigation && selectedCircuit() != 0) {
        const QDate first =
            std::max(QDate(MonthView1->yearShown(), MonthView1->monthShown(), 1), MonthView1->minimumDate());
        MonthView1->setSelection(first, first);
    }
}

void Form_Year::MonthView1_RunChosen(QDate from, QDate to)
{
    if (!circuitChosen())
        return;
    // Where the focus comes back when the dialog closes, framed so that the
    // user sees that Enter there closes the window.
    Button_Close->setFocus();
    setAttribute(Qt::WA_KeyboardFocusChange);
    auto* dialog = new Form_EditYear(m_history, selectedCircuit(), from, to, this, m_names);
    // A rule may set days far from the page shown: the calendar turns to the
    // first of them, so that the marks show what was set.
    connect(dialog, &Form_EditYear::ruleDaysWritten, this,
            [this](QDate first) { runGuarded(this, [=] { MonthView1->showMonth(first.year(), first.month()); }); });
    ModalDialogs::open(dialog);
}

void Form_Year::Button_Special_Click()
{
    if (!circuitChosen())
        return;
    const int circuit = selectedCircuit();
    auto* select = new Form_SpecialSelect(m_history, circuit, this, m_names);
    connect(select, &Form_SpecialSelect::specialChosen, this, [this, select, circuit](int special) {
        runGuarded(select, [&] {
            ModalDialogs::open(new Form_Special(m_history, circuit, special,
                                                QStringLiteral("年間プログラム設定へ戻ります。"), this, m_names));
        });
    });
    ModalDialogs::open(select);
}

void Form_Year::Button_DeleteYear_Click()
{
    if (!circuitChosen())
        return;
    ModalDialogs::open(new Form_DeleteYear(m_history, selectedCircuit(), this));
}

void Form_Year::Button_Holiday_Click()
{
    if (!circuitChosen())
        return;
    ModalDialogs::open(new Form_Holiday(m_history, selectedCircuit(),
                                        QDate(MonthView1->yearShown(), MonthView1->monthShown(), 1), this, m_names));
}

void Form_Year::Button_Plan_Click()
{
    if (!circuitChosen())
        return;
    emit planImportRequested(selectedCircuit(), MonthView1->selectedDate());
}

void Form_Year::closeEvent(QCloseEvent* event)
{
    MarkFormUnloaded(this);
    emit closed();
    event->accept();
}
