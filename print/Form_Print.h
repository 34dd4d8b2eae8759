#pragma once
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

// Chooses the circuit and the listing (week, year or special programs),
// then hands over to Form_PrintSelect.
class Form_Print : public QWidget
{
    Q_OBJECT
public:
    explicit Form_Print(QWidget* parent = nullptr);

signals:
    // Closed for good; its opener comes back.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    void Combo_Circuit_Click();
    void printButtonClick(int kind);
    void Button_Close_Click();

    QLabel* Label_Titile;
    QLabel* Label_Circuit;
    QComboBox* Combo_Circuit;
    QLabel* Label_ModeCaption;
    QLabel* Label_Mode;
    QPushButton* Button_Week;
    QLabel* Label_Week;
    QPushButton* Button_Year;
    QLabel* Label_Year;
    QPushButton* Button_Special;
    QLabel* Label_Special;
    QPushButton* Button_Close;
};
