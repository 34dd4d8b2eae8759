#pragma once
#include "settings/SpecialNames.h"
#include "week/EntryJob.h"
#include "week/ListControls.h"

#include <QDialog>
#include <QMessageBox>

class QLabel;
class QLineEdit;
class QPushButton;
class ProgramGrid;

class UndoHistory;

// The programs of one circuit under one special number (0 takes the first
// free number). The number comes into existence with its first saved
// program. `closeTip`, the tooltip of 閉じる, says where it goes back to.
// With `names` the number has a 名前 box, and the title shows its name.
class Form_Special : public QDialog, private ListControls
{
    Q_OBJECT
public:
    Form_Special(UndoHistory& history, int circuit, int special, const QString& closeTip, QWidget* parent = nullptr,
                 SpecialNames::NamesFile* names = nullptr);

    void BuildSpecialList(int circuit, int special);
    void SetSpecialGridColumns();
    void rebuildList(int circuit, int special);

    int circuit() const { return m_circuit; }
    int special() const { return m_special; }

    void done(int result) override;

signals:
    // On the way out: the number shown and whether it has programs now.
    void closing(int special, bool hasPrograms);

private:
    void buildWindow();
    void connectHandlers();
    void Form_Load();
    void showCircuitType();
    void showName();
    void Text_Name_Changed();
    int programType() const;
    void refresh();
    void programsChanged();
    // A new program's job for this window's circuit and number.
    EntryJob newJob() const;
    void openEntryDialog(const EntryJob& job);
    bool confirmDeletion(const QString& question, const QString& deleting, bool lastGoes,
                         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    void Button_New_Click();
    void Button_Edit_Click();
    void Button_Delete_Click();
    void Button_AllDelete_Click();
    void Button_Copy_Click();
    void Button_Bells_Click();
    void Button_Close_Click();

    int m_circuit = 0;
    int m_special = 0;
    SpecialNames::NamesFile* m_names = nullptr;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_CircuitTitle = nullptr;
    QLabel* Label_Circuit = nullptr;
    QLabel* Label_SpecialTitle = nullptr;
    QLabel* Label_Special = nullptr;
    QLabel* Label_NameTitle = nullptr;
    QLineEdit* Text_Name = nullptr;
    UndoHistory& m_history;
};
