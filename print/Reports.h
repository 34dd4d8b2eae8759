#pragma once
#include <QDateTime>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
struct PrintJob;

// The three printed listings (week grid, special programs, year), drawn
// with QPainter on any paged device: a QPrinter (preview, printer) or a
// QPdfWriter (the pdf command). They read the print tables, which must
// have been filled for the job first.
namespace Reports {

struct HeadingCell {
    QString text;
    int span = 1;
};

// One body line: table cells, or a group heading ("特殊番号: 3") drawn
// across the line.
struct BodyLine {
    QStringList cells;
    QString group;
};

// A run of lines under one set of column headings; the year listing has
// two (January-June, July-December), each starting on a new page.
struct Section {
    QList<QList<HeadingCell>> headings;
    QList<BodyLine> lines;
};

struct Report {
    QString title;       // foot title: "週間プログラム", …
    QStringList labels;  // Label_Program, Label_CircuitNO, Label_Pulse
    int columns = 0;
    QList<int> alignments;   // Qt::Alignment per column
    QList<int> dividers;     // columns that start with a vertical rule
    QList<int> widthGroups;  // per column: columns of one group share a width (-1: own width)
    QList<Section> sections;
    bool landscape = false;
    bool stretch = true;  // columns widened to the page width (else only narrowed to fit)
};

// The listing of the job's kind from the print tables.
Report BuildReport(const PrintJob& job);

// A4, the report's orientation, margins.
QPageLayout PageLayout(const Report& report);
void SetUpPage(QPagedPaintDevice& device, const Report& report);

// Draws every page; returns the page count.
int Render(QPagedPaintDevice& device, const Report& report, const QDateTime& printedAt = QDateTime::currentDateTime());

// The report's font families: a Latin font first, the Japanese font as
// fallback, so that digits keep their text in a PDF.
QStringList FontFamilies();

}  // namespace Reports
