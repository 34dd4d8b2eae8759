#include "app/Form_Main.h"
#include "store/ScheduleDocument.h"

#include "app/Form_End.h"
#include "app/Logo.h"
#include "core/Version.h"
#include "history/UndoActions.h"
#include "history/UndoHistory.h"
#include "plan/Form_PlanImport.h"
#include "print/Form_Print.h"
#include "progfile/ProgramFileReader.h"
#include "progfile/ProgramFileWriter.h"
#include "review/Form_Calendar.h"
#include "review/Form_Review.h"
#include "review/SchoolYear.h"
#include "review/YearReview.h"
#include "settings/Form_Environment.h"
#include "store/SettingTable.h"
#include "store/StoreRoutines.h"
#include "ui/BusyCursor.h"
#include "ui/FileDialog.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialogs.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "week/Form_Week.h"
#include "whenruns/Form_DayPreview.h"
#include "whenruns/Schedule.h"
#include "whenruns/WeekViewSwitch.h"
#include "year/Form_Year.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QSize kButtonSize(150, 44);

const QString kOpenTitle = QStringLiteral("ファイルを開く WZ48PROG.dat");
const QString kOpenFileTitle = QStringLiteral("ファイルを開く");

// The one local file a drag carries, or empty.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    return data->urls().constFirst().toLocalFile();
}

void bringToFront(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

// Captions written with CR LF show their line breaks as intended.
QString lines(const QString& text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

Form_Main::Form_Main(UndoHistory& history, QWidget* parent, const QString& namesPath)
    : QWidget(parent)
    , m_names(SpecialNames::NamesFile::read(namesPath))
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_Main"));
    setWindowTitle(QStringLiteral("WZ/QX プログラム作成"));
    setAcceptDrops(true);
    buildWindow();
    connectCommands();
}

void Form_Main::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("WZ/QX シリーズ プログラム作成ソフトウェア "));
    styleHeading(Label_Titile, 1.5);
    Label_Version = makeLabel(this, "Label_Version", QStringLiteral("Version " WZ_VERSION));
    Picture_Logo = makeLabel(this, "Picture_Logo", QString());
    Picture_Logo->setPixmap(makeLogo(56));

    Button_Initial = makeButton(this, "Button_Initial", QStringLiteral("初期設定"),
                                QStringLiteral("初期設定をします。"), kButtonSize);
    Label_Initial =
        makeLabel(this, "Label_Initial",
                  lines(QStringLiteral("接続機器によって使用\r\nするプログラムを回路\r\nごとに設定します")));
    Button_Week = makeButton(this, "Button_Week", QStringLiteral("週間プログラム"),
                             QStringLiteral("週間プログラムを設定します。"), kButtonSize);
    Label_Week =
        makeLabel(this, "Label_Week", lines(QStringLiteral("普段実行するプログラム\r\nを曜日ごとに設定します")));
    Button_Year = makeButton(this, "Button_Year", QStringLiteral("年間プログラム"),
                             QStringLiteral("年間プログラムを設定します。"), kButtonSize);
    Label_Year = makeLabel(this, "Label_Year", lines(QStringLiteral("特定の日に実行するプロ\r\nグラムを設定します")));
    // Created in the order they are drawn: that is the Tab order.
    Button_Day = makeButton(this, "Button_Day", QStringLiteral("日付確認"),
                            QStringLiteral("指定した日に実行されるプログラムを確認します。"), kButtonSize);
    Label_Day = makeLabel(this, "Label_Day", lines(QStringLiteral("指定した日に実行する\r\nプログラムを確認します")));
    Button_Check = makeButton(this, "Button_Check", QStringLiteral("プログラム印刷"),
                              QStringLiteral("設定済みのプログラムを印刷します。"), kButtonSize);
    Label_Check = makeLabel(this, "Label_Check", lines(QStringLiteral("設定したプログラムを印\r\n刷します")));
    Button_SaveFile = makeButton(this, "Button_SaveFile", QStringLiteral("書込"),
                                 QStringLiteral("プログラムファイルを保存します。"), kButtonSize);

    Frame_SelectProgram = new QGroupBox(QStringLiteral("作成プログラム"), this);
    Frame_SelectProgram->setObjectName(QStringLiteral("Frame_SelectProgram"));
    Option_FileEdit[0] = new QRadioButton(QStringLiteral("新規"), Frame_SelectProgram);
    Option_FileEdit[0]->setObjectName(QStringLiteral("Option_FileEdit_0"));
    Option_FileEdit[0]->setToolTip(QStringLiteral("プログラムを新規で作成します。"));
    Option_FileEdit[1] = new QRadioButton(QStringLiteral("編集"), Frame_SelectProgram);
    Option_FileEdit[1]->setObjectName(QStringLiteral("Option_FileEdit_1"));
    Option_FileEdit[1]->setToolTip(QStringLiteral("作成済みのプログラムを読み込んで編集します。"));
    Button_LoadFile = makeButton(Frame_SelectProgram, "Button_LoadFile", QStringLiteral("読込"),
                                 QStringLiteral("プログラムファイルを読み込みます。"), kButtonSize);
    Button_LoadFile->setMinimumSize(90, 36);
    Label_Edit = makeLabel(Frame_SelectProgram, "Label_Edit", QStringLiteral("更新日:"));
    Label_FileTimeStamp = makeLabel(Frame_SelectProgram, "Label_FileTimeStamp", QString());
    Label_FileTimeStamp->setMinimumWidth(170);
    Label_FileTimeStamp->setFrameShape(QFrame::StyledPanel);
    Label_FileTimeStamp->setFrameShadow(QFrame::Sunken);

    Button_Quit = makeButton(this, "Button_Quit", QStringLiteral("終了"),
                             QStringLiteral("WZ/QXシリーズプログラム作成ソフトウェアを終了します。"), kButtonSize);

    auto* frameLayout = new QGridLayout(Frame_SelectProgram);
    frameLayout->addWidget(Option_FileEdit[0], 0, 0);
    frameLayout->addWidget(Option_FileEdit[1], 0, 1);
    frameLayout->addWidget(Button_LoadFile, 0, 2);
    frameLayout->addWidget(Label_Edit, 1, 0);
    frameLayout->addWidget(Label_FileTimeStamp, 1, 1, 1, 2);
    Option_FileEdit[0]->setChecked(true);

    auto* header = new QHBoxLayout;
    header->addWidget(Picture_Logo);
    auto* titles = new QVBoxLayout;
    titles->addWidget(Label_Titile);
    titles->addWidget(Label_Version, 0, Qt::AlignRight);
    header->addLayout(titles, 1);

    auto* commands = new QGridLayout;
    commands->setHorizontalSpacing(16);
    int row = 0;
    for (auto [button, label] :
         {std::pair{Button_Initial, Label_Initial}, std::pair{Button_Week, Label_Week},
          std::pair{Button_Year, Label_Year}, std::pair{Button_Day, Label_Day}, std::pair{Button_Check, Label_Check}}) {
        commands->addWidget(button, row, 0);
        commands->addWidget(label, row, 1);
        ++row;
    }

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(Button_SaveFile, 0, Qt::AlignTop);
    fileRow->addWidget(Frame_SelectProgram, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(12);
    layout->addLayout(header);
    layout->addLayout(commands);
    layout->addLayout(fileRow);
    const UndoButtons undo = AddUndoButtons(this, m_history);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(undo.undo);
    bottomRow->addWidget(undo.redo);
    bottomRow->addStretch(1);
    bottomRow->addWidget(Button_Quit);
    layout->addLayout(bottomRow);
}

void Form_Main::connectCommands()
{
    connect(Button_Initial, &QPushButton::clicked, this, guarded(this, [this] { Button_Initial_Click(); }));
    connect(Button_Week, &QPushButton::clicked, this, guarded(this, [this] { Button_Week_Click(); }));
    connect(Button_Year, &QPushButton::clicked, this, guarded(this, [this] { Button_Year_Click(); }));
    connect(Button_Check, &QPushButton::clicked, this, guarded(this, [this] { Button_Check_Click(); }));
    connect(Button_Day, &QPushButton::clicked, this, guarded(this, [this] { Button_Day_Click(); }));
    connect(Button_SaveFile, &QPushButton::clicked, this, guarded(this, [this] { Button_SaveFile_Click(); }));
    connect(Button_LoadFile, &QPushButton::clicked, this, guarded(this, [this] { Button_LoadFile_Click(); }));
    connect(Button_Quit, &QPushButton::clicked, this, guarded(this, [this] { Button_Quit_Click(); }));
    for (int index = 0; index < 2; ++index)
        connect(Option_FileEdit[index], &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked)
                runGuarded(this, [this, index] { Option_FileEdit_Click(index); });
        });
}

void Form_Main::Form_Load()
{
    m_history.clear();
    m_history.document().resetCircuits();
    if (offerRecovery())
        return;
    BusyCursor busy;
    ClearAllData(m_history.document());
    EditModeActive = false;
}

// A clean exit empties the store, so programs found here were left by a
// crash, a kill, a logout or a power cut. Taking them back continues that
// work in 編集 mode; there is no file behind it, so no update date.
bool Form_Main::offerRecovery()
{
    const int week = WeekRowCount(m_history.document());
    const int dated = YearRowCount(m_history.document());
    const int everyYear = EveryYearRowCount(m_history.document());
    if (week + dated + everyYear == 0)
        return false;
    const QString question = QStringLiteral("前回の編集内容が残っています。\r\n復元しますか？\r\n\r\n"
                                            "週間・特殊: %1  年間(日付): %2  年間(毎年): %3")
                                 .arg(week)
                                 .arg(dated)
                                 .arg(everyYear);
    const auto answer =
        MessageBox::show(nullptr, question, QStringLiteral("WZ QXプログラム作成"), MessageBox::Icon::Question,
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return false;
    m_history.document().reloadCircuits();
    Label_FileTimeStamp->clear();
    EditModeActive = true;
    Option_FileEdit[1]->setChecked(true);
    return true;
}

template <typename Window>
void Form_Main::openWorkingWindow(Window* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &Window::closed, this, [this] {
        if (!isVisible())
            show();
    });
    placeWindow(window);
    window->show();
    hide();
}

void Form_Main::Button_Initial_Click()
{
    openWorkingWindow(new Form_Environment(m_history));
}

void Form_Main::Button_Week_Click()
{
    if (!AnyCircuitConfigured(m_history.document())) {
        MessageBox::show(this, QStringLiteral("初期設定をしてください 。"), QStringLiteral("週間プログラム設定"),
                         MessageBox::Icon::Exclamation);
        Button_Initial->setFocus();
        return;
    }
    openWorkingWindow(new Form_Week(m_history, WeekViewSwitch::makerFor(m_history.document())));
}

void Form_Main::Button_Year_Click()
{
    if (!AnyCircuitConfigured(m_history.document())) {
        MessageBox::show(this, QStringLiteral("初期設定をしてください 。"), QStringLiteral("年間プログラム設定"),
                         MessageBox::Icon::Exclamation);
        Button_Initial->setFocus();
        return;
    }
    auto* year = new Form_Year(m_history, m_yearPlace, nullptr, &m_names);
    connect(year, &Form_Year::closed, this, [this, year] { m_yearPlace = year->place(); });
    Form_PlanImport::attachTo(m_history, year, m_names);
    connect(year, &Form_Year::calendarRequested, this, [this, year](int circuit, QDate day) {
        runGuarded(year, [=] {
            ModalDialogs::open(
                new Form_Calendar(m_history.document(), circuit, day, year, m_names.names.names(), m_fileName));
        });
    });
    connect(year, &Form_Year::reviewRequested, this, [this, year] {
        runGuarded(year, [this, year] {
            auto* review =
                new Form_Review(m_history.document(), Form_Review::Use::Browse, 0, year, m_names.names.names());
            connect(review, &Form_Review::dayChosen, year, &Form_Year::showDay);
            ModalDialogs::open(review);
        });
    });
    openWorkingWindow(year);
}

void Form_Main::Button_Check_Click()
{
    auto* print = new Form_Print(m_history);
    connect(print, &Form_Print::calendarRequested, this, [this, print](int circuit) {
        runGuarded(print, [=] {
            ModalDialogs::open(
                new Form_Calendar(m_history.document(), circuit, QDate(), print, m_names.names.names(), m_fileName));
        });
    });
    openWorkingWindow(print);
}

void Form_Main::Button_Day_Click()
{
    if (!AnyCircuitConfigured(m_history.document())) {
        MessageBox::show(this, QStringLiteral("初期設定をしてください 。"), QStringLiteral("日付確認"),
                         MessageBox::Icon::Exclamation);
        Button_Initial->setFocus();
        return;
    }
    openWorkingWindow(new Form_DayPreview(m_history, nullptr, &m_names.names));
}

// 年間チェック first when the store holds dated entries and the review
// finds something; 書込 goes on only by 「このまま書込」.
void Form_Main::Button_SaveFile_Click()
{
    if (!m_skipReviewBeforeWrite) {
        const WhenRuns::Schedule schedule = WhenRuns::ReadSchedule(m_history.document());
        if (!schedule.dated.isEmpty()) {
            const int schoolYear = Review::SchoolYearOfEntries(schedule, 0, QDate::currentDate());
            if (!Review::ReviewYear(schedule, schoolYear, 0, m_names.names.names()).findings.isEmpty()) {
                auto* review = new Form_Review(m_history.document(), Form_Review::Use::BeforeWrite, schoolYear, this,
                                               m_names.names.names());
                connect(review, &Form_Review::dayChosen, this, [this](int circuit, QDate day) {
                    m_yearPlace = {circuit, day};
                });
                connect(review, &QDialog::finished, this, [this, review](int result) {
                    if (review->dontShowAgain())
                        m_skipReviewBeforeWrite = true;
                    if (result == QDialog::Accepted)
                        runGuarded(this, [this] { writeProgramFile(); });
                });
                ModalDialogs::open(review);
                return;
            }
        }
    }
    writeProgramFile();
}

void Form_Main::writeProgramFile()
{
    const QString title = QStringLiteral("保存先の指定");
    const QString path = ShowFileDialog(this, title, FileDialogSave);
    if (path.isEmpty()) {
        MessageBox::show(this, QStringLiteral("ファイル名が指定されていません。"), title,
                         MessageBox::Icon::Exclamation);
        return;
    }
    {
        BusyCursor busy;
        ProgramFileWriter::SaveProgramFile(m_history.document(), path, m_afterSave);
    }
    m_fileName = QFileInfo(path).fileName();
    MessageBox::show(this, QStringLiteral("プログラムファイルを作成しました。"), QStringLiteral("ファイルの保存"),
                     MessageBox::Icon::Information);
}

// A file that cannot be read gets the "エラー" box here, so that the 読込 and
// 編集 flows around the read go on as after a refused file.
void Form_Main::ReadProgramFile(const QString& path)
{
    using namespace ProgramFileReader;
    runGuarded(this, [this, &path] {
        ReadResult result;
        {
            BusyCursor busy;
            UndoStep step(m_history, QStringLiteral("プログラムファイルの読込"));
            const FileEditState before = fileEditState();
            result = ProgramFileReader::ReadProgramFile(m_history.document(), path);
            const bool accepted = result.status == ReadStatus::Accepted;
            const FileEditState after{true, accepted ? timeStampText(result.lastModified) : before.timeStamp,
                                      accepted ? QFileInfo(path).fileName() : before.fileName};
            m_fileName = after.fileName;
            const QPointer<Form_Main> self(this);
            step.alsoPutBack(
                [self, before] {
                    if (self)
                        self->showFileEditState(before);
                },
                [self, after] {
                    if (self)
                        self->showFileEditState(after);
                });
        }
        switch (result.status) {
        case ReadStatus::Invalid:
            MessageBox::show(this, messageText(result.status), kOpenFileTitle, MessageBox::Icon::Critical);
            break;
        case ReadStatus::OverCapacity:
            MessageBox::show(this, messageText(result.status), QStringLiteral("お知らせ"),
                             MessageBox::Icon::Information);
            break;
        case ReadStatus::Accepted:
            Label_FileTimeStamp->setText(timeStampText(result.lastModified));
            MessageBox::show(this, messageText(result.status), QStringLiteral("プログラムファイルの読み込み"),
                             MessageBox::Icon::Information);
            break;
        }
    });
}

bool Form_Main::askDiscardBeforeRead(const QString& received)
{
    // A file from outside comes unasked for: the question says which one.
    const QString arrived = received.isEmpty()
        ? QString()
        : QStringLiteral("ファイル「%1」を受け取りました。\r\n").arg(QDir::toNativeSeparators(received));
    for (int circuit = 1; circuit <= 8; ++circuit) {
        if (!HasPrograms(m_history.document(), circuit))
            continue;
        const auto answer = MessageBox::show(
            this, arrived + QStringLiteral("設定中のデータあります。\r\nデータは破棄されますが読込を続けますか？"),
            QStringLiteral("データの読込"), MessageBox::Icon::Exclamation, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::No);
        return answer == QMessageBox::Yes;
    }
    return true;
}

Form_Main::FileEditState Form_Main::fileEditState() const
{
    return {EditModeActive, Label_FileTimeStamp->text(), m_fileName};
}

// An undone or redone 読込 puts back the choice it made, without the
// questions that choosing it by hand asks.
void Form_Main::showFileEditState(const FileEditState& state)
{
    EditModeActive = state.editMode;
    const QSignalBlocker newBlocker(Option_FileEdit[0]);
    const QSignalBlocker editBlocker(Option_FileEdit[1]);
    Option_FileEdit[state.editMode ? 1 : 0]->setChecked(true);
    Label_FileTimeStamp->setText(state.timeStamp);
    m_fileName = state.fileName;
}

void Form_Main::showNoFileChosen()
{
    MessageBox::show(this, QStringLiteral("ファイルが選択されていません。"), kOpenFileTitle,
                     MessageBox::Icon::Exclamation);
}

void Form_Main::selectFileEdit(int index)
{
    Option_FileEdit[index]->setChecked(true);
    Option_FileEdit[index]->setFocus();
}

void Form_Main::Button_LoadFile_Click()
{
    if (!askDiscardBeforeRead())
        return;
    const QString path = ShowFileDialog(this, kOpenTitle, FileDialogOpen);
    if (!path.isEmpty()) {
        readIntoEditMode(path);
        return;
    }
    EditModeActive = false;
    showNoFileChosen();
    selectFileEdit(0);
}

// Another top-level window (a working window hides this one) or a modal
// dialog; reading now would pull the store from under it.
QWidget* Form_Main::openWindowOrDialog() const
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (window != this && window->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            return window;
    }
    return nullptr;
}

void Form_Main::openFromOutside(const QString& path)
{
    if (m_exiting)
        return;
    if (QWidget* busy = openWindowOrDialog()) {
        bringToFront(busy);
        MessageBox::show(busy, QStringLiteral("開いている画面を閉じてから読み込んでください。"), kOpenFileTitle,
                         MessageBox::Icon::Information);
        return;
    }
    bringToFront(this);
    runGuarded(this, [this, &path] { openFile(path); });
}

// 読込 with the file already chosen.
void Form_Main::openFile(const QString& path)
{
    if (askDiscardBeforeRead(path))
        readIntoEditMode(path);
}

void Form_Main::readIntoEditMode(const QString& path)
{
    ReadProgramFile(path);
    EditModeActive = true;
    if (!Option_FileEdit[1]->isChecked())
        selectFileEdit(1);
}

void Form_Main::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

// The drag source waits until the drop returns: the questions and messages
// come after it.
void Form_Main::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, path] { openFromOutside(path); });
}

void Form_Main::Option_FileEdit_Click(int index)
{
    if (index == 0) {
        if (Label_FileTimeStamp->text().isEmpty()) {
            EditModeActive = false;
            return;
        }
        const auto answer =
            MessageBox::show(this, QStringLiteral("現在、読み込まれているデータを破棄して新規で作成しますか？"),
                             QStringLiteral("新規作成"), MessageBox::Icon::Question,
                             QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Ok) {
            EditModeActive = true;
            selectFileEdit(1);
            return;
        }
        m_history.document().resetCircuits();
        {
            BusyCursor busy;
            ClearAllData(m_history.document());
        }
        m_history.clear();
        Label_FileTimeStamp->clear();
        m_fileName.clear();
        EditModeActive = false;
        return;
    }
    if (EditModeActive)
        return;
    // Reading replaces the store, so a schedule typed in 新規 mode needs the
    // same question as 読込 before it is thrown away.
    if (!askDiscardBeforeRead()) {
        selectFileEdit(0);
        return;
    }
    const QString path = ShowFileDialog(this, kOpenTitle, FileDialogOpen);
    if (path.isEmpty()) {
        showNoFileChosen();
        Label_FileTimeStamp->clear();
        selectFileEdit(0);
        return;
    }
    ReadProgramFile(path);
    EditModeActive = true;
}

void Form_Main::Button_Quit_Click()
{
    const auto answer =
        MessageBox::show(this, QStringLiteral("プログラム作成を終了しますか？"),
                         QStringLiteral("WZ/QXシリーズプログラム作成ソフトウェア"), MessageBox::Icon::Question,
                         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    if (answer == QMessageBox::Ok)
        close();
}

void Form_Main::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The buttons are worked from the keyboard too: the focused one shows
    // its focus frame from the start, not only after the first Tab. (Qt
    // clears the flag whenever a window is shown.)
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void Form_Main::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (!m_exiting)
        runExitSequence();
}

void Form_Main::runExitSequence()
{
    m_exiting = true;
    hide();
    m_history.clear();
    runGuarded(nullptr, [this] {
        BusyCursor busy;
        ClearAllData(m_history.document());
    });
    Form_End closing;
    closing.exec();
    MarkFormUnloaded(this);
    QCoreApplication::quit();
}
