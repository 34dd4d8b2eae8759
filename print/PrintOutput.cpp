#include "print/PrintOutput.h"

#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QWidget>

namespace PrintOutput {

namespace {

void realPreview(QWidget* parent, const Reports::Report& report)
{
    QPrinter printer(QPrinter::HighResolution);
    Reports::SetUpPage(printer, report);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter* target) { Reports::Render(*target, report); });
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

PreviewHandler previewHandler = realPreview;
PrintHandler printHandler = realPrint;

}  // namespace

void showPreview(QWidget* parent, const Reports::Report& report)
{
    previewHandler(parent, report);
}

bool printDirect(const Reports::Report& report)
{
    return printHandler(report);
}

void setHandlers(PreviewHandler preview, PrintHandler print)
{
    previewHandler = std::move(preview);
    printHandler = std::move(print);
}

void resetHandlers()
{
    setHandlers(realPreview, realPrint);
}

}  // namespace PrintOutput
