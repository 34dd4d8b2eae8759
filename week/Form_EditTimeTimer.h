#pragma once
#include "week/EntryJob.h"

#include <QDialog>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

class UndoHistory;

// Entry of one timer or repeat program, as its job describes it.
class Form_EditTimeTimer : public QDialog
{
    Q_OBJECT
public:
    explicit Form_EditTimeTimer(UndoHistory& history, const EntryJob& job, QWidget* parent = nullptr);

    const EntryJob& job() const { return m_job; }

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    bool boxesValid();
    void Button_OK_Click();

    const EntryJob m_job;
    int m_type = 0;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_YobiONTitle = nullptr;
    QLabel* Label_YobiON = nullptr;
    QLabel* Label_YobiOFFTitle = nullptr;
    QComboBox* Combo_YobiOFF = nullptr;
    QLabel* Label_Time[4] = {};
    QLineEdit* Text_HourON = nullptr;
    UpDown* UpDown1 = nullptr;
    QLabel* Label_HourON = nullptr;
    QLineEdit* Text_MinuteON = nullptr;
    UpDown* UpDown2 = nullptr;
    QLabel* Label_MinuteON = nullptr;
    QLineEdit* Text_HourOFF = nullptr;
    UpDown* UpDown4 = nullptr;
    QLabel* Label_HourOFF = nullptr;
    QLineEdit* Text_MinuteOFF = nullptr;
    UpDown* UpDown3 = nullptr;
    QLabel* Label_MinuteOFF = nullptr;
    QLineEdit* Text_Repeat = nullptr;
    UpDown* UpDown5 = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
    UndoHistory& m_history;
};
