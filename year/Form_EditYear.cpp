#include "year/Form_EditYear.h"
#include "store/ScheduleDocument.h"

#include "history/UndoHistory.h"
#include "special/Form_SpecialSelect.h"
#include "store/StoreRoutines.h"
#include "ui/BusyCursor.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "year/RepeatFrame.h"
#include "year/SpecialFrame.h"
#include "year/YearEntries.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QSize kButtonSize(100, 30);
const QString kTitle = QStringLiteral("年間プログラム設定");

QString dayText(QDate date, bool withYear)
{
    const QString day = QStringLiteral("%1月%2日").arg(date.month()).arg(date.day());
    return withYear ? QStringLiteral("%1年").arg(date.year()) + day : day;
}

QString listedDay(QDate date)
{
    return QStringLiteral("%1年%2月%3日（%4）")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(DateRules::WeekdayName(date.dayOfWeek()));
}

void showCapacityRefusal(ScheduleDocument& document, QWidget* parent, int toAdd)
{
    MessageBox::show(parent, YearEntries::CapacityRefusalText(document, toAdd), kTitle, MessageBox::Icon::Critical);
}

}  // namespace

Form_EditYear::Form_EditYear(UndoHistory& history, int circuit, QDate from, QDate to, QWidget* parent,
                             SpecialNames::NamesFile* namesFile)
    : QDialog(parent)
    , m_circuit(circuit)
    , m_from(from)
    , m_to(to)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_EditYear"));
    setWindowTitle(QStringLiteral("日付設定"));
    setModal(true);
    names = namesFile;
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_EditYear::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("日付設定"));
    styleHeading(Label_Titile, 1.3);
    Label_Date = makeLabel(this, "Label_Date", QString());
    styleHeading(Label_Date, 1.1);
    Combo_Year = new QComboBox(this);
    Combo_Year->setObjectName(QStringLiteral("Combo_Year"));
    Combo_Year->setToolTip(QStringLiteral("年間プログラムを設定する年を選択します。"));
    Combo_Year->setMinimumWidth(90);
    Label_OtherEntry = makeLabel(this, "Label_OtherEntry", QString());

    const struct {
        const char* caption;
        const char* tip;
    } options[] = {{"設定なし（週間プログラムを実行）", "年間プログラムの設定を解除します。"},
                   {"プログラム実行停止", "指定の日付は一日プログラムを実行しません。"},
                   {"特殊プログラムを実行", "指定の日付に特殊プログラムを実行します。"}};
    m_options = new QButtonGroup(this);
    for (int index = 0; index < 3; ++index) {
        Option_Year[index] = new QRadioButton(QString::fromUtf8(options[index].caption), this);
        Option_Year[index]->setObjectName(QStringLiteral("Option_Year_%1").arg(index));
        Option_Year[index]->setToolTip(QString::fromUtf8(options[index].tip));
        m_options->addButton(Option_Year[index], index);
    }

    Check_Repeat = new QCheckBox(QStringLiteral("繰り返し（期間と規則で日付を選ぶ）"), this);
    Check_Repeat->setObjectName(QStringLiteral("Check_Repeat"));
    Check_Repeat->setToolTip(QStringLiteral(
        "月や年をまたぐ期間のすべての日、毎週の曜日、毎月の第N 曜日・最終曜日・指定の日にまとめて設定します。"));
    Frame_Repeat = new RepeatFrame(m_from, m_to, this);
    Frame_Repeat->setVisible(false);
    Label_RuleDays = makeLabel(this, "Label_RuleDays", QString());
    List_RuleDays = new QListWidget(this);
    List_RuleDays->setObjectName(QStringLiteral("List_RuleDays"));
    List_RuleDays->setToolTip(QStringLiteral("設定する日です。設定済みの日はその内容を表示します。"));
    List_RuleDays->setSelectionMode(QAbstractItemView::NoSelection);
    List_RuleDays->setMinimumSize(330, 120);
    const char* const existing[] = {"設定済みの日も上書きする", "設定済みの日はそのままにする"};
    const char* const existingTips[] = {"設定済みの日も選択した内容に置き換えます。",
                                        "設定済みの日は今の設定のままにします。"};
    Label_Existing = makeLabel(this, "Label_Existing", QString());
    Label_Existing->setWordWrap(true);
    m_existing = new QButtonGroup(this);
    for (int index = 0; index < 2; ++index) {
        Option_Existing[index] = new QRadioButton(QString::fromUtf8(existing[index]), this);
        Option_Existing[index]->setObjectName(QStringLiteral("Option_Existing_%1").arg(index));
        Option_Existing[index]->setToolTip(QString::fromUtf8(existingTips[index]));
        m_existing->addButton(Option_Existing[index], index);
    }
    for (QWidget* shown : std::initializer_list<QWidget*>{Label_RuleDays, List_RuleDays, Label_Existing,
                                                          Option_Existing[0], Option_Existing[1]})
        shown->setVisible(false);

    createSpecialFrame(this, m_history, QStringLiteral("日付設定へ戻ります。"),
                       [this](int special, bool choose) { SpecialWindowClosed(special, choose); });
    Button_OK = makeButton(this, "Button_OK", QStringLiteral("OK (&O)"), QStringLiteral("入力した内容を確定します。"),
                           kButtonSize);
    Button_Cancel = makeButton(this, "Button_Cancel", QStringLiteral("ｷｬﾝｾﾙ (&C)"),
                               QStringLiteral("入力した内容をキャンセルします。"), kButtonSize);
    enableSpecialFrame(false);

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(Label_Date);
    dateRow->addStretch(1);
    dateRow->addWidget(Combo_Year);

    auto* special = new QHBoxLayout;
    special->addSpacing(24);
    special->addWidget(Frame_Special, 1);

    QHBoxLayout* buttons = makeButtonRow({Button_OK, Button_Cancel});

    auto* choice = new QVBoxLayout;
    choice->addWidget(Check_Repeat);
    choice->addSpacing(6);
    for (QRadioButton* option : Option_Year)
        choice->addWidget(option);
    choice->addLayout(special);
    choice->addWidget(Label_Existing);
    for (QRadioButton* option : Option_Existing) {
        auto* row = new QHBoxLayout;
        row->addSpacing(24);
        row->addWidget(option);
        choice->addLayout(row);
    }
    choice->addStretch(1);

    // The rule and its days stand beside the choice, so that the dialog
    // grows sideways and stays inside a small screen.
    auto* ruleDays = new QVBoxLayout;
    ruleDays->setContentsMargins(0, 0, 0, 0);
    ruleDays->addWidget(Frame_Repeat);
    ruleDays->addWidget(Label_RuleDays);
    ruleDays->addWidget(List_RuleDays, 1);

    auto* body = new QHBoxLayout;
    body->addLayout(choice, 1);
    body->addSpacing(12);
    body->addLayout(ruleDays, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Label_Titile);
    layout->addLayout(dateRow);
    layout->addWidget(Label_OtherEntry, 0, Qt::AlignRight);
    layout->addLayout(body, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    // Enter means OK, except on a focused button, which Enter presses.
    Button_OK->setDefault(true);
}

void Form_EditYear::connectHandlers()
{
    connect(Combo_Year, &QComboBox::currentIndexChanged, this, guarded(this, [this] { Combo_Year_Click(); }));
    connect(m_options, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            runGuarded(this, [this, index] { Option_Year_Click(index); });
    });
    connect(m_existing, &QButtonGroup::idToggled, this, [this] { showExistingChoice(); });
    connect(Check_Repeat, &QCheckBox::toggled, this, guarded(this, [this] { Check_Repeat_Click(); }));
    connect(Frame_Repeat, &RepeatFrame::changed, this, guarded(this, [this] { showRuleDays(); }));
    connect(Combo_Special, &QComboBox::currentIndexChanged, this, guarded(this, [this] { showRuleDays(); }));
    connect(Button_New, &QPushButton::clicked, this, guarded(this, [this] { newSpecial(this, m_circuit); }));
    connect(Button_Edit, &QPushButton::clicked, this, guarded(this, [this] { editSpecial(this, m_circuit); }));
    connect(Button_OK, &QPushButton::clicked, this, guarded(this, [this] { Button_OK_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, guarded(this, [this] { reject(); }));
}

void Form_EditYear::Form_Load()
{
    const QSignalBlocker blocker(Combo_Year);
    Combo_Year->addItem(QStringLiteral("毎年"));
    Combo_Year->addItem(QStringLiteral("%1年").arg(m_from.year() - 2000, 2, 10, QLatin1Char('0')));
    Combo_Year->setCurrentIndex(1);
    Combo_Year_Click();
}

bool Form_EditYear::everyYear() const
{
    return Combo_Year->currentIndex() == 0;
}

bool Form_EditYear::singleDay() const
{
    return m_from == m_to;
}

void Form_EditYear::fillSpecialList()
{
    fillSpecials(m_circuit);
    const int stored = m_stored.value_or(0);
    if (stored > 0 && Combo_Special->findData(stored) < 0) {
        const QSignalBlocker blocker(Combo_Special);
        Combo_Special->addItem(QStringLiteral("%1（プログラムなし）").arg(stored), stored);
        Combo_Special->setCurrentIndex(-1);
    }
}

void Form_EditYear::chooseSpecial(int special)
{
    Combo_Special->setCurrentIndex(Combo_Special->findData(special));
}

void Form_EditYear::Combo_Year_Click()
{
    if (Combo_Year->currentIndex() < 0)
        return;
    m_stored.reset();
    if (singleDay())
        m_stored = everyYear()
            ? YearEntries::EveryYearEntry(m_history.document(), m_circuit, m_from.month(), m_from.day())
            : YearEntries::DatedEntry(m_history.document(), m_circuit, m_from);
    fillSpecialList();
    ShowEntryState();
    showOtherKindEntry();
}

// The day's entry of the other kind (every year while the year is set, or
// the reverse), so that a second entry of the same day is not made unknowingly.
void Form_EditYear::showOtherKindEntry()
{
    std::optional<int> other;
    if (singleDay())
        other = everyYear()
            ? YearEntries::DatedEntry(m_history.document(), m_circuit, m_from)
            : YearEntries::EveryYearEntry(m_history.document(), m_circuit, m_from.month(), m_from.day());
    const QString kind = everyYear() ? QStringLiteral("%1年").arg(m_from.year()) : QStringLiteral("毎年");
    Label_OtherEntry->setText(other ? QStringLiteral("%1の設定: %2").arg(kind, YearEntries::EntryText(*other))
                                    : QString());
    Label_OtherEntry->setVisible(other.has_value());
}

void Form_EditYear::ShowEntryState()
{
    const bool withYear = !everyYear();
    if (!singleDay()) {
        Label_Date->setText(dayText(m_from, withYear) + QStringLiteral("～") + dayText(m_to, withYear));
        return;
    }
    Label_Date->setText(dayText(m_from, withYear));
    if (!m_stored) {
        checkOption(0);
        return;
    }
    checkOption(*m_stored == 0 ? 1 : 2);
    if (*m_stored != 0)
        chooseSpecial(*m_stored);
}

void Form_EditYear::checkOption(int index)
{
    if (Option_Year[index]->isChecked())
        Option_Year_Click(index);
    else
        Option_Year[index]->setChecked(true);
}

void Form_EditYear::Option_Year_Click(int index)
{
    enableSpecialFrame(index == 2);
    showRuleDays();
}

bool Form_EditYear::repeating() const
{
    return Check_Repeat->isChecked();
}

// Rules are dated: 毎年 is not offered with them.
void Form_EditYear::Check_Repeat_Click()
{
    const bool on = repeating();
    for (QWidget* shown : std::initializer_list<QWidget*>{Frame_Repeat, Label_RuleDays, List_RuleDays})
        shown->setVisible(on);
    if (on) {
        Combo_Year->setCurrentIndex(1);
        Label_OtherEntry->setVisible(false);
        // What the day clicked holds says nothing of the rule's days: the
        // user chooses, so that a rule never clears days by default.
        m_options->setExclusive(false);
        for (QRadioButton* option : Option_Year)
            option->setChecked(false);
        m_options->setExclusive(true);
        enableSpecialFrame(false);
    }
    Combo_Year->setEnabled(!on);
    Combo_Year->setVisible(!on);  // the span gives the years
    if (on) {
        showRuleDays();
        Frame_Repeat->focusFirstDate();  // a date typed at once goes there
    } else {
        m_differing = 0;
        showExistingChoice();
        Combo_Year_Click();
    }
    adjustSize();
    keepInsideScreen(this);
}

int Form_EditYear::chosenAction() const
{
    return m_options->checkedId();
}

void Form_EditYear::showRuleDays()
{
    if (!Frame_Repeat || !repeating())
        return;
    const QList<QDate> days = Frame_Repeat->days();
    const QMap<QDate, QList<int>> held = YearEntries::DatedEntriesOn(m_history.document(), m_circuit, days);
    const QMap<QDate, QList<int>> everyYear = YearEntries::EveryYearEntriesOn(m_history.document(), m_circuit, days);
    const int action = chosenAction();
    const QList<int> wanted{action == 2 ? chosenSpecial() : 0};
    int differing = 0;
    List_RuleDays->clear();
    for (const QDate& day : days) {
        QString text = listedDay(day);
        if (const auto entry = held.constFind(day); entry != held.cend()) {
            text += QStringLiteral("　設定済み: ") + YearEntries::EntriesText(*entry);
            if (*entry != wanted)
                ++differing;
        }
        // Not replaced by the rule: the day will hold both.
        if (const auto entry = everyYear.constFind(day); entry != everyYear.cend())
            text += QStringLiteral("　毎年: ") + YearEntries::EntriesText(*entry);
        List_RuleDays->addItem(text);
    }
    Label_RuleDays->setText(
        days.isEmpty() ? QStringLiteral("該当する日はありません。")
            : held.isEmpty()
            ? QStringLiteral("該当する日: %1日").arg(days.size())
            : QStringLiteral("該当する日: %1日（うち設定済み %2日）").arg(days.size()).arg(held.size()));
    const QDate from = Frame_Repeat->from();
    const QDate to = Frame_Repeat->to();
    Label_Date->setText(from == to ? dayText(from, true)
                                   : dayText(from, true) + QStringLiteral("～") + dayText(to, true));
    m_differing = action > 0 ? differing : 0;
    showExistingChoice();
}

void Form_EditYear::showExistingChoice()
{
    const bool needed = m_differing > 0;
    Label_Existing->setText(
        QStringLiteral("設定済みで内容の異なる日が%1日あります。上書きするか、そのままにするかを選択してください。")
            .arg(m_differing));
    for (QWidget* shown : std::initializer_list<QWidget*>{Label_Existing, Option_Existing[0], Option_Existing[1]})
        shown->setVisible(needed);
    Button_OK->setEnabled(!needed || m_existing->checkedId() >= 0);
}

void Form_EditYear::SpecialWindowClosed(int special, bool choose)
{
    fillSpecialList();
    if (Combo_Special->count() > 0)
        Button_Edit->setEnabled(true);
    if (choose) {
        chooseSpecial(special);
        // Off the 新規 or 編集 just used, so that Enter means OK again.
        Combo_Special->setFocus();
    }
}

bool Form_EditYear::optionChosen()
{
    const int option = chosenAction();
    if (option < 0) {  // a run starts with no option chosen
        MessageBox::show(
            this, QStringLiteral("設定なし・プログラム実行停止・特殊プログラムを実行のいずれかを選択してください。"),
            kTitle, MessageBox::Icon::Exclamation);
        Option_Year[0]->setFocus();
        return false;
    }
    if (option == 2 && chosenSpecial() == 0) {
        MessageBox::show(this, QStringLiteral("特殊番号を選択してください。"), kTitle, MessageBox::Icon::Exclamation);
        Combo_Special->setFocus();
        return false;
    }
    return true;
}

bool Form_EditYear::ruleDaysChosen(const QList<QDate>& days)
{
    if (const std::optional<QString> problem = Frame_Repeat->problem()) {
        MessageBox::show(this, *problem, kTitle, MessageBox::Icon::Exclamation);
        return false;
    }
    if (chosenAction() == 0)
        return true;
    if (m_differing > 0 && m_existing->checkedId() < 0)
        return false;  // OK waits for the choice
    const int toAdd = YearEntries::PlanDatedDays(m_history.document(), m_circuit, days, chosenSpecial()).toAdd;
    if (toAdd > RemainingYearCapacity(m_history.document())) {
        showCapacityRefusal(m_history.document(), this, toAdd);
        return false;
    }
    return true;
}

void Form_EditYear::writeRuleDays(const QList<QDate>& days)
{
    const int action = chosenAction();
    const int special = action == 2 ? chosenSpecial() : 0;
    const auto existing = m_differing > 0 && m_existing->checkedId() == 1 ? YearEntries::OnExisting::Keep
                                                                          : YearEntries::OnExisting::Overwrite;
    bool written = true;
    {
        BusyCursor busy;
        UndoStep step(m_history, QStringLiteral("日付設定（回路%1）").arg(m_circuit));
        if (action == 0)
            YearEntries::ClearDatedDays(m_history.document(), m_circuit, days);
        else
            written = YearEntries::WriteDatedDays(m_history.document(), m_circuit, days, special, existing);
    }
    if (!written) {
        showCapacityRefusal(m_history.document(), this,
                            YearEntries::PlanDatedDays(m_history.document(), m_circuit, days, special).toAdd);
        return;
    }
    emit ruleDaysWritten(days.first());
    accept();
}

void Form_EditYear::Button_OK_Click()
{
    if (Combo_Year->currentIndex() < 0) {
        Combo_Year->setFocus();
        return;
    }
    if (!optionChosen())
        return;
    if (repeating()) {
        const QList<QDate> days = Frame_Repeat->days();
        if (ruleDaysChosen(days))
            writeRuleDays(days);
        return;
    }
    using YearEntries::Action;
    const int option = chosenAction();
    const int special = chosenSpecial();
    const Action action = option == 0 ? Action::Clear : option == 1 ? Action::Stop : Action::Special;
    UndoStep step(m_history, QStringLiteral("日付設定（回路%1）").arg(m_circuit));
    if (everyYear()) {
        YearEntries::WriteEveryYearRun(m_history.document(), m_circuit, m_from, m_to, action, special);
    } else {
        YearEntries::RunResult result;
        {
            BusyCursor busy;
            result = YearEntries::WriteDatedRun(m_history.document(), m_circuit, m_from, m_to, action, special);
        }
        if (result.capacityReached)
            MessageBox::show(
                this,
                action == Action::Stop
                    ? QStringLiteral("年間プログラムの設定可能数を%1超えてしまうため作成できません。").arg(YearCapacity)
                    : QStringLiteral("年間プログラムの設定可能数%1を超えてしまうため作成できません。")
                          .arg(YearCapacity),
                kTitle, MessageBox::Icon::Critical);
    }
    accept();
}

void Form_EditYear::done(int result)
{
    MarkFormUnloaded(this);
    QDialog::done(result);
}
