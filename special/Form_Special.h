#pragma once
#include "week/ListHost.h"

#include <QDialog>

class QLabel;
class QPushButton;
class ProgramGrid;

// The programs of one circuit under one special number (EditRequest's
// CircuitNO and SpecialNO; SpecialNO 0 takes the first free number). The
// number comes into existence with its first saved program.
class Form_Special : public QDialog, public ListHost
{
    Q_OBJECT
public:
    explicit Form_Special(QWidget* parent = nullptr);

    void BuildSpecialList(int circuit, int special);
    void SetSpecialGridColumns();
    void rebuildList(int circuit, int special) override;

    int circuit() const { return m_circuit; }
    int special() const { return m_special; }

    void done(int result) override;

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    int programType() const;
    void refresh();
    // Fills EditRequest for this window's circuit and number, Origin 2.
    void fillRequest(int editMode, int id);
    void openEntryDialog();

    void Button_New_Click();
    void Button_Edit_Click();
    void Button_Delete_Click();
    void Button_AllDelete_Click();
    void Button_Copy_Click();
    void Button_Close_Click();

    int m_circuit = 0;
    int m_special = 0;

    QLabel* Label_Titile;
    QLabel* Label_CircuitTitle;
    QLabel* Label_Circuit;
    QLabel* Label_SpecialTitle;
    QLabel* Label_Special;
    QLabel* Label2;
    QLabel* Label_Mode;
    QLabel* Label3;
    QLabel* Label_Pulse;
    QLabel* Label4;
    QLabel* Label_ProgramCount;
    ProgramGrid* DataGrid1;
    QPushButton* Button_New;
    QPushButton* Button_Edit;
    QPushButton* Button_Delete;
    QPushButton* Button_AllDelete;
    QPushButton* Button_Copy;
    QPushButton* Button_Close;
};
