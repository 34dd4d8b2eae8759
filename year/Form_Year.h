#pragma once
#include <QDate>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class MonthCalendar;

// The year calendar: the dated and every-year entries of the chosen circuit
// are bold; a clicked day or run opens the date dialog.
class Form_Year : public QWidget
{
    Q_OBJECT
public:
    explicit Form_Year(QWidget* parent = nullptr);

    // Re-marks the days shown for the circuit chosen, if any.
    void RefreshYearBold();

signals:
    // Closed for good; its opener comes back.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    static bool offered(int circuit);
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

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Circuit = nullptr;
    QComboBox* Combo_Circuit = nullptr;
    QLabel* Label_Mode = nullptr;
    MonthCalendar* MonthView1 = nullptr;
    QLabel* Label_Info = nullptr;
    QPushButton* Button_DeleteYear = nullptr;
    QPushButton* Button_Special = nullptr;
    QPushButton* Button_Holiday = nullptr;
    QLabel* Label_Rest = nullptr;
    QLabel* Label_ProgramCount = nullptr;
    QPushButton* Button_Close = nullptr;
};
