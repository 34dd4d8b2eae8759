#pragma once
#include "print/Reports.h"

#include <QByteArray>
#include <QPageLayout>
#include <functional>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

// Where a listing goes: Qt's print preview (from which the user can print
// or save a PDF) or the default printer without a dialog. Tests replace
// both so that no real dialog or printer is ever used.
namespace PrintOutput {

// Shows the preview modally, large enough to read a page.
void showPreview(QWidget* parent, const Reports::Report& report);
// Prints every page on the default printer; false when the system has no
// printer.
bool printDirect(const Reports::Report& report);

// Draws the listing on the printer. A PDF file chosen in the print dialog
// is written as the pdf command writes one, so that its text reads back as
// drawn.
void paint(QPrinter& target, const Reports::Report& report, const QDateTime& printedAt = QDateTime::currentDateTime());

// A one-page listing that draws itself (the year calendar): its page, its
// drawing and the same page as PDF bytes, for the print dialog's file.
struct Sheet {
    QPageLayout layout;
    std::function<bool(QPagedPaintDevice&)> draw;
    std::function<QByteArray()> pdf;
};
void showPreview(QWidget* parent, const Sheet& sheet);
bool printDirect(const Sheet& sheet);

// --- Test seam ---------------------------------------------------------
using PreviewHandler = std::function<void(QWidget*, const Reports::Report&)>;
using PrintHandler = std::function<bool(const Reports::Report&)>;
void setHandlers(PreviewHandler preview, PrintHandler print);
using SheetPreviewHandler = std::function<void(QWidget*, const Sheet&)>;
using SheetPrintHandler = std::function<bool(const Sheet&)>;
void setSheetHandlers(SheetPreviewHandler preview, SheetPrintHandler print);
// Back to the real preview and printer.
void resetHandlers();

}  // namespace PrintOutput
