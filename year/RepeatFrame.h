#pragma once
#include "core/DateRules.h"

#include <QDate>
#include <QGroupBox>
#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QSpinBox;

// The 繰り返し frame of 日付設定: a span (from / to, crossing months and
// years) and a rule that picks its days. It starts from the run chosen in
// the calendar; the rule's weekday, week and day are those of the span's
// first day until the user chooses them.
class RepeatFrame : public QGroupBox
{
    Q_OBJECT
public:
    RepeatFrame(QDate from, QDate to, QWidget* parent);

    QDate from() const;
    QDate to() const;
    // The rule chosen; nullopt while 毎週 has no weekday ticked.
    std::optional<DateRules::Rule> rule() const;
    // The days the rule gives in the span (none while rule() is nullopt).
    QList<QDate> days() const;
    // Why the choice gives no day, with the focus on the control to mend;
    // nullopt when it gives some.
    std::optional<QString> problem();
    // The focus into the span's first date, its year selected.
    void focusFirstDate();

signals:
    void changed();

private:
    void buildFrame(QDate from, QDate to);
    void connectChanges();
    void showRuleDetails();
    // The rule's weekday and day follow the first day of the span until the
    // user sets them.
    void followFirstDay();

    QDateEdit* Date_From = nullptr;
    QDateEdit* Date_To = nullptr;
    QComboBox* Combo_Rule = nullptr;
    std::array<QCheckBox*, 7> Check_Weekday{};  // 日 .. 土
    QComboBox* Combo_Nth = nullptr;
    QComboBox* Combo_Weekday = nullptr;  // 日曜日 .. 土曜日
    QSpinBox* Spin_MonthDay = nullptr;
    bool m_detailsSet = false;
    bool m_following = false;
};
