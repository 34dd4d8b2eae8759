#pragma once
#include <QDialog>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

// Entry of one timer or repeat program, described by EditRequest.
class Form_EditTimeTimer : public QDialog
{
    Q_OBJECT
public:
    explicit Form_EditTimeTimer(QWidget* parent = nullptr);

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    bool boxesValid();
    void Button_OK_Click();

    int m_type = 0;

    QLabel* Label_Titile;
    QLabel* Label_YobiONTitle;
    QLabel* Label_YobiON;
    QLabel* Label_YobiOFFTitle;
    QComboBox* Combo_YobiOFF;
    QLabel* Label_Time[4];
    QLineEdit* Text_HourON;
    UpDown* UpDown1;
    QLabel* Label_HourON;
    QLineEdit* Text_MinuteON;
    UpDown* UpDown2;
    QLabel* Label_MinuteON;
    QLineEdit* Text_HourOFF;
    UpDown* UpDown4;
    QLabel* Label_HourOFF;
    QLineEdit* Text_MinuteOFF;
    UpDown* UpDown3;
    QLabel* Label_MinuteOFF;
    QLineEdit* Text_Repeat;
    UpDown* UpDown5;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;
};
