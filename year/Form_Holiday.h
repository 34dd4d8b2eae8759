#pragma once
#include "year/SpecialFrame.h"

#include <QDate>
#include <QDialog>
#include <QList>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

// 祝日設定: the national holidays of a year, each ticked, written in one go
// as dated entries of the circuit, 停止 or a special program.
class Form_Holiday : public QDialog, private SpecialFrame
{
    Q_OBJECT
public:
    Form_Holiday(int circuit, int year, QWidget* parent = nullptr);

    void done(int result) override;

private:
    // The special window opened here closed: the numbers in use are listed
    // again and, when `choose`, the one it showed is chosen.
    void SpecialWindowClosed(int special, bool choose);
    void buildWindow();
    void connectHandlers();
    void Form_Load(int year);
    int chosenYear() const;
    QList<QDate> tickedDays() const;
    // Says why nothing can be written, or asks about replacing entries;
    // true when the write may go ahead.
    bool confirmWrite(const QList<QDate>& days, int special);
    void showCapacityRefusal(int toAdd);

    void Combo_Year_Click();
    void Option_Action_Click(int index);
    void Button_OK_Click();

    int m_circuit;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Circuit = nullptr;
    QComboBox* Combo_Year = nullptr;
    QLabel* Label_Forecast = nullptr;
    QTreeWidget* List_Holiday = nullptr;
    QRadioButton* Option_Action[2] = {};
    QButtonGroup* m_options = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
};
