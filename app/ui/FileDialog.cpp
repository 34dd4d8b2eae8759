#include "app/ui/FileDialog.h"

#include "app/ui/WindowUtil.h"

#include <QFileDialog>
#include <QQueue>

namespace {

bool g_scripted = false;
QQueue<QString> g_paths;
QStringList g_titles;

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
    dialog.selectFile(QStringLiteral("WZ48PROG.dat"));
    centerOnScreen(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

}  // namespace

QString ShowFileDialog(QWidget* owner, const QString& title, int mode)
{
    if (mode != FileDialogOpen && mode != FileDialogSave)
        return QString();
    if (!g_scripted)
        return runDialog(owner, title, mode);
    g_titles << title;
    return g_paths.isEmpty() ? QString() : g_paths.dequeue();
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

}  // namespace FileDialog
