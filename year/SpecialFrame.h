#pragma once
#include "settings/SpecialNames.h"

#include <QString>
#include <functional>

class QComboBox;
class QGroupBox;
class QPushButton;
class QWidget;
class UndoHistory;

// The 特殊番号 frame of the year dialogs (日付設定, 祝日設定): the special
// number in use, a new number and the editing of the chosen one, both in
// the special window.
struct SpecialFrame {
    QGroupBox* Frame_Special = nullptr;
    QComboBox* Combo_Special = nullptr;
    QPushButton* Button_New = nullptr;
    QPushButton* Button_Edit = nullptr;

    // The special window opened here gets `backTip` as its 閉じる tooltip
    // and tells `closed` the number it showed and whether that has programs.
    void createSpecialFrame(QWidget* dialog, UndoHistory& history, const QString& backTip,
                            std::function<void(int, bool)> closed);
    // Enabled with the option that runs a special program.
    void enableSpecialFrame(bool special);
    // Opens the special window on the first free number of the circuit,
    // or says that all 99 are taken.
    void newSpecial(QWidget* dialog, int circuit);
    // Opens the special window on the chosen number, if any.
    void editSpecial(QWidget* dialog, int circuit);
    // The chosen number, or 0.
    int chosenSpecial() const;
    // Fills the number list, the numbers named when there are names.
    void fillSpecials(int circuit);

    // The names the lists show and the special window sets; none without.
    SpecialNames::NamesFile* names = nullptr;

private:
    // Special 0 is the first free number.
    void openSpecialWindow(QWidget* dialog, int circuit, int special);

    UndoHistory* m_frameHistory = nullptr;
    QString m_backTip;
    std::function<void(int, bool)> m_specialClosed;
};
