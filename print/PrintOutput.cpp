#include "print/PrintOutput.h"

#include "print/PdfDocument.h"
#include "progfile/ProgramFileWriter.h"
#include "ui/Guard.h"

#include <QGuiApplication>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QWidget>
#include <stdexcept>

namespace PrintOutput {

namespace {

// The print dialog's "print to file" (not the preview's own drawing).
bool writesPdfFile(QPrinter& target)
{
    return target.outputFormat() == QPrinter::PdfFormat && !target.outputFileName().isEmpty()
        && target.paintEngine()->type() == QPaintEngine::Pdf;
}

void writePdfFile(const QString& path, const QByteArray& pdf)
{
    if (pdf.isEmpty())
        throw std::runtime_error(QStringLiteral("%1: PDF を作成できません。").arg(path).toStdString());
    ProgramFileWriter::WriteOptions options;
    options.waitForOthers = false;  // a window must not freeze
    ProgramFileWriter::writeFileAtomically(path, pdf, options);
}

void realPreview(QWidget* parent, const Reports::Report& report)
{
    QPrinter printer(QPrinter::HighResolution);
    Reports::SetUpPage(printer, report);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter* target) { runGuarded(&dialog, [&] { paint(*target, report); }); });
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableSize() : QSize(1200, 900);
    dialog.resize(available.width() * 4 / 5, available.height() * 9 / 10);
    dialog.exec();
}

bool realPrint(const Reports::Report& report)
{
    QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull()) {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (printers.isEmpty())
            return false;
        target = printers.first();
    }
    QPrinter printer(target, QPrinter::HighResolution);
    Reports::SetUpPage(printer, report);
    printer.setPrintRange(QPrinter::AllPages);
    Reports::Render(printer, report);
    return true;
}

void showPreviewDialog(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paintOn)
{
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter* target) { runGuarded(&dialog, [&] { paintOn(*target); }); });
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableSize() : QSize(1200, 900);
    dialog.resize(available.width() * 4 / 5, available.height() * 9 / 10);
    dialog.exec();
}

// The system's default printer, else its first; null when it has none.
QPrinterInfo systemPrinter()
{
    QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull() && !QPrinterInfo::availablePrinters().isEmpty())
        target = QPrinterInfo::availablePrinters().first();
    return target;
}

void paintSheet(QPrinter& target, const Sheet& sheet)
{
    if (writesPdfFile(target))
        writePdfFile(target.outputFileName(), sheet.pdf());
    else if (!sheet.draw(target))
        throw std::runtime_error(QStringLiteral("印刷できません。").toStdString());
}

void realSheetPreview(QWidget* parent, const Sheet& sheet)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(sheet.layout);
    showPreviewDialog(parent, printer, [&](QPrinter& target) { paintSheet(target, sheet); });
}

bool realSheetPrint(const Sheet& sheet)
{
    const QPrinterInfo target = systemPrinter();
    if (target.isNull())
        return false;
    QPrinter printer(target, QPrinter::HighResolution);
    printer.setPageLayout(sheet.layout);
    printer.setPrintRange(QPrinter::AllPages);
    paintSheet(printer, sheet);
    return true;
}

PreviewHandler previewHandler = realPreview;
PrintHandler printHandler = realPrint;
SheetPreviewHandler sheetPreviewHandler = realSheetPreview;
SheetPrintHandler sheetPrintHandler = realSheetPrint;

}  // namespace

void paint(QPrinter& target, const Reports::Report& report, const QDateTime& printedAt)
{
    if (writesPdfFile(target))
        writePdfFile(target.outputFileName(), Reports::PdfDocument(report, target.pageLayout(), printedAt));
    else
        Reports::Render(target, report, printedAt);
}

void showPreview(QWidget* parent, const Reports::Report& report)
{
    previewHandler(parent, report);
}

bool printDirect(const Reports::Report& report)
{
    return printHandler(report);
}

void showPreview(QWidget* parent, const Sheet& sheet)
{
    sheetPreviewHandler(parent, sheet);
}

bool printDirect(const Sheet& sheet)
{
    return sheetPrintHandler(sheet);
}

void setSheetHandlers(SheetPreviewHandler preview, SheetPrintHandler print)
{
    sheetPreviewHandler = std::move(preview);
    sheetPrintHandler = std::move(print);
}

void setHandlers(PreviewHandler preview, PrintHandler print)
{
    previewHandler = std::move(preview);
    printHandler = std::move(print);
}

void resetHandlers()
{
    setHandlers(realPreview, realPrint);
    setSheetHandlers(realSheetPreview, realSheetPrint);
}

}  // namespace PrintOutput
