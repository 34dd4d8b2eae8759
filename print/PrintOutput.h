#pragma once
#include "print/Reports.h"

#include <functional>

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

// --- Test seam ---------------------------------------------------------
using PreviewHandler = std::function<void(QWidget*, const Reports::Report&)>;
using PrintHandler = std::function<bool(const Reports::Report&)>;
void setHandlers(PreviewHandler preview, PrintHandler print);
// Back to the real preview and printer.
void resetHandlers();

}  // namespace PrintOutput
