#include "year/Form_Holiday.h"
#include "store/ScheduleDocument.h"

#include "history/UndoHistory.h"
#include "holidays/Holidays.h"
#include "special/Form_SpecialSelect.h"
#include "store/CircuitSetting.h"
#include "store/StoreRoutines.h"
#include "ui/BusyCursor.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "year/SpecialFrame.h"
#include "year/YearEntries.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QSize kButtonSize(100, 30);
const QSize kTickButtonSize(90, 26);
const QString kTitle = QStringLiteral("祝日設定");
const QString kForecastNote = QStringLiteral("※%1の祝日は予測です。春分の日・秋分の日は天文計算による予想日で、\n"
                                             "正式な発表や法改正で変わることがあります。");
const QStringList kDayNames{"月", "火", "水", "木", "金", "土", "日"};  // Qt's dayOfWeek 1..7

// The span (Option_Span index) the dialog was last closed with: it opens
// with it again while the program runs.
int lastSpan = 0;

// 「2026年」 or, for the school year from April 2026, 「2026年度」.
QString yearText(int year, bool schoolYear)
{
    return QString::number(year) + (schoolYear ? QStringLiteral("年度") : QStringLiteral("年"));
}

QTreeWidgetItem* holidayItem(const Holiday& holiday)
{
    auto* item = new QTreeWidgetItem(
        {QStringLiteral("%1年%2月%3日").arg(holiday.date.year()).arg(holiday.date.month()).arg(holiday.date.day()),
         kDayNames.at(holiday.date.dayOfWeek() - 1), holiday.name});
    item->setData(0, Qt::UserRole, holiday.date);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Checked);
    return item;
}

}  // namespace

Form_Holiday::Form_Holiday(UndoHistory& history, int circuit, QDate shown, QWidget* parent,
                           SpecialNames::NamesFile* namesFile)
    : QDialog(parent)
    , m_circuit(circuit)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_Holiday"));
    setWindowTitle(kTitle);
    setModal(true);
    names = namesFile;
    buildWindow();
    connectHandlers();
    runGuarded(this, [this, shown] { Form_Load(shown); });
}

void Form_Holiday::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", kTitle);
    styleHeading(Label_Titile, 1.3);
    Label_Circuit = makeLabel(this, "Label_Circuit", QStringLiteral("回路 %1").arg(m_circuit));
    styleHeading(Label_Circuit, 1.1);
    const struct {
        const char* caption;
        const char* tip;
    } spans[] = {{"暦年（1月～12月）", "1月から12月までの祝日を一覧にします。"},
                 {"年度（4月～翌年3月）", "4月から翌年3月までの祝日を一覧にします。"}};
    m_spans = new QButtonGroup(this);
    for (int index = 0; index < 2; ++index) {
        Option_Span[index] = new QRadioButton(QString::fromUtf8(spans[index].caption), this);
        Option_Span[index]->setObjectName(QStringLiteral("Option_Span_%1").arg(index));
        Option_Span[index]->setToolTip(QString::fromUtf8(spans[index].tip));
        m_spans->addButton(Option_Span[index], index);
    }
    Combo_Year = new QComboBox(this);
    Combo_Year->setObjectName(QStringLiteral("Combo_Year"));
    Combo_Year->setMinimumWidth(100);
    Label_Forecast = makeLabel(this, "Label_Forecast", kForecastNote.arg(QStringLiteral("この年")));
    Label_Forecast->setStyleSheet(QStringLiteral("color: #c81e1e;"));
    // The note comes and goes with the year; its place stays, so the list
    // keeps its size.
    QSizePolicy keepPlace = Label_Forecast->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    Label_Forecast->setSizePolicy(keepPlace);

    List_Holiday = new QTreeWidget(this);
    List_Holiday->setObjectName(QStringLiteral("List_Holiday"));
    List_Holiday->setToolTip(QStringLiteral("チェックした祝日に年間プログラムを設定します。"));
    List_Holiday->setHeaderLabels({QStringLiteral("日付"), QStringLiteral("曜日"), QStringLiteral("祝日名")});
    List_Holiday->setRootIsDecorated(false);
    List_Holiday->setSelectionMode(QAbstractItemView::NoSelection);
    List_Holiday->setMinimumSize(380, 336);  // with the tick buttons the window keeps its height
    List_Holiday->header()->setStretchLastSection(true);
    Button_SelectAll = makeButton(this, "Button_SelectAll", QStringLiteral("すべて選択"),
                                  QStringLiteral("一覧の祝日をすべてチェックします。"), kTickButtonSize);
    Button_ClearAll = makeButton(this, "Button_ClearAll", QStringLiteral("すべて解除"),
                                 QStringLiteral("一覧の祝日のチェックをすべて外します。"), kTickButtonSize);

    const struct {
        const char* caption;
        const char* tip;
    } options[] = {{"プログラム実行停止", "チェックした祝日は一日プログラムを実行しません。"},
                   {"特殊プログラムを実行", "チェックした祝日に特殊プログラムを実行します。"}};
    m_options = new QButtonGroup(this);
    for (int index = 0; index < 2; ++index) {
        Option_Action[index] = new QRadioButton(QString::fromUtf8(options[index].caption), this);
        Option_Action[index]->setObjectName(QStringLiteral("Option_Action_%1").arg(index));
        Option_Action[index]->setToolTip(QString::fromUtf8(options[index].tip));
        m_options->addButton(Option_Action[index], index);
    }

    createSpecialFrame(this, m_history, QStringLiteral("祝日設定へ戻ります。"),
                       [this](int special, bool choose) { SpecialWindowClosed(special, choose); });
    Button_OK = makeButton(this, "Button_OK", QStringLiteral("OK (&O)"),
                           QStringLiteral("チェックした祝日に年間プログラムを設定します。"), kButtonSize);
    Button_Cancel = makeButton(this, "Button_Cancel", QStringLiteral("ｷｬﾝｾﾙ (&C)"),
                               QStringLiteral("入力した内容をキャンセルします。"), kButtonSize);

    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(Label_Circuit);
    yearRow->addStretch(1);
    for (QRadioButton* span : Option_Span)
        yearRow->addWidget(span);
    yearRow->addWidget(Combo_Year);

    auto* tickRow = new QHBoxLayout;
    tickRow->addWidget(Button_SelectAll);
    tickRow->addWidget(Button_ClearAll);
    tickRow->addStretch(1);

    auto* special = new QHBoxLayout;
    special->addSpacing(24);
    special->addWidget(Frame_Special, 1);

    QHBoxLayout* buttons = makeButtonRow({Button_OK, Button_Cancel});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Label_Titile);
    layout->addLayout(yearRow);
    layout->addWidget(Label_Forecast);
    layout->addWidget(List_Holiday, 1);
    layout->addLayout(tickRow);
    for (QRadioButton* option : Option_Action)
        layout->addWidget(option);
    layout->addLayout(special);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    // Enter means OK; a focused button takes it, so the focus starts on the
    // list rather than on すべて選択.
    Button_OK->setDefault(true);
    List_Holiday->setFocus();
}

void Form_Holiday::connectHandlers()
{
    connect(m_spans, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            runGuarded(this, [this] { Option_Span_Click(); });
    });
    connect(Combo_Year, &QComboBox::currentIndexChanged, this, guarded(this, [this] { Combo_Year_Click(); }));
    connect(m_options, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            runGuarded(this, [this, index] { Option_Action_Click(index); });
    });
    connect(Button_SelectAll, &QPushButton::clicked, this, guarded(this, [this] { tickAll(Qt::Checked); }));
    connect(Button_ClearAll, &QPushButton::clicked, this, guarded(this, [this] { tickAll(Qt::Unchecked); }));
    connect(Button_New, &QPushButton::clicked, this, guarded(this, [this] { newSpecial(this, m_circuit); }));
    connect(Button_Edit, &QPushButton::clicked, this, guarded(this, [this] { editSpecial(this, m_circuit); }));
    connect(Button_OK, &QPushButton::clicked, this, guarded(this, [this] { Button_OK_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, guarded(this, [this] { reject(); }));
}

void Form_Holiday::Form_Load(QDate shown)
{
    m_shown = QDate(shown.year(), shown.month(), 1);
    Option_Span[lastSpan]->setChecked(true);
    fillSpecials(m_circuit);
    Option_Action[0]->setChecked(true);
}

bool Form_Holiday::schoolYearChosen() const
{
    return Option_Span[1]->isChecked();
}

int Form_Holiday::chosenYear() const
{
    return Combo_Year->currentData().toInt();
}

QString Form_Holiday::spanName() const
{
    return yearText(chosenYear(), schoolYearChosen());
}

void Form_Holiday::fillYears()
{
    const bool schoolYears = schoolYearChosen();
    const int last = schoolYears ? kLastHolidaySchoolYear : kLastHolidayYear;
    // January to March belong to the school year begun the April before.
    const int shown = schoolYears && m_shown.month() < 4 ? m_shown.year() - 1 : m_shown.year();
    const QSignalBlocker blocker(Combo_Year);
    Combo_Year->clear();
    for (int each = kFirstHolidayYear; each <= last; ++each)
        Combo_Year->addItem(yearText(each, schoolYears), each);
    Combo_Year->setCurrentIndex(std::clamp(shown, kFirstHolidayYear, last) - kFirstHolidayYear);
    Combo_Year->setToolTip(QStringLiteral("祝日を設定する%1を選択します。")
                               .arg(schoolYears ? QStringLiteral("年度") : QStringLiteral("年")));
}

QList<QDate> Form_Holiday::tickedDays() const
{
    QList<QDate> days;
    for (int row = 0; row < List_Holiday->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = List_Holiday->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked)
            days << item->data(0, Qt::UserRole).toDate();
    }
    return days;
}

void Form_Holiday::Option_Span_Click()
{
    fillYears();
    showHolidays();
}

void Form_Holiday::Combo_Year_Click()
{
    // April lies in both the year and the school year of the number chosen.
    m_shown = QDate(chosenYear(), 4, 1);
    showHolidays();
}

void Form_Holiday::showHolidays()
{
    const int year = chosenYear();
    const QList<Holiday> holidays = schoolYearChosen() ? SchoolYearHolidays(year) : NationalHolidays(year);
    List_Holiday->clear();
    for (const Holiday& holiday : holidays)
        List_Holiday->addTopLevelItem(holidayItem(holiday));
    List_Holiday->resizeColumnToContents(0);
    List_Holiday->resizeColumnToContents(1);
    showForecastNote(holidays);
}

// A school year may reach into the first forecast year in January.
void Form_Holiday::showForecastNote(const QList<Holiday>& holidays)
{
    const auto forecast = std::find_if(holidays.cbegin(), holidays.cend(),
                                       [](const Holiday& holiday) { return IsHolidayForecast(holiday.date.year()); });
    Label_Forecast->setVisible(forecast != holidays.cend());
    if (forecast == holidays.cend())
        return;
    const QString span = !schoolYearChosen() ? QStringLiteral("この年")
        : forecast == holidays.cbegin()      ? QStringLiteral("この年度")
                                             : QStringLiteral("%1年").arg(forecast->date.year());
    Label_Forecast->setText(kForecastNote.arg(span));
}

void Form_Holiday::tickAll(Qt::CheckState state)
{
    for (int row = 0; row < List_Holiday->topLevelItemCount(); ++row)
        List_Holiday->topLevelItem(row)->setCheckState(0, state);
}

void Form_Holiday::Option_Action_Click(int index)
{
    enableSpecialFrame(index == 1);
}

void Form_Holiday::SpecialWindowClosed(int special, bool choose)
{
    fillSpecials(m_circuit);
    if (Combo_Special->count() > 0 && Option_Action[1]->isChecked())
        Button_Edit->setEnabled(true);
    if (choose) {
        Combo_Special->setCurrentIndex(Combo_Special->findData(special));
        Combo_Special->setFocus();
    }
}

void Form_Holiday::showCapacityRefusal(int toAdd)
{
    MessageBox::show(this, YearEntries::CapacityRefusalText(m_history.document(), toAdd),
                     QStringLiteral("年間プログラム設定"), MessageBox::Icon::Critical);
}

bool Form_Holiday::confirmWrite(const QList<QDate>& days, int special)
{
    if (days.isEmpty()) {
        MessageBox::show(this, QStringLiteral("祝日を選択してください。"), kTitle, MessageBox::Icon::Exclamation);
        List_Holiday->setFocus();
        return false;
    }
    if (Option_Action[1]->isChecked() && special == 0) {
        MessageBox::show(this, QStringLiteral("特殊番号を指定してください。"), kTitle, MessageBox::Icon::Exclamation);
        Combo_Special->setFocus();
        return false;
    }
    const YearEntries::DaysPlan plan = YearEntries::PlanDatedDays(m_history.document(), m_circuit, days, special);
    if (plan.toAdd > RemainingYearCapacity(m_history.document())) {
        showCapacityRefusal(plan.toAdd);
        return false;
    }
    if (plan.toReplace == 0)
        return true;
    return MessageBox::show(
               this,
               QStringLiteral("設定済みの%1日の年間プログラムを置き換えます。\r\nよろしいですか？").arg(plan.toReplace),
               kTitle, MessageBox::Icon::Question, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void Form_Holiday::Button_OK_Click()
{
    const QList<QDate> days = tickedDays();
    const int special = Option_Action[1]->isChecked() ? chosenSpecial() : 0;
    if (!confirmWrite(days, special))
        return;
    bool written = false;
    {
        BusyCursor busy;
        UndoStep step(m_history, QStringLiteral("祝日設定（回路%1・%2）").arg(m_circuit).arg(spanName()));
        written = YearEntries::WriteDatedDays(m_history.document(), m_circuit, days, special);
    }
    if (!written) {
        showCapacityRefusal(YearEntries::PlanDatedDays(m_history.document(), m_circuit, days, special).toAdd);
        return;
    }
    accept();
}

void Form_Holiday::done(int result)
{
    lastSpan = schoolYearChosen() ? 1 : 0;
    MarkFormUnloaded(this);
    QDialog::done(result);
}
