#pragma once
#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

// Entry of one time-signal or chime program, described by EditRequest.
class Form_EditTime : public QDialog
{
    Q_OBJECT
public:
    explicit Form_EditTime(QWidget* parent = nullptr);

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

    int m_type = 0;
    int LastChimeNo = 0;
    bool m_undoingAdjustment = false;

    QLabel* Label_Titile;
    QLabel* Label_Time;
    QLineEdit* Text_Hour;
    UpDown* UpDown1;
    QLabel* Label_Hour;
    QLineEdit* Text_Minute;
    UpDown* UpDown2;
    QLabel* Label_Minute;
    QLineEdit* Text_Second;
    UpDown* UpDown3;
    QLabel* Label_Second;
    QFrame* Line_End;
    QLabel* Label_ChimeNo;
    QLineEdit* Text_Chime;
    UpDown* UpDown4;
    QPushButton* Button_PlayChime;
    QCheckBox* Check_Chime;
    QLabel* Label_ChimeEnd;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;
};
