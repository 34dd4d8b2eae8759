#include "year/RepeatFrame.h"

#include "ui/DateTyping.h"
#include "ui/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

using DateRules::Kind;

// The rules in the order Combo_Rule offers them.
const Kind kKinds[] = {Kind::EveryDay, Kind::Weekdays, Kind::NthWeekday, Kind::LastWeekday, Kind::MonthDay};
const char* const kKindNames[] = {"期間のすべての日", "毎週（曜日）", "毎月 第N 曜日", "毎月 最終 曜日",
                                  "毎月 指定の日"};

// Sunday-first index 0..6 and Qt's day number 1..7 (Monday 1).
int qtDay(int sundayFirst)
{
    return sundayFirst == 0 ? 7 : sundayFirst;
}
int sundayFirst(int qtDay)
{
    return qtDay % 7;
}

QDateEdit* dateEdit(QWidget* parent, const char* name, QDate date, const QString& tip)
{
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
    edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    edit->setCalendarPopup(true);
    edit->setDate(date);
    edit->setToolTip(tip + QStringLiteral("数字 8 桁（例: 20270331）でも入力できます。"));
    AllowWholeDateTyping(edit);
    return edit;
}

}  // namespace

RepeatFrame::RepeatFrame(QDate from, QDate to, QWidget* parent)
    : QGroupBox(QStringLiteral("期間と規則"), parent)
{
    setObjectName(QStringLiteral("Frame_Repeat"));
    buildFrame(from, to);
    followFirstDay();
    connectChanges();
    showRuleDetails();
}

void RepeatFrame::buildFrame(QDate from, QDate to)
{
    Date_From = dateEdit(this, "Date_From", from, QStringLiteral("期間の最初の日です。"));
    Date_To = dateEdit(this, "Date_To", to, QStringLiteral("期間の最後の日です。月や年をまたいで指定できます。"));
    Combo_Rule = new QComboBox(this);
    Combo_Rule->setObjectName(QStringLiteral("Combo_Rule"));
    Combo_Rule->setToolTip(QStringLiteral("期間のうち設定する日の選び方です。"));
    for (const char* name : kKindNames)
        Combo_Rule->addItem(QString::fromUtf8(name));

    auto* weekdays = new QHBoxLayout;
    for (int day = 0; day < 7; ++day) {
        Check_Weekday[day] = new QCheckBox(DateRules::WeekdayName(qtDay(day)), this);
        Check_Weekday[day]->setObjectName(QStringLiteral("Check_Weekday_%1").arg(day));
        Check_Weekday[day]->setToolTip(QStringLiteral("毎週この曜日に設定します。"));
        weekdays->addWidget(Check_Weekday[day]);
    }
    Combo_Nth = new QComboBox(this);
    Combo_Nth->setObjectName(QStringLiteral("Combo_Nth"));
    Combo_Nth->setToolTip(QStringLiteral("月の何番目の曜日かを選択します。"));
    for (int nth = 1; nth <= 5; ++nth)
        Combo_Nth->addItem(QStringLiteral("第%1").arg(nth));
    Combo_Weekday = new QComboBox(this);
    Combo_Weekday->setObjectName(QStringLiteral("Combo_Weekday"));
    Combo_Weekday->setToolTip(QStringLiteral("曜日を選択します。"));
    for (int day = 0; day < 7; ++day)
        Combo_Weekday->addItem(DateRules::WeekdayName(qtDay(day)) + QStringLiteral("曜日"));
    Spin_MonthDay = new QSpinBox(this);
    Spin_MonthDay->setObjectName(QStringLiteral("Spin_MonthDay"));
    Spin_MonthDay->setToolTip(QStringLiteral("毎月この日に設定します。その日がない月は設定しません。"));
    Spin_MonthDay->setRange(1, 31);
    Spin_MonthDay->setSuffix(QStringLiteral("日"));
    selectWholeOnFocus(Spin_MonthDay);

    auto* span = new QHBoxLayout;
    span->addWidget(Date_From);
    span->addWidget(makeLabel(this, "Label_SpanTo", QStringLiteral("～")));
    span->addWidget(Date_To);
    span->addStretch(1);
    auto* details = new QHBoxLayout;
    details->addLayout(weekdays);
    details->addWidget(Combo_Nth);
    details->addWidget(Combo_Weekday);
    details->addWidget(Spin_MonthDay);
    details->addStretch(1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(makeLabel(this, "Label_Span", QStringLiteral("期間")), 0, 0);
    grid->addLayout(span, 0, 1);
    grid->addWidget(makeLabel(this, "Label_Rule", QStringLiteral("規則")), 1, 0);
    grid->addWidget(Combo_Rule, 1, 1, Qt::AlignLeft);
    grid->addLayout(details, 2, 1);
    grid->setColumnStretch(1, 1);
}

void RepeatFrame::connectChanges()
{
    const auto announce = [this] { emit changed(); };
    const auto detailSet = [this] {
        m_detailsSet = m_detailsSet || !m_following;
        emit changed();
    };
    connect(Date_From, &QDateEdit::dateChanged, this, [this] {
        followFirstDay();
        emit changed();
    });
    connect(Date_To, &QDateEdit::dateChanged, this, announce);
    connect(Combo_Rule, &QComboBox::currentIndexChanged, this, [this] {
        showRuleDetails();
        emit changed();
    });
    for (QCheckBox* check : Check_Weekday)
        connect(check, &QCheckBox::toggled, this, detailSet);
    connect(Combo_Nth, &QComboBox::currentIndexChanged, this, detailSet);
    connect(Combo_Weekday, &QComboBox::currentIndexChanged, this, detailSet);
    connect(Spin_MonthDay, &QSpinBox::valueChanged, this, detailSet);
}

void RepeatFrame::followFirstDay()
{
    if (m_detailsSet)
        return;
    const QDate first = from();
    m_following = true;
    for (int day = 0; day < 7; ++day)
        Check_Weekday[day]->setChecked(day == sundayFirst(first.dayOfWeek()));
    Combo_Nth->setCurrentIndex((first.day() - 1) / 7);
    Combo_Weekday->setCurrentIndex(sundayFirst(first.dayOfWeek()));
    Spin_MonthDay->setValue(first.day());
    m_following = false;
}

void RepeatFrame::showRuleDetails()
{
    const Kind kind = kKinds[Combo_Rule->currentIndex()];
    for (QCheckBox* check : Check_Weekday)
        check->setVisible(kind == Kind::Weekdays);
    Combo_Nth->setVisible(kind == Kind::NthWeekday);
    Combo_Weekday->setVisible(kind == Kind::NthWeekday || kind == Kind::LastWeekday);
    Spin_MonthDay->setVisible(kind == Kind::MonthDay);
}

QDate RepeatFrame::from() const
{
    return Date_From->date();
}

QDate RepeatFrame::to() const
{
    return Date_To->date();
}

std::optional<DateRules::Rule> RepeatFrame::rule() const
{
    DateRules::Rule rule;
    rule.kind = kKinds[Combo_Rule->currentIndex()];
    for (int day = 0; day < 7; ++day)
        if (Check_Weekday[day]->isChecked())
            rule.weekdays << qtDay(day);
    if (rule.kind == Kind::Weekdays && rule.weekdays.isEmpty())
        return std::nullopt;
    rule.nth = Combo_Nth->currentIndex() + 1;
    rule.weekday = qtDay(Combo_Weekday->currentIndex());
    rule.monthDay = Spin_MonthDay->value();
    return rule;
}

QList<QDate> RepeatFrame::days() const
{
    const std::optional<DateRules::Rule> chosen = rule();
    return chosen ? DateRules::Expand(*chosen, from(), to()) : QList<QDate>();
}

void RepeatFrame::focusFirstDate()
{
    Date_From->setFocus(Qt::OtherFocusReason);
}

std::optional<QString> RepeatFrame::problem()
{
    if (!rule()) {
        Check_Weekday[0]->setFocus();
        return QStringLiteral("曜日を選択してください。");
    }
    if (to() < from()) {
        Date_To->setFocus();
        return QStringLiteral("期間の最後の日は最初の日以降にしてください。");
    }
    if (days().isEmpty()) {
        Combo_Rule->setFocus();
        return QStringLiteral("期間に該当する日がありません。");
    }
    return std::nullopt;
}
