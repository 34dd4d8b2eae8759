#pragma once
#include "holidays/Holidays.h"
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

class UndoHistory;

// 祝日設定: the national holidays of a year or a school year (April to
// March), each ticked, written in one go as dated entries of the circuit,
// 停止 or a special program.
class Form_Holiday : public QDialog, private SpecialFrame
{
    Q_OBJECT
public:
    // Opens on the year, or the school year, holding the month `shown`.
    Form_Holiday(UndoHistory& history, int circuit, QDate shown, QWidget* parent = nullptr,
                 SpecialNames::NamesFile* namesFile = nullptr);

    void done(int result) override;

private:
    // The special window opened here closed: the numbers in use are listed
    // again and, when `choose`, the one it showed is chosen.
    void SpecialWindowClosed(int special, bool choose);
    void buildWindow();
    void connectHandlers();
    void Form_Load(QDate shown);
    bool schoolYearChosen() const;
    int chosenYear() const;  // the calendar year or the school year's first
    QString spanName() const;
    // The years (or school years) in Combo_Year, the one holding m_shown chosen.
    void fillYears();
    void showHolidays();
    void showForecastNote(const QList<Holiday>& holidays);
    void tickAll(Qt::CheckState state);
    QList<QDate> tickedDays() const;
    // Says why nothing can be written, or asks about replacing entries;
    // true when the write may go ahead.
    bool confirmWrite(const QList<QDate>& days, int special);
    void showCapacityRefusal(int toAdd);

    void Option_Span_Click();
    void Combo_Year_Click();
    void Option_Action_Click(int index);
    void Button_OK_Click();

    int m_circuit;
    // A month in the span listed, kept when switching between year and
    // school year: the page the dialog was opened on, then 1 April of the
    // year or school year chosen (2027 stays 2027 either way).
    QDate m_shown;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Circuit = nullptr;
    QRadioButton* Option_Span[2] = {};
    QButtonGroup* m_spans = nullptr;
    QComboBox* Combo_Year = nullptr;
    QLabel* Label_Forecast = nullptr;
    QTreeWidget* List_Holiday = nullptr;
    QPushButton* Button_SelectAll = nullptr;
    QPushButton* Button_ClearAll = nullptr;
    QRadioButton* Option_Action[2] = {};
    QButtonGroup* m_options = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
    UndoHistory& m_history;
};
