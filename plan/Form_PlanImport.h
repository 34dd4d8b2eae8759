#pragma once
#include "plan/PlanChanges.h"
#include "plan/SchoolPlan.h"
#include "settings/SpecialNames.h"

#include <QDialog>
#include <QMap>

#include <optional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class Form_Year;
class UndoHistory;

// 行事予定から設定: a school's table, pasted or opened, set into a
// circuit's dated entries, one 日課 name at a time chosen as 設定なし, 停止 or
// a special number. What changes is shown before OK; OK writes it all or
// nothing as one step of the history and remembers the choices.
class Form_PlanImport : public QDialog
{
    Q_OBJECT
public:
    // `shown`: the calendar's day, whose 年度 dates without a year get.
    Form_PlanImport(UndoHistory& history, int circuit, QDate shown, SpecialNames::NamesFile& names,
                    QWidget* parent = nullptr);

    // Opens the window when `year` asks for it, and turns its calendar to
    // the first day set.
    static void attachTo(UndoHistory& history, Form_Year* year, SpecialNames::NamesFile& names);

    // Reads pasted cells as Ctrl+V does (the tests hand them directly).
    void pasteText(const QString& text);

signals:
    // Written; `first` is the first day set (invalid when none).
    void planWritten(QDate first);

protected:
    void done(int result) override;

private:
    void buildWindow();
    void connectHandlers();
    void takeGrid(const Plan::Grid& grid);
    void readTable();
    void fillNames();
    void showChanges();
    std::optional<Plan::Changes> changes() const;
    void refuse(const QString& message);
    void writeChanges(const Plan::Changes& changes);

    void Button_Paste_Click();
    void Button_Open_Click();
    void Button_OK_Click();

    UndoHistory& m_history;
    int m_circuit;
    SpecialNames::NamesFile& m_names;
    Plan::Grid m_grid;
    std::optional<Plan::SchoolPlan> m_plan;
    QMap<QString, SpecialNames::DutyChoice> m_choices;  // by folded 日課 name
    bool m_filling = false;

    QLabel* Label_Source = nullptr;
    QPushButton* Button_Paste = nullptr;
    QPushButton* Button_Open = nullptr;
    QSpinBox* Text_SchoolYear = nullptr;
    QComboBox* Combo_Column = nullptr;
    QLabel* Label_Error = nullptr;
    QTableWidget* Grid_Names = nullptr;
    QLabel* Label_Changes = nullptr;
    QListWidget* List_Conflicts = nullptr;
    QButtonGroup* m_existing = nullptr;
    QRadioButton* Option_Existing[2] = {};
    QLabel* Label_Room = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
};
