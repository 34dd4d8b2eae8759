#include "print/Reports.h"

#include "core/platform/Platform.h"
#include "print/PrintTables.h"
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "week/Days.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMap>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace Reports {

namespace {

constexpr int kDays = 7;
constexpr int kMonthsPerPage = 6;
constexpr qreal kMarginMm = 10;
constexpr qreal kCellPadMm = 1.0;
constexpr qreal kLargestBodyPt = 10;
constexpr qreal kSmallestBodyPt = 6;

const char* const kDayPrefixes[kDays] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// --- Building the listings from the print tables ---------------------------

QStringList headingLabels(const PrintJob& job)
{
    return {job.programTitle, PrintTexts::circuitText(job.circuit), PrintTexts::pulseText(job.programTitle, job.pulse)};
}

// The cell captions of one day by program type; their count is the number
// of cells printed per day.
QStringList dayCellCaptions(int type)
{
    switch (type) {
    case TypeChime:
        return {QStringLiteral("時刻"), QStringLiteral("曲")};
    case TypeTimer:
        return {QStringLiteral("開始"), QStringLiteral("終了")};
    case TypeRepeat:
        return {QStringLiteral("開始"), QStringLiteral("終了"), QStringLiteral("間隔")};
    default:
        return {QStringLiteral("時刻"), QString()};
    }
}

Report weekReport(const PrintJob& job)
{
    const int type = job.document->circuit(job.circuit).Program;
    const QStringList captions = dayCellCaptions(type);
    const int cells = int(captions.size());

    Report report;
    report.title = QStringLiteral("週間プログラム");
    report.labels = headingLabels(job);
    report.columns = 1 + kDays * cells;
    report.landscape = type == TypeTimer || type == TypeRepeat;
    report.alignments << int(Qt::AlignRight | Qt::AlignVCenter);
    report.widthGroups << -1;
    for (int day = 0; day < kDays; ++day) {
        report.dividers << 1 + day * cells;
        for (int cell = 0; cell < cells; ++cell) {
            report.alignments << int(Qt::AlignLeft | Qt::AlignVCenter);
            report.widthGroups << cell;
        }
    }

    Section section;
    QList<HeadingCell> days{{QString(), 1}};
    QList<HeadingCell> subCaptions{{QStringLiteral("No."), 1}};
    for (int day = 0; day < kDays; ++day) {
        days << HeadingCell{Days::fullName(day), cells};
        for (const QString& caption : captions)
            subCaptions << HeadingCell{caption, 1};
    }
    section.headings << days << subCaptions;

    QSqlQuery query = job.document->exec(QStringLiteral("SELECT * FROM T_WeekP ORDER BY SortID"));
    while (query.next()) {
        BodyLine line;
        line.cells << query.value(QStringLiteral("SortID")).toString();
        for (const char* day : kDayPrefixes)
            for (int cell = 1; cell <= cells; ++cell)
                line.cells << query.value(QLatin1String(day) + QString::number(cell)).toString();
        section.lines << line;
    }
    report.sections << section;
    return report;
}

Report specialReport(const PrintJob& job)
{
    Report report;
    report.title = QStringLiteral("特殊プログラム");
    report.labels = headingLabels(job);
    report.columns = 2;
    report.stretch = false;
    report.alignments << int(Qt::AlignLeft | Qt::AlignVCenter) << int(Qt::AlignLeft | Qt::AlignVCenter);

    Section section;
    QSqlQuery query =
        job.document->exec(QStringLiteral("SELECT Sun1, Sun2 FROM T_WeekP ORDER BY CAST(Sun1 AS INTEGER), SortID"));
    QString group;
    while (query.next()) {
        const QString special = query.value(0).toString();
        if (special != group) {
            group = special;
            section.lines << BodyLine{{}, QStringLiteral("特殊番号:  ") + special};
        }
        section.lines << BodyLine{{QString(), query.value(1).toString()}, QString()};
    }
    report.sections << section;
    return report;
}

Report yearReport(const PrintJob& job)
{
    Report report;
    report.title = QStringLiteral("年間プログラム");
    report.labels = QStringList{job.yearTitle, PrintTexts::circuitText(job.circuit)};
    // The headings give the page index (1 or 2) before the six months.
    report.columns = 1 + kMonthsPerPage;
    report.alignments << int(Qt::AlignRight | Qt::AlignVCenter);
    report.widthGroups << -1;
    for (int month = 0; month < kMonthsPerPage; ++month) {
        report.alignments << int(Qt::AlignLeft | Qt::AlignVCenter);
        report.widthGroups << 0;
        report.dividers << 1 + month;
    }
    for (int page = 1; page <= 2; ++page) {
        Section section;
        QList<HeadingCell> months{{QString::number(page), 1}};
        QSqlQuery heading = job.document->exec(QStringLiteral("SELECT * FROM T_YearH WHERE PrintIndex = ?"), {page});
        const bool found = heading.next();
        for (int month = 1; month <= kMonthsPerPage; ++month)
            months << HeadingCell{found ? heading.value(QStringLiteral("Month%1").arg(month)).toString() : QString(),
                                  1};
        section.headings << months;
        QSqlQuery lines = job.document->exec(
            QStringLiteral("SELECT Mon1, Mon2, Mon3, Mon4, Mon5, Mon6 FROM T_YearP WHERE PrintIndex = ? "
                           "ORDER BY PrintNO"),
            {page});
        while (lines.next()) {
            BodyLine line{{QString()}, QString()};
            for (int month = 0; month < kMonthsPerPage; ++month)
                line.cells << lines.value(month).toString();
            section.lines << line;
        }
        report.sections << section;
    }
    return report;
}

// --- Page geometry ------------------------------------------------------------

QFont reportFont(qreal points, bool bold = false)
{
    QFont font;
    font.setFamilies(FontFamilies());
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

// Pixel measures of one page of the device.
struct Geometry {
    qreal mm = 1;  // device pixels per millimetre
    qreal width = 0;
    qreal height = 0;
    QFont body;
    QList<qreal> columnX;  // left edge of each column, and the right edge last
    qreal rowHeight = 0;
    qreal headingTop = 0;  // below the labels
    qreal bodyTop = 0;
    qreal footTop = 0;
    int rowsPerPage = 1;
};

// The widest text of each column at the given font, padding included.
QList<qreal> naturalWidths(const Report& report, const QFont& font, QPaintDevice* device, qreal pad)
{
    const QFontMetricsF metrics(font, device);
    QList<qreal> widths(report.columns, 2 * pad + metrics.horizontalAdvance(QStringLiteral("00")));
    auto widen = [&](int column, const QString& text) {
        if (column < report.columns && !text.isEmpty())
            widths[column] = std::max(widths[column], 2 * pad + metrics.horizontalAdvance(text));
    };
    for (const Section& section : report.sections) {
        for (const QList<HeadingCell>& row : section.headings) {
            int column = 0;
            for (const HeadingCell& cell : row) {
                if (cell.span == 1)
                    widen(column, cell.text);
                column += cell.span;
            }
        }
        for (const BodyLine& line : section.lines)
            for (int column = 0; column < line.cells.size(); ++column)
                widen(column, line.cells[column]);
    }
    QMap<int, qreal> groupWidths;
    for (int column = 0; column < report.columns; ++column)
        if (const int group = report.widthGroups.value(column, -1); group >= 0)
            groupWidths[group] = std::max(groupWidths.value(group), widths[column]);
    for (int column = 0; column < report.columns; ++column)
        if (const int group = report.widthGroups.value(column, -1); group >= 0)
            widths[column] = groupWidths[group];
    return widths;
}

// The body type size that fits every column across the page, and the
// column edges, widths shared out in proportion to their contents.
void fitColumns(const Report& report, QPaintDevice* device, Geometry& g)
{
    const qreal pad = kCellPadMm * g.mm;
    qreal points = kLargestBodyPt;
    QList<qreal> widths = naturalWidths(report, reportFont(points), device, pad);
    qreal total = std::accumulate(widths.begin(), widths.end(), qreal(0));
    // Text does not shrink exactly with its size (padding, hinting): from
    // the proportional guess, step down in half points until it fits.
    if (total > g.width)
        points = std::floor(points * g.width / total * 2) / 2 + 0.5;
    while (total > g.width && points > kSmallestBodyPt) {
        points = std::max(kSmallestBodyPt, points - 0.5);
        widths = naturalWidths(report, reportFont(points), device, pad);
        total = std::accumulate(widths.begin(), widths.end(), qreal(0));
    }
    g.body = reportFont(points);
    const qreal scale = report.stretch || total > g.width ? g.width / total : 1;
    g.columnX = {0};
    for (qreal width : widths)
        g.columnX << g.columnX.last() + width * scale;
}

Geometry measure(QPagedPaintDevice& device, const Report& report)
{
    Geometry g;
    g.mm = device.logicalDpiY() / 25.4;
    g.width = device.width();
    g.height = device.height();
    fitColumns(report, &device, g);
    g.rowHeight = QFontMetricsF(g.body, &device).height() * 1.45;
    const qreal labelHeight = QFontMetricsF(reportFont(14, true), &device).height() * 1.8;
    g.headingTop = labelHeight;
    int headingRows = 0;
    for (const Section& section : report.sections)
        headingRows = std::max(headingRows, int(section.headings.size()));
    g.bodyTop = g.headingTop + headingRows * g.rowHeight + 0.8 * g.mm;
    const qreal footHeight = QFontMetricsF(reportFont(9), &device).height() * 1.6;
    g.footTop = g.height - footHeight;
    g.rowsPerPage = std::max(2, int((g.footTop - 2 * g.mm - g.bodyTop) / g.rowHeight));
    return g;
}

// --- Pages ------------------------------------------------------------------------

struct Page {
    int section = 0;
    QList<BodyLine> lines;
};

// Splits each section into pages; a section without lines still gets its
// page. A group heading never ends a page; a group that continues on the
// next page gets its heading again.
QList<Page> paginate(const Report& report, int rowsPerPage)
{
    QList<Page> pages;
    for (int s = 0; s < report.sections.size(); ++s) {
        const QList<BodyLine>& lines = report.sections[s].lines;
        Page page{s, {}};
        BodyLine group;
        for (int i = 0; i < lines.size(); ++i) {
            const bool isGroup = !lines[i].group.isEmpty();
            const bool lastOnPage = page.lines.size() == rowsPerPage - 1;
            if (page.lines.size() == rowsPerPage || (isGroup && lastOnPage && i + 1 < lines.size())) {
                pages << page;
                page = Page{s, {}};
                if (!isGroup && !group.group.isEmpty())
                    page.lines << group;
            }
            if (isGroup)
                group = lines[i];
            page.lines << lines[i];
        }
        pages << page;
    }
    return pages;
}

// --- Drawing --------------------------------------------------------------------------

void drawRule(QPainter& painter, qreal x1, qreal x2, qreal y, qreal widthMm, const Geometry& g,
              const QColor& color = Qt::black)
{
    painter.setPen(QPen(color, widthMm * g.mm));
    painter.drawLine(QPointF(x1, y), QPointF(x2, y));
}

void drawLabels(QPainter& painter, const Report& report, const Geometry& g)
{
    const qreal positions[] = {0, 0.36, 0.58};
    const QFont fonts[] = {reportFont(14, true), reportFont(12, true), reportFont(11)};
    painter.setPen(Qt::black);
    for (int i = 0; i < report.labels.size() && i < 3; ++i) {
        painter.setFont(fonts[i]);
        const QRectF box(g.width * positions[i], 0, g.width * (1 - positions[i]), g.headingTop * 0.8);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, report.labels[i]);
    }
}

// Leading blanks of the space-padded hours and days ( 8:30,  5日) are drawn
// as figure spaces, so that the digits line up down a column; the text
// still reads back as blanks.
QString alignedDigits(const QString& text)
{
    QString drawn = text;
    for (int i = 0; i < drawn.size() && drawn[i] == QLatin1Char(' '); ++i)
        drawn[i] = QChar(0x2007);
    return drawn;
}

// Text on one baseline per line whatever font a glyph comes from (a line
// mixing Latin and Japanese glyphs would otherwise sit higher or lower).
void drawCell(QPainter& painter, const QFontMetricsF& metrics, const Geometry& g, int first, int span, qreal top,
              const QString& text, int alignment)
{
    if (text.isEmpty())
        return;
    const qreal pad = kCellPadMm * g.mm;
    const qreal left = g.columnX[first] + pad;
    const qreal right = g.columnX[first + span] - pad;
    const QString drawn = alignedDigits(text);
    const qreal width = metrics.horizontalAdvance(drawn);
    qreal x = left;
    if (alignment & Qt::AlignRight)
        x = right - width;
    else if (alignment & Qt::AlignHCenter)
        x = (left + right - width) / 2;
    const qreal baseline = top + (g.rowHeight + metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPointF(x, baseline), drawn);
}

// Column headings between Line1 (above), Line2 (between two heading rows)
// and Line3 (below).
void drawColumnHeadings(QPainter& painter, const Section& section, const Geometry& g)
{
    painter.setFont(g.body);
    const QFontMetricsF metrics(g.body, painter.device());
    qreal top = g.headingTop;
    drawRule(painter, 0, g.width, top, 0.4, g);
    for (int row = 0; row < section.headings.size(); ++row) {
        painter.setPen(Qt::black);
        int column = 0;
        for (const HeadingCell& cell : section.headings[row]) {
            drawCell(painter, metrics, g, column, cell.span, top, cell.text, Qt::AlignCenter);
            column += cell.span;
        }
        top += g.rowHeight;
        drawRule(painter, 0, g.width, top, row + 1 == section.headings.size() ? 0.4 : 0.15, g);
    }
}

void drawBody(QPainter& painter, const Report& report, const Page& page, const Geometry& g)
{
    QFont bold = g.body;
    bold.setBold(true);
    const QFontMetricsF metrics(g.body, painter.device());
    const QFontMetricsF boldMetrics(bold, painter.device());
    painter.setFont(g.body);
    qreal top = g.bodyTop;
    for (const BodyLine& line : page.lines) {
        painter.setPen(Qt::black);
        if (!line.group.isEmpty()) {
            painter.setFont(bold);
            drawCell(painter, boldMetrics, g, 0, report.columns, top, line.group, Qt::AlignLeft | Qt::AlignVCenter);
            painter.setFont(g.body);
            drawRule(painter, 0, g.width, top + g.rowHeight, 0.25, g);
        } else {
            for (int column = 0; column < line.cells.size() && column < report.columns; ++column)
                drawCell(painter, metrics, g, column, 1, top, line.cells[column], report.alignments.value(column));
            drawRule(painter, 0, g.width, top + g.rowHeight, 0.1, g, Qt::lightGray);
        }
        top += g.rowHeight;
    }
    // Vertical rules between days or months, through headings and body.
    const qreal bottom = std::max(top, g.bodyTop);
    painter.setPen(QPen(Qt::gray, 0.15 * g.mm));
    for (int column : report.dividers)
        painter.drawLine(QPointF(g.columnX[column], g.headingTop), QPointF(g.columnX[column], bottom));
}

// Line4, then "印刷日 : date time", "page / pages" and the title.
void drawFoot(QPainter& painter, const Report& report, const Geometry& g, int page, int pages,
              const QDateTime& printedAt)
{
    drawRule(painter, 0, g.width, g.footTop, 0.3, g);
    painter.setPen(Qt::black);
    painter.setFont(reportFont(9));
    const QRectF box(0, g.footTop, g.width, g.height - g.footTop);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("印刷日 : ") + printedAt.toString(QStringLiteral("yyyy/MM/dd"))
                         + QStringLiteral("  ") + printedAt.toString(QStringLiteral("HH:mm")));
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter,
                     QString::number(page) + QStringLiteral(" / ") + QString::number(pages));
    painter.setFont(reportFont(10, true));
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, report.title);
}

}  // namespace

QStringList FontFamilies()
{
    return Platform::listingFontFamilies();
}

Report BuildReport(const PrintJob& job)
{
    switch (job.kind) {
    case PrintJob::Special:
        return specialReport(job);
    case PrintJob::Year:
        return yearReport(job);
    default:
        return weekReport(job);
    }
}

QPageLayout PageLayout(const Report& report)
{
    return QPageLayout(QPageSize(QPageSize::A4), report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

void SetUpPage(QPagedPaintDevice& device, const Report& report)
{
    device.setPageLayout(PageLayout(report));
}

int Render(QPagedPaintDevice& device, const Report& report, const QDateTime& printedAt)
{
    const Geometry g = measure(device, report);
    const QList<Page> pages = paginate(report, g.rowsPerPage);
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        drawLabels(painter, report, g);
        drawColumnHeadings(painter, report.sections[pages[i].section], g);
        drawBody(painter, report, pages[i], g);
        drawFoot(painter, report, g, i + 1, int(pages.size()), printedAt);
    }
    painter.end();
    return int(pages.size());
}

}  // namespace Reports
