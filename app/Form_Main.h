#pragma once
#include "settings/SpecialNames.h"
#include "year/Form_Year.h"

#include <QWidget>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class UndoHistory;

// The editor's hub: the working commands, the choice between a new
// schedule and editing a program file, and the exit.
class Form_Main : public QWidget
{
    Q_OBJECT
public:
    // `namesPath`: the file of the special numbers' names (tests give their own).
    explicit Form_Main(UndoHistory& history, QWidget* parent = nullptr,
                       const QString& namesPath = SpecialNames::defaultPath());

    bool editModeActive() const { return EditModeActive; }

    // Start-up: reset the circuit settings and empty the store, unless the
    // store still holds the programs of a run that never reached its exit
    // and the user takes them back.
    void Form_Load();

    // A program file given from outside: on the command line, handed over
    // by a second start, or dropped on this window. Read as 読込 reads the
    // chosen file, unless a working window or a dialog is open.
    void openFromOutside(const QString& path);

    // Runs in 書込 after the new file is in place and before it is read back
    // (ProgramFileWriter::WriteOptions::afterCommit); for tests.
    void setAfterSaveForTesting(std::function<void(const QString& path)> hook) { m_afterSave = std::move(hook); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildWindow();
    void connectCommands();
    // Places and shows a window in place of this one, which comes back when
    // the window is closed.
    template <typename Window>
    void openWorkingWindow(Window* window);
    bool offerRecovery();

    void Button_Initial_Click();
    void Button_Week_Click();
    void Button_Year_Click();
    void Button_Check_Click();
    void Button_Day_Click();
    void Button_SaveFile_Click();
    void writeProgramFile();
    void Button_LoadFile_Click();
    void Button_Quit_Click();
    void Option_FileEdit_Click(int index);
    void selectFileEdit(int index);
    void showNoFileChosen();

    struct FileEditState {
        bool editMode = false;
        QString timeStamp;
        QString fileName;
    };
    FileEditState fileEditState() const;
    void showFileEditState(const FileEditState& state);

    bool askDiscardBeforeRead(const QString& received = QString());
    QWidget* openWindowOrDialog() const;
    void openFile(const QString& path);
    void readIntoEditMode(const QString& path);
    void ReadProgramFile(const QString& path);
    void runExitSequence();

    bool EditModeActive = false;
    // 年間プログラム opens again where it was left while the editor runs.
    YearWindowPlace m_yearPlace;
    // The special numbers' names and the remembered 日課 choices.
    SpecialNames::NamesFile m_names;
    bool m_exiting = false;
    std::function<void(const QString& path)> m_afterSave;
    // 「今後表示しない」 in the review before 書込, until the editor is closed.
    bool m_skipReviewBeforeWrite = false;
    // The program file last read or written, named in the year calendar's foot.
    QString m_fileName;

    QLabel* Label_Titile = nullptr;
    QLabel* Label_Version = nullptr;
    QLabel* Picture_Logo = nullptr;
    QPushButton* Button_Initial = nullptr;
    QLabel* Label_Initial = nullptr;
    QPushButton* Button_Week = nullptr;
    QLabel* Label_Week = nullptr;
    QPushButton* Button_Year = nullptr;
    QLabel* Label_Year = nullptr;
    QPushButton* Button_Check = nullptr;
    QLabel* Label_Check = nullptr;
    QPushButton* Button_Day = nullptr;
    QLabel* Label_Day = nullptr;
    QPushButton* Button_SaveFile = nullptr;
    QGroupBox* Frame_SelectProgram = nullptr;
    QRadioButton* Option_FileEdit[2] = {};
    QPushButton* Button_LoadFile = nullptr;
    QLabel* Label_Edit = nullptr;
    QLabel* Label_FileTimeStamp = nullptr;
    QPushButton* Button_Quit = nullptr;
    UndoHistory& m_history;
};
