#pragma once

class QComboBox;
class QGroupBox;
class QPushButton;
class QWidget;

// The 特殊番号 frame of the year dialogs (日付設定, 祝日設定): the special
// number in use, a new number and the editing of the chosen one, both in
// the special window.
struct SpecialFrame
{
    QGroupBox* Frame_Special;
    QComboBox* Combo_Special;
    QPushButton* Button_New;
    QPushButton* Button_Edit;

    void createSpecialFrame(QWidget* dialog);
    // Enabled with the option that runs a special program.
    void enableSpecialFrame(bool special);
    // Opens the special window on the first free number of the circuit,
    // or says that all 99 are taken.
    void newSpecial(QWidget* dialog, int circuit);
    // Opens the special window on the chosen number, if any.
    void editSpecial(QWidget* dialog, int circuit);
    // The chosen number, or 0.
    int chosenSpecial() const;
};
