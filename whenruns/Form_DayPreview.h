#pragma once
#include "settings/SpecialNames.h"

#include <QDate>
#include <QWidget>

class QDateEdit;
class QLabel;
class QPushButton;
class QTreeWidget;

class UndoHistory;

// 日付確認: for a date, what every configured circuit runs that day and
// where it comes from (week programs, a special number or 停止 from a year
// entry, or a conflict between a dated and an every-year entry).
class Form_DayPreview : public QWidget
{
    Q_OBJECT
public:
    // `names`: the special numbers' names, shown after their numbers.
    explicit Form_DayPreview(UndoHistory& history, QWidget* parent = nullptr,
                             const SpecialNames::Names* names = nullptr);

signals:
    // Closed for good; its opener comes back.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    const SpecialNames::Names* m_names;

    void buildWindow();
    void connectHandlers();
    void showDay();

    void Date_Select_Change();
    void Button_PrevDay_Click();
    void Button_NextDay_Click();

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Date = nullptr;
    QDateEdit* Date_Select = nullptr;
    QLabel* Label_Weekday = nullptr;
    QPushButton* Button_PrevDay = nullptr;
    QPushButton* Button_NextDay = nullptr;
    QTreeWidget* Tree_Day = nullptr;
    QPushButton* Button_Close = nullptr;
    UndoHistory& m_history;
};
