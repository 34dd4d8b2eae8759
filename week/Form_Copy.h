#pragma once
#include "week/WeekEditing.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

class UndoHistory;

// Copies the programs of another day or special number onto `target`, a
// day or a special number of the circuit.
class Form_Copy : public QDialog
{
    Q_OBJECT
public:
    Form_Copy(UndoHistory& history, int circuit, WeekEditing::CopyTarget target, QWidget* parent = nullptr);

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    bool specialTarget() const;
    void Option_Copy_Click(int index);
    void Button_OK_Click();

    const int m_circuit;
    const WeekEditing::CopyTarget m_target;

    QLabel* Label_Titile = nullptr;
    QRadioButton* Option_Copy[2] = {};
    QLabel* Label_Copy = nullptr;
    QComboBox* Combo_SendYobi = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label_ReceiveYobi = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
    UndoHistory& m_history;
};
