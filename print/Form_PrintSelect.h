#pragma once
#include "print/PrintTables.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class UndoHistory;

// Confirms the listing chosen in Form_Print (its job), asks for the year of
// a year listing, fills the print tables and shows the listing as a
// preview or prints it.
class Form_PrintSelect : public QDialog
{
    Q_OBJECT
public:
    explicit Form_PrintSelect(UndoHistory& history, const PrintJob& job, QWidget* parent = nullptr);

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    void Button_Print_Click();
    bool confirmed();
    void output();

    PrintJob m_job;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Year = nullptr;
    QComboBox* Combo_Year = nullptr;
    QCheckBox* Check_Preview = nullptr;
    QPushButton* Button_Print = nullptr;
    QPushButton* Button_Cancel = nullptr;
    UndoHistory& m_history;
};
