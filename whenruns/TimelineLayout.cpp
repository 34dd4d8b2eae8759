#include "whenruns/TimelineLayout.h"

#include "whenruns/DayResolution.h"

#include <algorithm>
#include <cmath>

namespace WhenRuns {

namespace {

constexpr double kLabelStrip = 14.0;
constexpr double kGapStrip = 4.0;
constexpr double kLabelGap = 2.0;
constexpr double kMinSpanWidth = 2.0;

QString labelOf(int type, const ProgramLists::WeekRow& row)
{
    if (type == 2)
        return QString::number(row.chime);
    if (type == 4)
        return QStringLiteral("%1分").arg(row.repeat);
    return QString();
}

// A period as pieces of day bars, split at every midnight it crosses.
void addSpan(QList<TimelineMark>& marks, int index, const ProgramLists::WeekRow& row, const QString& label)
{
    const int start = startSecond(row);
    const int end = periodEndSecond(row);
    for (int k = 0; k == 0 || k * SecondsPerDay < end; ++k) {
        TimelineMark mark;
        mark.kind = TimelineMark::Kind::Span;
        mark.program = index;
        mark.day = (row.yobiOn + k) % 7;
        mark.fromSecond = std::max(start, k * SecondsPerDay) - k * SecondsPerDay;
        mark.toSecond = std::min(end, (k + 1) * SecondsPerDay) - k * SecondsPerDay;
        mark.fromPreviousDay = k > 0;
        mark.toNextDay = end > (k + 1) * SecondsPerDay;
        mark.label = label;
        marks << mark;
    }
}

// Overlapping spans of one bar go into lanes; beyond the last lane they
// share the lane that frees up first.
void placeSpans(TimelineLayout& layout, QList<TimelineMark*>& spans, int day, const TextWidth& textWidth)
{
    std::stable_sort(spans.begin(), spans.end(),
                     [](const TimelineMark* a, const TimelineMark* b) { return a->fromSecond < b->fromSecond; });
    QList<int> laneEnds;
    QList<int> lanes;
    for (const TimelineMark* span : spans) {
        int lane = -1;
        for (int i = 0; i < laneEnds.size() && lane < 0; ++i)
            if (laneEnds[i] <= span->fromSecond)
                lane = i;
        if (lane < 0 && laneEnds.size() < TimelineMaxLanes) {
            lane = int(laneEnds.size());
            laneEnds << 0;
        }
        if (lane < 0)
            lane = int(std::min_element(laneEnds.begin(), laneEnds.end()) - laneEnds.begin());
        laneEnds[lane] = std::max(laneEnds[lane], span->toSecond);
        lanes << lane;
    }
    const QRectF bar = layout.bar(day);
    const double laneHeight = bar.height() / std::max<qsizetype>(1, laneEnds.size());
    for (int i = 0; i < spans.size(); ++i) {
        TimelineMark& span = *spans[i];
        const double width = std::max(kMinSpanWidth, layout.xOf(span.toSecond) - layout.xOf(span.fromSecond));
        const double left = std::min(layout.xOf(span.fromSecond), bar.right() - width);
        span.rect = QRectF(left, bar.top() + lanes[i] * laneHeight, width, laneHeight - 1.0);
        const double labelWidth = span.label.isEmpty() ? 0.0 : textWidth(span.label) + 4.0;
        if (labelWidth > 0 && labelWidth <= span.rect.width() && laneHeight >= 10.0)
            span.labelRect = QRectF(span.rect.left() + 2.0, span.rect.top(), labelWidth - 4.0, span.rect.height());
    }
}

// Tune labels above the ticks, left to right, each only where it does not
// run into the one before.
void placeTicks(TimelineLayout& layout, QList<TimelineMark*>& ticks, int day, const TextWidth& textWidth)
{
    std::stable_sort(ticks.begin(), ticks.end(),
                     [](const TimelineMark* a, const TimelineMark* b) { return a->fromSecond < b->fromSecond; });
    const QRectF row = layout.row(day);
    const QRectF bar = layout.bar(day);
    double lastRight = -1e9;
    for (TimelineMark* tick : ticks) {
        const double x = layout.xOf(tick->fromSecond);
        tick->rect = QRectF(x - 0.5, bar.top(), 1.0, bar.height());
        if (tick->label.isEmpty())
            continue;
        const double width = textWidth(tick->label);
        const double left = std::clamp(x - width / 2.0, row.left(), row.right() - width);
        if (left < lastRight + kLabelGap)
            continue;
        tick->labelRect = QRectF(left, row.top(), width, bar.top() - row.top());
        lastRight = left + width;
    }
}

}  // namespace

QRectF TimelineLayout::row(int day) const
{
    const double height = plot.height() / 7.0;
    return QRectF(plot.left(), plot.top() + day * height, plot.width(), height);
}

QRectF TimelineLayout::bar(int day) const
{
    const QRectF r = row(day);
    const double strip = std::min(labelStrip, r.height() * 0.4);
    return QRectF(r.left(), r.top() + strip, r.width(), std::max(1.0, r.height() - strip - 3.0));
}

double TimelineLayout::xOf(int second) const
{
    return plot.left() + plot.width() * second / double(SecondsPerDay);
}

int TimelineLayout::markAt(const QPointF& point) const
{
    int nearest = -1;
    double nearestDistance = 3.0;
    for (int i = 0; i < marks.size(); ++i) {
        const TimelineMark& mark = marks[i];
        if (!row(mark.day).contains(point))
            continue;
        if (mark.kind == TimelineMark::Kind::Span) {
            if (mark.rect.adjusted(0, 0, 0, 1.0).contains(point))
                return i;
            continue;
        }
        const double distance = std::abs(mark.rect.center().x() - point.x());
        if (distance <= nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

TimelineLayout LayoutTimeline(const QList<ProgramLists::WeekRow>& rows, int type, const QRectF& plot,
                              const TextWidth& textWidth)
{
    TimelineLayout layout;
    layout.plot = plot;
    layout.labelStrip = type == 2 ? kLabelStrip : kGapStrip;
    for (int i = 0; i < rows.size(); ++i) {
        const ProgramLists::WeekRow& row = rows[i];
        if (row.yobiOn < 0 || row.yobiOn > 6)
            continue;
        if (hasPeriod(type)) {
            addSpan(layout.marks, i, row, labelOf(type, row));
            continue;
        }
        TimelineMark tick;
        tick.program = i;
        tick.day = row.yobiOn;
        tick.fromSecond = tick.toSecond = startSecond(row);
        tick.label = labelOf(type, row);
        layout.marks << tick;
    }
    for (int day = 0; day < 7; ++day) {
        QList<TimelineMark*> spans;
        QList<TimelineMark*> ticks;
        for (TimelineMark& mark : layout.marks)
            if (mark.day == day)
                (mark.kind == TimelineMark::Kind::Span ? spans : ticks) << &mark;
        placeSpans(layout, spans, day, textWidth);
        placeTicks(layout, ticks, day, textWidth);
    }
    return layout;
}

}  // namespace WhenRuns
