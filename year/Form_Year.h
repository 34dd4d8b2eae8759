#pragma once
#include "settings/SpecialNames.h"

#include <QDate>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class MonthCalendar;

// Where the calendar was left: the circuit chosen (0: none) and the day
// selected, which names the month shown. The opener keeps it for the next
// opening.
struct YearWindowPlace {
    int circuit = 0;
    QDate day;  // invalid: today
};

class UndoHistory;

// The year calendar: the dated and every-year entries of the chosen circuit
// are marked; a clicked day or run opens the date dialog.
class Form_Year : public QWidget
{
    Q_OBJECT
public:
    // Opens on `start`; a circuit no longer offered leaves none chosen.
    // `names`: the special numbers' names, shown and set in its dialogs.
    explicit Form_Year(UndoHistory& history, const YearWindowPlace& start = {}, QWidget* parent = nullptr,
                       SpecialNames::NamesFile* names = nullptr);

    YearWindowPlace place() const;

    // Re-marks the days shown for the circuit chosen, if any.
    void RefreshYearBold();
    // Turns the calendar to the day, with the circuit chosen if it is offered.
    void showDay(int circuit, QDate day);

signals:
    // Closed for good; its opener comes back.
    void closed();
    // 年間カレンダー and 年間チェック, which its opener opens: the circuit
    // chosen (0: none) and the day selected.
    void calendarRequested(int circuit, QDate day);
    void reviewRequested();
    // 行事予定から設定 for the circuit chosen; `shown` is the day selected.
    // The opener opens the window, which lies above this floor.
    void planImportRequested(int circuit, QDate shown);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load(const YearWindowPlace& start);
    bool offered(int circuit) const;
    void settingsChanged();
    int selectedCircuit() const;
    // The "回路を指定してください。" box when no circuit is chosen.
    bool circuitChosen();
    void markDays();
    void focusCircuitChoice();
    void showProgramCount();

    void Combo_Circuit_Click();
    void MonthView1_PageChanged(bool byNavigation);
    void MonthView1_RunChosen(QDate from, QDate to);
    void Button_Special_Click();
    void Button_DeleteYear_Click();
    void Button_Holiday_Click();
    void Button_Plan_Click();

    SpecialNames::NamesFile* m_names = nullptr;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Circuit = nullptr;
    QComboBox* Combo_Circuit = nullptr;
    QLabel* Label_Mode = nullptr;
    MonthCalendar* MonthView1 = nullptr;
    QLabel* Label_Info = nullptr;
    QLabel* Label_Legend = nullptr;
    QPushButton* Button_DeleteYear = nullptr;
    QPushButton* Button_Special = nullptr;
    QPushButton* Button_Holiday = nullptr;
    QPushButton* Button_Plan = nullptr;
    QPushButton* Button_Calendar = nullptr;
    QPushButton* Button_Review = nullptr;
    QLabel* Label_Rest = nullptr;
    QLabel* Label_ProgramCount = nullptr;
    QPushButton* Button_Close = nullptr;
    UndoHistory& m_history;
};
