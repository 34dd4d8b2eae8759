#include "ui/FileDialog.h"

#include "core/platform/Platform.h"
#include "ui/WindowUtil.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QMimeDatabase>
#include <QQueue>
#include <QTreeView>
#include <algorithm>

namespace {

bool g_scripted = false;
QQueue<QString> g_paths;
QStringList g_titles;
QString g_startFolder;
QString g_tableFolder;

const QStringList kFilters{
    QStringLiteral("datﾌｧｲﾙ (*.dat)"),
    QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ (*.txt)"),
    QStringLiteral("全てのﾌｧｲﾙ (*.*)"),
};
const QStringList kTableFilters{
    QStringLiteral("行事予定 (*.csv *.tsv *.txt *.xlsx)"),
    QStringLiteral("全てのﾌｧｲﾙ (*.*)"),
};

// Qt sizes the size, type and date columns for English samples; sizes and
// dates are shown in the system locale's words. The dialog grows to show
// every column.
void fitColumns(QFileDialog& dialog)
{
    auto* details = dialog.findChild<QTreeView*>();
    if (!details)
        return;
    QHeaderView* header = details->header();
    const QFontMetrics metrics(details->font());
    const QString sampleDate =
        QLocale::system().toString(QDateTime(QDate(2000, 12, 31), QTime(23, 59, 59)), QLocale::ShortFormat);
    // Program files are mostly taken for plain text.
    const QString textType = QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment();
    const QString sampleSize = QLocale::system().formattedDataSize(999999);
    constexpr int sizeColumn = 1;
    constexpr int typeColumn = 2;
    constexpr int dateColumn = 3;
    header->resizeSection(
        sizeColumn,
        std::max(header->sectionSize(sizeColumn), metrics.horizontalAdvance(sampleSize) + metrics.height()));
    header->resizeSection(
        typeColumn, std::max(header->sectionSize(typeColumn), metrics.horizontalAdvance(textType) + metrics.height()));
    header->resizeSection(dateColumn, metrics.horizontalAdvance(sampleDate) + metrics.height());
    int columns = 0;
    for (int section = 0; section < header->count(); ++section)
        columns += header->sectionSize(section);
    // Beside the columns: the places list, the margins and a scroll bar.
    const QSize wanted(columns + metrics.height() * 12, metrics.height() * 24);
    dialog.resize(dialog.sizeHint().expandedTo(wanted));
}

QString runDialog(QWidget* owner, const QString& title, int mode)
{
    QFileDialog dialog(owner, title);
    dialog.setAcceptMode(mode == FileDialogSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == FileDialogSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const bool table = mode == FileDialogOpenTable;
    const QStringList& filters = table ? kTableFilters : kFilters;
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    if (!table)
        dialog.setDefaultSuffix(QStringLiteral("dat"));
    dialog.setOption(QFileDialog::DontResolveSymlinks, true);
    // A desktop's own dialog (GTK) places itself wherever it likes; Qt's
    // dialog can be centred.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    const QString& folder = table ? g_tableFolder : g_startFolder;
    dialog.setDirectory(folder.isEmpty() ? Platform::firstFileDialogFolder() : folder);
    if (!table)
        dialog.selectFile(QStringLiteral("WZ48PROG.dat"));
    fitColumns(dialog);
    placeWindow(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

}  // namespace

QString ShowFileDialog(QWidget* owner, const QString& title, int mode)
{
    if (mode != FileDialogOpen && mode != FileDialogSave && mode != FileDialogOpenTable)
        return QString();
    QString path;
    if (g_scripted) {
        g_titles << title;
        path = g_paths.isEmpty() ? QString() : g_paths.dequeue();
    } else {
        path = runDialog(owner, title, mode);
    }
    // The chosen file is read or written next; the next dialog of its kind
    // starts beside it.
    if (!path.isEmpty())
        (mode == FileDialogOpenTable ? g_tableFolder : g_startFolder) = QFileInfo(path).absolutePath();
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
