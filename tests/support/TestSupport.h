#pragma once
#include "ui/MessageBox.h"
#include "ui/ModalDialogs.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <QVariantList>
#include <memory>

class ScheduleDocument;
class UndoHistory;

// The document (and its history) the running test works on: the one its
// ScratchStore opened, or one a test opened itself.
namespace Scratch {

QString open(const QString& location);
void close();
bool isOpen();
ScheduleDocument& document();
UndoHistory& history();
QSqlDatabase database();
QString location();
QSqlQuery exec(const QString& sql, const QVariantList& values = {});
QVariant scalar(const QString& sql, const QVariantList& values = {}, const QVariant& fallback = {});

}  // namespace Scratch

namespace TestSupport {

// Opens a fresh store for the life of the object, with a temporary folder for files, and scripts message
// boxes and file dialogs (a dialog runner set meanwhile goes at the end). The store is in memory unless a
// test needs to look at it from a second connection (committedSnapshot); tests of the store file itself
// open one of their own.
class ScratchStore
{
public:
    enum Where { InMemory, OnDisk };
    explicit ScratchStore(Where where = InMemory);
    ~ScratchStore();
    QString path() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Scripted boxes and dialogs, history cleared.
void scriptDialogs();

void addWeekRow(int circuit, int special, int yobiOn, int yobiOff, int onH, int onM, int onS, int offH = 0,
                int offM = 0, int repeat = 0, int chime = 0);
void addYearRow(int circuit, int year, int month, int day, int special);
void addEveryYearRow(int circuit, int month, int day, int special);
// Each row by its size: 4 numbers an every-year entry, 5 a dated one, 7 to 11 a week row (the rest 0).
void addRows(const QList<QList<int>>& rows);
void setCircuit(int circuit, int program, int pulse, int chime = 1);
int count(const QString& sql, const QVariantList& values = {});
// Circuits 1 to 4 as 報時 5 s, チャイム 10 s, タイマ 0 s and 繰返し 3 s.
void setOneCircuitOfEachType();
// Adds week rows of circuit 8 until T_Week holds `rows` rows.
void fillWeekTo(int rows);

// The window's child of that objectName; ends the test run when missing.
template <typename T = QWidget>
T* child(QWidget* window, const QString& name)
{
    T* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

void click(QWidget* window, const char* button);
// Shows the window active, so that focus moves run their checks.
void activate(QWidget* window);

// The messages shown since the last scriptDialogs(), as "title|text".
QStringList shownMessages();

// T_Setting, T_Week, T_Year and T_YearE, every column, as text.
QString storeSnapshot();
// The same through a second connection to the store file: only what is
// committed, as the next start after a killed editor finds it.
QString committedSnapshot();

// Whole-file helpers; both fail the test run when the file cannot be used.
QString writeBytes(const QString& path, const QByteArray& content);
QByteArray readBytes(const QString& path);

// Program file lines, each ended with CR LF, then the trailer "*XX" with the XOR of all their bytes.
QByteArray withTrailer(const QList<QByteArray>& lines);

// What a finished process gave; status -1 when it did not end by itself within four minutes.
struct ProcessRun
{
    int status = -1;
    QStringList out;  // standard output by lines, blank lines left out
    QString err;
    qint64 ms = 0;
};

QString editorBinary();
// Runs the editor's binary with runProcess and that `home`, its output redirected as `redirect` says (">&-").
ProcessRun runEditor(const QStringList& args, const QString& home, const QString& redirect = QString());

// Runs `program` in `workingDir`. With a `home`, as the command line is used on a
// server: no display nor platform (Qt's default, xcb: a GUI application aborts),
// HOME and XDG_DATA_HOME under `home`, where a touched store would show.
ProcessRun runProcess(const QString& program, const QStringList& args, const QString& home = QString(),
                      const QString& workingDir = QString());

}  // namespace TestSupport
