#include "app/ui/FileDialog.h"

#include "app/ui/WindowUtil.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QQueue>

namespace {

bool g_scripted = false;
QQueue<QString> g_paths;
QStringList g_titles;
QString g_startFolder;

const QStringList kFilters{
    QStringLiteral("datﾌｧｲﾙ (*.dat)"),
    QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ (*.txt)"),
    QStringLiteral("全てのﾌｧｲﾙ (*.*)"),
};

QString runDialog(QWidget* owner, const QString& title, int mode)
{
    QFileDialog dialog(owner, title);
    dialog.setAcceptMode(mode == FileDialogSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == FileDialogSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(kFilters);
    dialog.selectNameFilter(kFilters.first());
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    dialog.setOption(QFileDialog::DontResolveSymlinks, true);
    // A desktop's own dialog (GTK) places itself wherever it likes; Qt's
    // dialog can be centred.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!g_startFolder.isEmpty())
        dialog.setDirectory(g_startFolder);
    dialog.selectFile(QStringLiteral("WZ48PROG.dat"));
    // Wide enough for the name, size, type and date columns.
    dialog.resize(dialog.fontMetrics().averageCharWidth() * 100, dialog.fontMetrics().height() * 28);
    placeWindow(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

}  // namespace

QString ShowFileDialog(QWidget* owner, const QString& title, int mode)
{
    if (mode != FileDialogOpen && mode != FileDialogSave)
        return QString();
    QString path;
    if (g_scripted) {
        g_titles << title;
        path = g_paths.isEmpty() ? QString() : g_paths.dequeue();
    } else {
        path = runDialog(owner, title, mode);
    }
    // The chosen file is read or written next; the next dialog starts beside it.
    if (!path.isEmpty())
        g_startFolder = QFileInfo(path).absolutePath();
    return path;
}

namespace FileDialog {

void setScripted(bool scripted)
{
    g_scripted = scripted;
    g_paths.clear();
}

void queuePath(const QString& path)
{
    g_paths.enqueue(path);
}

QStringList titlesShown()
{
    return g_titles;
}

void clearTitlesShown()
{
    g_titles.clear();
}

QString startFolder()
{
    return g_startFolder;
}

}  // namespace FileDialog
