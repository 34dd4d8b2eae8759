#pragma once
#include "week/EntryJob.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

class UndoHistory;

// Entry of one time-signal or chime program, as its job describes it.
class Form_EditTime : public QDialog
{
    Q_OBJECT
public:
    explicit Form_EditTime(UndoHistory& history, const EntryJob& job, QWidget* parent = nullptr);

    const EntryJob& job() const { return m_job; }

    // Shifts the time in the boxes by the melody's length: back when
    // Check_Chime is checked (the time entered is the melody's end), forward
    // when it is not.
    void AdjustChimeEnd(int melody);

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    void hideChimeControls();
    // The visible boxes in order; the first invalid one shows its message.
    bool boxesValid();

    void Text_Chime_Change();
    void Check_Chime_Click();
    void Button_PlayChime_Click();
    void Button_OK_Click();

    const EntryJob m_job;
    int m_type = 0;
    int LastChimeNo = 0;
    bool m_undoingAdjustment = false;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Time = nullptr;
    QLineEdit* Text_Hour = nullptr;
    UpDown* UpDown1 = nullptr;
    QLabel* Label_Hour = nullptr;
    QLineEdit* Text_Minute = nullptr;
    UpDown* UpDown2 = nullptr;
    QLabel* Label_Minute = nullptr;
    QLineEdit* Text_Second = nullptr;
    UpDown* UpDown3 = nullptr;
    QLabel* Label_Second = nullptr;
    QFrame* Line_End = nullptr;
    QLabel* Label_ChimeNo = nullptr;
    QLineEdit* Text_Chime = nullptr;
    UpDown* UpDown4 = nullptr;
    QPushButton* Button_PlayChime = nullptr;
    QCheckBox* Check_Chime = nullptr;
    QLabel* Label_ChimeEnd = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
    UndoHistory& m_history;
};
