#pragma once
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

class UndoHistory;

// Deletes the year entries of a circuit: all of them, or those of one
// year, or the every-year ones.
class Form_DeleteYear : public QDialog
{
    Q_OBJECT
public:
    explicit Form_DeleteYear(UndoHistory& history, int circuit, QWidget* parent = nullptr);

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    void Option_Delete_Click(int index);
    void Button_OK_Click();
    bool confirmed(const QString& subject);
    void finish(const QString& subject);

    const int m_circuit;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Circuit = nullptr;
    QLabel* Label_CircuitNO = nullptr;
    QRadioButton* Option_Delete[2] = {};
    QComboBox* Combo_Year = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
    UndoHistory& m_history;
};
