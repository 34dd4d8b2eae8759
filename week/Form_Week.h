#pragma once
#include "week/EntryJob.h"
#include "week/ListControls.h"
#include "week/WeekViewChoice.h"

#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class ProgramGrid;

class UndoHistory;

// The week program list of one circuit and day selection.
class Form_Week : public QWidget, private ListControls
{
    Q_OBJECT
public:
    // Without `makeView` the window shows the grid alone.
    explicit Form_Week(UndoHistory& history, const WeekViewMaker& makeView = {}, QWidget* parent = nullptr);

    void BuildWeekList(int circuit, int day);
    void SetWeekGridColumns(int day);
    void rebuildList(int circuit, int day);

signals:
    // Closed for good; its opener comes back.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow(const WeekViewMaker& makeView);
    void connectHandlers();
    void Form_Load();

    bool offered(int circuit) const;
    void settingsChanged();
    int selectedCircuit() const;
    int selectedDay() const;
    int programType() const;
    // コピー and 時程から作成 follow the circuit and day.
    void updateButtonsEnabled();
    void refresh();
    void programsChanged();
    // The change of the selected row, read from the store; nullopt when no
    // row is selected or the row is gone.
    std::optional<EntryJob> jobFromRow() const;
    // The entry dialog of the circuit's type.
    void openEntryDialog(const EntryJob& job);

    void Combo_Circuit_Click();
    void Combo_Yobi_Click();
    void Button_New_Click();
    void Button_Edit_Click();
    void Button_Delete_Click();
    void Button_AllDelete_Click();
    void Button_Copy_Click();
    void Button_Bells_Click();
    void Button_Close_Click();

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Circuit = nullptr;
    QComboBox* Combo_Circuit = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo_Yobi = nullptr;
    WeekViewChoice* Frame_View = nullptr;  // 一覧 / タイムライン, or none
    UndoHistory& m_history;
};
