#pragma once
#include "year/SpecialFrame.h"

#include <QDate>
#include <QDialog>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class RepeatFrame;

class UndoHistory;

// What a day or a run of days does: nothing special (week programs), stop,
// or a special program; in the year shown or every year, for a circuit and
// the run of days chosen in the calendar. With 繰り返し the days are those a
// rule picks in a span, listed before OK.
class Form_EditYear : public QDialog, private SpecialFrame
{
    Q_OBJECT
public:
    Form_EditYear(UndoHistory& history, int circuit, QDate from, QDate to, QWidget* parent = nullptr,
                  SpecialNames::NamesFile* namesFile = nullptr);

    int circuit() const { return m_circuit; }

    void done(int result) override;

signals:
    // A rule's days were written; the first of them.
    void ruleDaysWritten(QDate first);

private:
    // The special window opened here closed: the numbers in use are listed
    // again and, when `choose`, the one it showed is chosen.
    void SpecialWindowClosed(int special, bool choose);
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    bool everyYear() const;
    bool singleDay() const;
    // The special numbers in use, and the stored number of the day shown
    // even when it has no programs (so that OK keeps it); nothing chosen.
    void fillSpecialList();
    void chooseSpecial(int special);
    void ShowEntryState();
    void showOtherKindEntry();
    void checkOption(int index);

    void Combo_Year_Click();
    void Option_Year_Click(int index);
    void Check_Repeat_Click();
    // The days of the rule with the entries they hold, and whether the
    // keep / overwrite choice is needed.
    void showRuleDays();
    // The keep / overwrite choice, shown while rule days hold other
    // entries; OK waits for it.
    void showExistingChoice();
    int chosenAction() const;
    bool repeating() const;
    // OK's checks of the choice; false (with the message shown) when
    // something is missing.
    bool optionChosen();
    bool ruleDaysChosen(const QList<QDate>& days);
    void writeRuleDays(const QList<QDate>& days);
    void Button_OK_Click();

    const int m_circuit;
    const QDate m_from;
    const QDate m_to;
    std::optional<int> m_stored;  // the entry of the single day shown
    int m_differing = 0;          // rule days holding entries other than the one chosen

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Date = nullptr;
    QComboBox* Combo_Year = nullptr;
    QLabel* Label_OtherEntry = nullptr;
    QRadioButton* Option_Year[3] = {};
    QButtonGroup* m_options = nullptr;
    QCheckBox* Check_Repeat = nullptr;
    RepeatFrame* Frame_Repeat = nullptr;
    QLabel* Label_RuleDays = nullptr;
    QListWidget* List_RuleDays = nullptr;
    QLabel* Label_Existing = nullptr;
    QRadioButton* Option_Existing[2] = {};  // 上書きする, そのままにする
    QButtonGroup* m_existing = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
    UndoHistory& m_history;
};
