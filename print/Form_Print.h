#pragma once
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

class UndoHistory;

// Chooses the circuit and the listing (week, year or special programs),
// then hands over to Form_PrintSelect; the year calendar goes to whoever
// opened this window.
class Form_Print : public QWidget
{
    Q_OBJECT
public:
    explicit Form_Print(UndoHistory& history, QWidget* parent = nullptr);

signals:
    // Closed for good; its opener comes back.
    void closed();
    // 年間カレンダー印刷 for the circuit chosen, which holds programs.
    void calendarRequested(int circuit);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    void circuitsChanged();
    void Combo_Circuit_Click();
    void printButtonClick(int kind);
    void Button_Close_Click();

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Circuit = nullptr;
    QComboBox* Combo_Circuit = nullptr;
    QLabel* Label_ModeCaption = nullptr;
    QLabel* Label_Mode = nullptr;
    QPushButton* Button_Week = nullptr;
    QLabel* Label_Week = nullptr;
    QPushButton* Button_Year = nullptr;
    QLabel* Label_Year = nullptr;
    QPushButton* Button_Special = nullptr;
    QLabel* Label_Special = nullptr;
    QPushButton* Button_Calendar = nullptr;
    QLabel* Label_Calendar = nullptr;
    QPushButton* Button_Close = nullptr;
    UndoHistory& m_history;
};
