#pragma once
#include "ui/InputCheck.h"
#include "week/Bells.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

class UndoHistory;

// 時程から作成: bells at the start and end of every period of a timetable
// (and a 予鈴 before each start) added to a time-signal or chime circuit,
// for a day choice of the week list or a special number. The timetable may
// be typed whole into one box, which fills the grid. The timetable last
// used for the same day choice or special number is offered again.
class Form_Bells : public QDialog
{
    Q_OBJECT
public:
    Form_Bells(UndoHistory& history, int circuit, Bells::Target target, QWidget* parent = nullptr);

    void done(int result) override;

private:
    // The filled rows of the period grid; the first cell without a time
    // beside a filled one, if any.
    struct GridPeriods {
        QList<Bells::Period> periods;
        int badRow = -1, badColumn = -1;
    };

    void buildWindow();
    QLayout* buildTypedRow();
    QLayout* buildPeriodArea();
    QLayout* buildFillArea();
    QLayout* buildTuneRow();
    void connectHandlers();
    // The quick fill boxes in the order they are kept between windows.
    std::array<QLineEdit*, 6> fillBoxes() const;
    // The quick fill's number boxes with their ranges.
    std::array<InputCheck::Range, 5> numberRanges() const;
    void restoreTimetable();
    void saveTimetable() const;

    void setPeriods(const QList<Bells::Period>& periods);
    void addRow(const QString& start, const QString& end);
    GridPeriods readGrid() const;
    int preBellMinutes() const;
    Bells::Request request(const QList<Bells::Period>& periods) const;
    void updatePreview();
    QString previewLine(const Bells::PlannedBell& planned) const;

    // Why the typed timetable cannot be read; empty when it can or the box
    // is blank.
    QString typedError() const;
    void timetableTyped();
    bool typedTimetableValid();
    void cellChanged(QTableWidgetItem* item);
    void reportBadCell();
    void editCell(int row, int column);
    bool fillBoxesValid();
    bool checkPreBell();
    bool timetableValid(const GridPeriods& grid);

    void Button_Fill_Click();
    void Button_RemoveRow_Click();
    void Button_OK_Click();
    // The store work of OK: the bells in one transaction, or nothing.
    Bells::Result writeBells(const Bells::Request& request);

    int m_circuit = 0;
    Bells::Target m_target;
    bool m_chime = false;
    bool m_reportPending = false;  // a bad cell's message is on its way

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Target = nullptr;
    QLineEdit* Text_Timetable = nullptr;
    QTableWidget* Grid_Periods = nullptr;
    QPushButton* Button_AddRow = nullptr;
    QPushButton* Button_RemoveRow = nullptr;
    QLineEdit* Text_FirstStart = nullptr;
    QLineEdit* Text_PeriodLength = nullptr;
    QLineEdit* Text_BreakLength = nullptr;
    QLineEdit* Text_PeriodCount = nullptr;
    QLineEdit* Text_LunchAfter = nullptr;
    QLineEdit* Text_LunchLength = nullptr;
    QPushButton* Button_Fill = nullptr;
    QLineEdit* Text_PreBell = nullptr;
    QWidget* Frame_Tunes = nullptr;
    std::array<QComboBox*, 3> Combo_Tunes{};  // start, end, 予鈴
    QListWidget* List_Preview = nullptr;
    QLabel* Label_PreviewCount = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;
    UndoHistory& m_history;
};
