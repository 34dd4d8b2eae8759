#include "whenruns/WeekTimeline.h"

#include "store/ProgramTypes.h"
#include "week/Days.h"
#include "whenruns/DayResolution.h"
#include "whenruns/ProgramText.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace {

constexpr int kDayColumn = 28;
constexpr int kScaleHeight = 18;
constexpr int kMargin = 8;
constexpr double kMinIntervalGap = 6.0;
constexpr int kMaxIntervalLines = 4000;

const QColor kBar(0xee, 0xf1, 0xf5);
const QColor kHourLine(0xd8, 0xdc, 0xe2);
const QColor kQuarterLine(0xa8, 0xb0, 0xba);
const QColor kTimer(0x3d, 0x7e, 0xc9);
const QColor kRepeat(0x3e, 0x9e, 0x5f);
const QColor kChime(0xd0, 0x5a, 0x2c);
const QColor kSignal(0x33, 0x33, 0x33);

// A small arrow at the end of a span that goes on over midnight.
void paintCarryMark(QPainter& painter, const QRectF& rect, bool atRight)
{
    const double size = std::min(5.0, rect.height() / 2.0);
    const double x = atRight ? rect.right() : rect.left();
    const double tip = atRight ? x - size : x + size;
    QPainterPath arrow;
    arrow.moveTo(atRight ? tip : x, rect.center().y() - size);
    arrow.lineTo(atRight ? x : tip, rect.center().y());
    arrow.lineTo(atRight ? tip : x, rect.center().y() + size);
    arrow.closeSubpath();
    painter.fillPath(arrow, Qt::white);
}

}  // namespace

WeekTimeline::WeekTimeline(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Timeline_Week"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(QStringLiteral("印にマウスを合わせるとプログラムを表示します。"));
}

void WeekTimeline::setPrograms(int type, const QList<WeekRow>& rows)
{
    m_type = type;
    m_rows = rows;
    relayout();
    update();
}

QSize WeekTimeline::sizeHint() const
{
    return QSize(640, kScaleHeight + 7 * 44 + kMargin);
}

QSize WeekTimeline::minimumSizeHint() const
{
    return QSize(360, kScaleHeight + 7 * 28 + kMargin);
}

QRectF WeekTimeline::plotRect() const
{
    return QRectF(kDayColumn, kScaleHeight, std::max(1, width() - kDayColumn - kMargin),
                  std::max(7, height() - kScaleHeight - kMargin));
}

void WeekTimeline::relayout()
{
    const QFontMetricsF metrics(font());
    m_layout = WhenRuns::LayoutTimeline(m_rows, m_type, plotRect(),
                                        [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
}

void WeekTimeline::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

QString WeekTimeline::programTextAt(const QPointF& point) const
{
    QStringList lines;
    for (int index : m_layout.marksAt(point)) {
        const WeekRow& row = m_rows.at(m_layout.marks.at(index).program);
        lines << Days::name(row.YobiON) + QLatin1Char(' ') + WhenRuns::programLine(m_type, row).trimmed();
    }
    return lines.join(QLatin1Char('\n'));
}

bool WeekTimeline::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = programTextAt(help->pos());
    if (text.isEmpty())
        QToolTip::showText(help->globalPos(), toolTip(), this);
    else
        QToolTip::showText(help->globalPos(), text, this);
    return true;
}

void WeekTimeline::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    paintScale(painter);
    paintSpans(painter);
    paintTicks(painter);
}

// Day names, bars, hour lines every hour (stronger every three) and the
// hours above.
void WeekTimeline::paintScale(QPainter& painter) const
{
    painter.setPen(palette().color(QPalette::Text));
    for (int day = 0; day < 7; ++day) {
        const QRectF bar = m_layout.bar(day);
        painter.fillRect(bar, kBar);
        painter.drawText(QRectF(0, bar.top(), kDayColumn - 4, bar.height()), Qt::AlignRight | Qt::AlignVCenter,
                         Days::name(day));
    }
    const QRectF plot = m_layout.plot;
    for (int hour = 0; hour <= 24; ++hour) {
        const double x = m_layout.xOf(hour * 3600);
        painter.setPen(hour % 3 == 0 ? kQuarterLine : kHourLine);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        if (hour % 3 == 0) {
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(QRectF(x - 20, 0, 40, kScaleHeight - 2), Qt::AlignHCenter | Qt::AlignBottom,
                             QString::number(hour));
        }
    }
}

void WeekTimeline::paintSpans(QPainter& painter) const
{
    const QColor fill = m_type == TypeRepeat ? kRepeat : kTimer;
    int intervalLines = 0;
    for (const WhenRuns::TimelineMark& mark : m_layout.marks) {
        if (mark.kind != WhenRuns::TimelineMark::Kind::Span)
            continue;
        painter.fillRect(mark.rect, fill);
        if (mark.fromPreviousDay)
            paintCarryMark(painter, mark.rect, false);
        if (mark.toNextDay)
            paintCarryMark(painter, mark.rect, true);
        const int interval = m_rows.at(mark.program).Repeat;
        const double gap = m_layout.plot.width() * interval * 60 / WhenRuns::SecondsPerDay;
        if (m_type == TypeRepeat && interval > 0 && gap >= kMinIntervalGap && intervalLines < kMaxIntervalLines) {
            painter.setPen(QColor(255, 255, 255, 140));
            for (double x = mark.rect.left() + gap; x < mark.rect.right() && intervalLines < kMaxIntervalLines;
                 x += gap, ++intervalLines)
                painter.drawLine(QPointF(x, mark.rect.bottom() - mark.rect.height() / 3),
                                 QPointF(x, mark.rect.bottom()));
        }
        if (!mark.labelRect.isEmpty()) {
            painter.setPen(Qt::white);
            painter.drawText(mark.labelRect, Qt::AlignLeft | Qt::AlignVCenter, mark.label);
        }
    }
}

// After the hour lines, so that a program on the hour is not hidden under one.
void WeekTimeline::paintTicks(QPainter& painter) const
{
    const QColor color = m_type == TypeChime ? kChime : kSignal;
    painter.setPen(color);
    for (const WhenRuns::TimelineMark& mark : m_layout.marks) {
        if (mark.kind != WhenRuns::TimelineMark::Kind::Tick)
            continue;
        painter.fillRect(mark.rect, color);
        if (!mark.labelRect.isEmpty())
            painter.drawText(mark.labelRect, Qt::AlignCenter, mark.label);
    }
}
