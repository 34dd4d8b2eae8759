#pragma once
#include <QDate>
#include <QDialog>
#include <QMap>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ScheduleDocument;

// 年間カレンダー: a circuit's 年度 on one A4 or A3 sheet, to the print
// preview (and from there to a PDF) or to the printer.
class Form_Calendar : public QDialog
{
    Q_OBJECT
public:
    // The circuit of `document` first chosen (0: none) and the 年度 of
    // `day`; without a day, the 年度 the circuit's dated entries mostly fall
    // in. `names`: the special numbers' names the days show; `fileName`:
    // the program file the schedule was read from or written to, for the
    // foot ("" before there is one).
    Form_Calendar(ScheduleDocument& document, int circuit, QDate day = {}, QWidget* parent = nullptr,
                  QMap<int, QString> names = {}, QString fileName = {});
    const QString& footFileName() const { return m_fileName; }

private:
    void buildWindow();
    void Button_Print_Click();

    ScheduleDocument& m_document;
    QMap<int, QString> m_names;
    QString m_fileName;

    QLabel* Label_Titile = nullptr;
    QComboBox* Combo_Circuit = nullptr;
    QLineEdit* Text_SchoolYear = nullptr;
    QRadioButton* Option_A4 = nullptr;
    QRadioButton* Option_A3 = nullptr;
    QCheckBox* Check_Preview = nullptr;
    QPushButton* Button_Print = nullptr;
    QPushButton* Button_Cancel = nullptr;
};
