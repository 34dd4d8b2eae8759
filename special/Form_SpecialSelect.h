#pragma once
#include "settings/SpecialNames.h"

#include <QDialog>

class QComboBox;
class ScheduleDocument;
class QLabel;
class QPushButton;
class QRadioButton;

// Fills a special-number list (Combo_Special of this dialog or of
// Form_EditYear) with the numbers in use by the circuit, ascending, the
// number as item data, nothing chosen; with `names`, each number with its
// name (「1 短縮」).
void FillSpecialCombo(ScheduleDocument& document, QComboBox* combo, int circuit,
                      const SpecialNames::Names* names = nullptr);

// Before a new special number: true while the circuit has one free, else
// the box that says all 99 are taken.
bool SpecialNumberLeft(ScheduleDocument& document, QWidget* parent, int circuit);

class UndoHistory;

// The choice between a new special number and one in use, for a circuit;
// `specialChosen` says which, for the opener to open Form_Special on it.
class Form_SpecialSelect : public QDialog
{
    Q_OBJECT
public:
    explicit Form_SpecialSelect(UndoHistory& history, int circuit, QWidget* parent = nullptr,
                                SpecialNames::NamesFile* names = nullptr);

signals:
    // The number chosen, 0 for a new one; this dialog is hidden by then.
    void specialChosen(int special);

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    void Button_OK_Click();
    void choose(int special);

    const int m_circuit;
    SpecialNames::NamesFile* m_names;

    QLabel* Label_Titile = nullptr;
    QRadioButton* Option_New = nullptr;
    QRadioButton* Option_Edit = nullptr;
    QLabel* Label_Special = nullptr;
    QComboBox* Combo_Special = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
    UndoHistory& m_history;
};
