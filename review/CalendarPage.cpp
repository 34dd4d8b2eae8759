#include "review/CalendarPage.h"

#include "print/PdfDocument.h"
#include "print/PrintTables.h"
#include "print/Reports.h"
#include "review/SchoolYear.h"
#include "week/Days.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <functional>

namespace Review {

namespace {

constexpr qreal kMarginMm = 8;
constexpr qreal kPointMm = 25.4 / 72;
constexpr int kMonthColumns = 4;
constexpr int kMonthRows = 3;
constexpr int kWeekRows = 6;
constexpr int kDays = 7;

const QColor kHoliday(0xc0, 0x00, 0x00);
const QColor kSaturday(0x1a, 0x4f, 0xa0);
const QColor kGridLine(0x9a, 0x9a, 0x9a);
const QColor kBand(0x40, 0x40, 0x40);

QString calendarTitle()
{
    return QStringLiteral("年間カレンダー");
}

// The ground of a kind and the pattern over it, so that the kinds stay
// apart in black-and-white print as well.
struct Ground {
    QColor fill;
    Qt::BrushStyle pattern;
    QColor ink;
};

Ground groundOf(DayKind kind)
{
    switch (kind) {
    case DayKind::Stop:
        return {QColor(0xe4, 0xe4, 0xe4), Qt::BDiagPattern, QColor(0xa8, 0xa8, 0xa8)};
    case DayKind::Special:
        return {QColor(0xd8, 0xe8, 0xff), Qt::Dense6Pattern, QColor(0x8c, 0xa8, 0xd8)};
    case DayKind::Conflict:
        return {QColor(0xff, 0xdc, 0xb0), Qt::DiagCrossPattern, QColor(0xd0, 0x90, 0x50)};
    case DayKind::Week:
        break;
    }
    return {Qt::white, Qt::NoBrush, Qt::white};
}

// A kind's letter where the label is long ("特3 短縮" shows 特 in the legend).
QString letterOf(DayKind kind)
{
    switch (kind) {
    case DayKind::Stop:
        return QStringLiteral("停止");
    case DayKind::Special:
        return QStringLiteral("特");
    case DayKind::Conflict:
        return QStringLiteral("競合");
    case DayKind::Week:
        break;
    }
    return QString();
}

class Sheet
{
public:
    Sheet(QPainter& painter, qreal mm)
        : m_painter(painter)
        , m_mm(mm)
    {
    }

    qreal mm(qreal millimetres) const { return millimetres * m_mm; }

    // A font whose em is `height` device pixels tall.
    QFont font(qreal height, bool bold = false) const
    {
        QFont f;
        f.setFamilies(Reports::FontFamilies());
        f.setPointSizeF(height / m_mm / kPointMm);
        f.setBold(bold);
        f.setStyleStrategy(QFont::PreferOutline);
        return f;
    }

    // Text in the box; shrunk down to `smallest` of its size when it does
    // not fit, cut after that.
    void text(const QRectF& box, const QString& text, const QFont& f, int alignment, const QColor& color = Qt::black,
              qreal smallest = 0.7)
    {
        if (text.isEmpty())
            return;
        QFont drawn = f;
        const qreal width = QFontMetricsF(f, m_painter.device()).horizontalAdvance(text);
        QString shown = text;
        if (width > box.width()) {
            const qreal scale = std::max(smallest, box.width() / width);
            drawn.setPointSizeF(f.pointSizeF() * scale);
            shown = QFontMetricsF(drawn, m_painter.device()).elidedText(text, Qt::ElideRight, box.width());
        }
        m_painter.setFont(drawn);
        m_painter.setPen(color);
        m_painter.drawText(box, alignment, shown);
    }

    bool fits(const QString& text, const QFont& f, qreal width) const
    {
        return QFontMetricsF(f, m_painter.device()).horizontalAdvance(text) <= width;
    }

    void ground(const QRectF& box, DayKind kind)
    {
        const Ground g = groundOf(kind);
        m_painter.fillRect(box, g.fill);
        if (g.pattern != Qt::NoBrush) {
            QBrush brush(g.ink, g.pattern);
            // Patterns are drawn in device pixels; scaled to about a millimetre.
            brush.setTransform(QTransform::fromScale(m_mm / 4, m_mm / 4));
            m_painter.fillRect(box, brush);
        }
    }

    QPainter& painter() { return m_painter; }

private:
    QPainter& m_painter;
    qreal m_mm;
};

struct MonthBox {
    QRectF title;
    QRectF weekdays;
    QRectF grid;  // six week rows
};

void drawMonthFrame(Sheet& s, const MonthBox& box, const QDate& first)
{
    QRectF title = box.title;
    s.text(title, QStringLiteral("%1月").arg(first.month()), s.font(title.height() * 0.62, true),
           Qt::AlignLeft | Qt::AlignVCenter);
    s.text(title, QStringLiteral("%1年").arg(first.year()), s.font(title.height() * 0.45),
           Qt::AlignRight | Qt::AlignVCenter);
    const qreal cellWidth = box.weekdays.width() / kDays;
    for (int column = 0; column < kDays; ++column) {
        const QRectF cell(box.weekdays.left() + column * cellWidth, box.weekdays.top(), cellWidth,
                          box.weekdays.height());
        const QColor color = column == 0 ? kHoliday : column == 6 ? kSaturday : Qt::black;
        s.text(cell, Days::name(column), s.font(cell.height() * 0.7), Qt::AlignCenter, color);
    }
}

QRectF cellRect(const MonthBox& box, const CalendarDay& day)
{
    const qreal w = box.grid.width() / kDays;
    const qreal h = box.grid.height() / kWeekRows;
    return QRectF(box.grid.left() + day.column * w, box.grid.top() + day.row * h, w, h);
}

// Day number and kind label on the first line, the holiday under it, the
// 日課 name under that, the break band along the foot.
void drawDay(Sheet& s, const MonthBox& box, const CalendarDay& day)
{
    const QRectF cell = cellRect(box, day);
    s.ground(cell, day.kind);
    const qreal pad = cell.width() * 0.06;
    const qreal line = (cell.height() - s.mm(0.6)) / 3.1;
    const QRectF first(cell.left() + pad, cell.top(), cell.width() - 2 * pad, line * 1.1);
    const QRectF second(first.left(), first.bottom(), first.width(), line);
    const QRectF third(first.left(), second.bottom(), first.width(), line);

    const bool red = !day.holiday.isEmpty() || day.column == 0;
    const QColor numberColor = red ? kHoliday : day.column == 6 ? kSaturday : Qt::black;
    s.text(first, QString::number(day.date.day()), s.font(line * 1.05, true), Qt::AlignLeft | Qt::AlignVCenter,
           numberColor);
    s.text(QRectF(first.left() + first.width() * 0.38, first.top(), first.width() * 0.62, first.height()), day.label,
           s.font(line * 0.9, true), Qt::AlignRight | Qt::AlignVCenter);
    if (!day.holiday.isEmpty()) {
        const QFont f = s.font(line * 0.9);
        const QString name = s.fits(day.holiday, f, second.width()) ? day.holiday : shortHolidayName(day.holiday);
        s.text(second, name, f, Qt::AlignLeft | Qt::AlignVCenter, kHoliday);
    }
    s.text(day.holiday.isEmpty() ? second : third, day.name, s.font(line * 0.9), Qt::AlignLeft | Qt::AlignVCenter);
}

// A break drawn as one band through its days, a piece per week row.
void drawBands(Sheet& s, const MonthBox& box, const QList<CalendarDay>& days)
{
    QPainter& p = s.painter();
    p.setPen(Qt::NoPen);
    p.setBrush(kBand);
    for (int i = 0; i < days.size(); ++i) {
        if (days[i].band < 0 || (i > 0 && days[i - 1].band == days[i].band && days[i - 1].row == days[i].row))
            continue;
        int last = i;
        while (last + 1 < days.size() && days[last + 1].band == days[i].band && days[last + 1].row == days[i].row)
            ++last;
        const QRectF from = cellRect(box, days[i]);
        const QRectF to = cellRect(box, days[last]);
        const qreal height = s.mm(0.9);
        const QRectF band(from.left() + s.mm(0.4), from.bottom() - height - s.mm(0.3),
                          to.right() - from.left() - s.mm(0.8), height);
        p.drawRoundedRect(band, height / 2, height / 2);
    }
    p.setBrush(Qt::NoBrush);
}

void drawGridLines(Sheet& s, const MonthBox& box, int rows)
{
    QPainter& p = s.painter();
    p.setPen(QPen(kGridLine, s.mm(0.12)));
    const qreal w = box.grid.width() / kDays;
    const qreal h = box.grid.height() / kWeekRows;
    for (int row = 0; row <= rows; ++row)
        p.drawLine(QPointF(box.grid.left(), box.grid.top() + row * h),
                   QPointF(box.grid.right(), box.grid.top() + row * h));
    for (int column = 0; column <= kDays; ++column)
        p.drawLine(QPointF(box.grid.left() + column * w, box.grid.top()),
                   QPointF(box.grid.left() + column * w, box.grid.top() + rows * h));
    p.setPen(QPen(Qt::black, s.mm(0.25)));
    p.drawLine(box.weekdays.bottomLeft(), box.weekdays.bottomRight());
}

// One sample of each kind with its name, the holiday colour, the band and
// the 日課 names of the special numbers shown.
void drawLegend(Sheet& s, const QRectF& area, const YearModel& model)
{
    const qreal h = area.height();
    const QFont f = s.font(h * 0.5);
    const qreal sampleWidth = h * 1.6;
    qreal x = area.left();
    auto item = [&](const QString& text, const std::function<void(const QRectF&)>& sample) {
        const QRectF box(x, area.top() + h * 0.1, sampleWidth, h * 0.8);
        sample(box);
        s.painter().setPen(QPen(kGridLine, s.mm(0.12)));
        s.painter().drawRect(box);
        const qreal width = QFontMetricsF(f, s.painter().device()).horizontalAdvance(text);
        s.text(QRectF(box.right() + h * 0.25, area.top(), width + 1, h), text, f, Qt::AlignLeft | Qt::AlignVCenter);
        x = box.right() + h * 0.25 + width + h * 0.9;
    };
    for (const DayKind kind : {DayKind::Week, DayKind::Stop, DayKind::Special, DayKind::Conflict}) {
        QString text = kindName(kind);
        if (kind == DayKind::Special)
            text = QStringLiteral("特殊番号（特3 = 特殊番号 3）");
        else if (kind == DayKind::Conflict)
            text = QStringLiteral("競合（日付指定と毎年が重なる日）");
        item(text, [&](const QRectF& box) {
            s.ground(box, kind);
            s.text(box, letterOf(kind), s.font(box.height() * 0.6, true), Qt::AlignCenter);
        });
    }
    item(QStringLiteral("祝日"), [&](const QRectF& box) {
        s.text(box, QStringLiteral("3"), s.font(box.height() * 0.7, true), Qt::AlignCenter, kHoliday);
    });
    item(QStringLiteral("休み（連続した停止）"), [&](const QRectF& box) {
        s.ground(box, DayKind::Stop);
        s.painter().setPen(Qt::NoPen);
        s.painter().setBrush(kBand);
        const qreal band = s.mm(0.9);
        s.painter().drawRoundedRect(
            QRectF(box.left() + s.mm(0.4), box.bottom() - band - s.mm(0.3), box.width() - s.mm(0.8), band), band / 2,
            band / 2);
        s.painter().setBrush(Qt::NoBrush);
    });
    QStringList named;
    for (auto it = model.specials.cbegin(); it != model.specials.cend(); ++it)
        named << QStringLiteral("特%1 %2").arg(it.key()).arg(it.value().isEmpty() ? QStringLiteral("（名前なし）")
                                                                                  : it.value());
    if (!named.isEmpty())
        s.text(QRectF(x, area.top(), area.right() - x, h), QStringLiteral("日課: ") + named.join(QStringLiteral("　")),
               f, Qt::AlignLeft | Qt::AlignVCenter);
}

}  // namespace

QPageLayout CalendarPageLayout(Paper paper)
{
    return QPageLayout(QPageSize(paper == Paper::A3 ? QPageSize::A3 : QPageSize::A4), QPageLayout::Landscape,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

QStringList CalendarHeading(const YearModel& model)
{
    return {schoolYearTitle(model.schoolYear) + QStringLiteral(" ") + calendarTitle(),
            PrintTexts::circuitText(model.circuit), PrintTexts::programTitle(model.type)};
}

bool DrawCalendar(QPagedPaintDevice& device, const YearModel& model, const CalendarSheet& sheet)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    Sheet s(painter, device.logicalDpiY() / 25.4);
    const qreal width = device.width();
    const qreal height = device.height();
    // Everything in proportion to the page: A3 is A4 enlarged.
    const qreal unit = width / s.mm(281);

    const QStringList heading = CalendarHeading(model);
    const qreal headingHeight = s.mm(10 * unit);
    s.text(QRectF(0, 0, width * 0.6, headingHeight), heading[0], s.font(s.mm(5.2 * unit), true),
           Qt::AlignLeft | Qt::AlignVCenter);
    s.text(QRectF(width * 0.6, 0, width * 0.4, headingHeight), heading[1] + QStringLiteral("　　") + heading[2],
           s.font(s.mm(4 * unit), true), Qt::AlignRight | Qt::AlignVCenter);
    painter.setPen(QPen(Qt::black, s.mm(0.35)));
    painter.drawLine(QPointF(0, headingHeight), QPointF(width, headingHeight));

    const qreal footHeight = s.mm(5 * unit);
    const qreal footTop = height - footHeight;
    const qreal legendHeight = s.mm(5 * unit);
    const qreal legendTop = footTop - legendHeight - s.mm(1.5 * unit);
    drawLegend(s, QRectF(0, legendTop, width, legendHeight), model);

    const qreal gap = s.mm(4 * unit);
    const qreal top = headingHeight + s.mm(2.5 * unit);
    const qreal monthWidth = (width - (kMonthColumns - 1) * gap) / kMonthColumns;
    const qreal monthHeight = (legendTop - s.mm(1.5 * unit) - top - (kMonthRows - 1) * gap * 0.6) / kMonthRows;
    for (int month = 0; month < 12; ++month) {
        const qreal left = (month % kMonthColumns) * (monthWidth + gap);
        const qreal monthTop = top + (month / kMonthColumns) * (monthHeight + gap * 0.6);
        const qreal titleHeight = monthHeight * 0.11;
        const qreal weekdayHeight = monthHeight * 0.07;
        MonthBox box{QRectF(left, monthTop, monthWidth, titleHeight),
                     QRectF(left, monthTop + titleHeight, monthWidth, weekdayHeight),
                     QRectF(left, monthTop + titleHeight + weekdayHeight, monthWidth,
                            monthHeight - titleHeight - weekdayHeight)};
        QList<CalendarDay> days;
        for (const CalendarDay& day : model.days)
            if (day.month == month)
                days << day;
        if (days.isEmpty())
            continue;
        drawMonthFrame(s, box, days.first().date);
        for (const CalendarDay& day : days)
            drawDay(s, box, day);
        drawBands(s, box, days);
        drawGridLines(s, box, days.last().row + 1);
    }

    painter.setPen(QPen(Qt::black, s.mm(0.3)));
    painter.drawLine(QPointF(0, footTop), QPointF(width, footTop));
    const QRectF foot(0, footTop, width, footHeight);
    const QFont footFont = s.font(s.mm(3 * unit));
    s.text(foot, QStringLiteral("印刷日 : ") + sheet.printedAt.toString(QStringLiteral("yyyy/MM/dd  HH:mm")), footFont,
           Qt::AlignLeft | Qt::AlignVCenter);
    s.text(QRectF(width * 0.25, footTop, width * 0.5, footHeight), sheet.fileName, footFont, Qt::AlignCenter);
    s.text(foot, calendarTitle(), s.font(s.mm(3.4 * unit), true), Qt::AlignRight | Qt::AlignVCenter);
    painter.end();
    return true;
}

QByteArray CalendarPdf(const WhenRuns::Schedule& schedule, const CalendarSheet& sheet, QString* refusal)
{
    const QString why = CalendarRefusal(schedule, sheet.circuit, sheet.schoolYear);
    if (refusal)
        *refusal = why;
    if (!why.isEmpty())
        return {};
    const YearModel model = BuildYearModel(schedule, sheet.circuit, sheet.schoolYear, sheet.names);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(calendarTitle());
        writer.setCreator(QStringLiteral("wzqxprog"));
        writer.setResolution(600);
        writer.setPageLayout(CalendarPageLayout(sheet.paper));
        if (!DrawCalendar(writer, model, sheet))
            return {};
    }
    return Reports::TextAsDrawn(pdf.data());
}

}  // namespace Review
