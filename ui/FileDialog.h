#pragma once
#include <QString>
#include <QStringList>

class QWidget;

// The open/save dialog for program files: filters for .dat, .txt and all
// files, initial name "WZ48PROG.dat", default suffix "dat", centred on the
// main window, starting in the folder of the last file chosen (read or
// written). FileDialogOpenTable opens a school's 行事予定 table instead:
// filters for its spreadsheet files and all files, no initial name, starting
// in the folder of the last table. Returns the chosen full path, or "" when
// cancelled.
enum FileDialogMode { FileDialogOpen = 0, FileDialogSave = 1, FileDialogOpenTable = 2 };
QString ShowFileDialog(QWidget* owner, const QString& title, int mode);

namespace FileDialog {
// --- Test seam: in scripted mode no dialog opens; each call takes the next
// queued path ("" = cancel), or "" when the queue is empty.
void setScripted(bool scripted);
void queuePath(const QString& path);
QStringList titlesShown();
void clearTitlesShown();
// Where the next dialog starts: the folder of the last chosen file, or ""
// (the current folder) before any.
QString startFolder();
}  // namespace FileDialog
