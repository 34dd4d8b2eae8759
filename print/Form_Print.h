#pragma once
#include <QWidget>
#include <functional>

class QComboBox;
class QDialog;
class QLabel;
class QPushButton;

// Chooses the circuit and the listing (week, year or special programs),
// then hands over to Form_PrintSelect.
class Form_Print : public QWidget
{
    Q_OBJECT
public:
    explicit Form_Print(QWidget* parent = nullptr);

    // Shows Form_PrintSelect modally and deletes it afterwards. Tests
    // replace it to drive the dialog themselves (they then own it).
    std::function<void(QDialog*)> openDialog;

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
