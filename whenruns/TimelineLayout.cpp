#include "whenruns/TimelineLayout.h"

#include "store/ProgramTypes.h"
#include "whenruns/DayResolution.h"

#include <algorithm>
#include <cmath>

namespace WhenRuns {

namespace {

constexpr double kLabelStrip = 14.0;
constexpr double kGapStrip = 4.0;
constexpr double kLabelGap = 2.0;
constexpr double kMinSpanWidth = 2.0;
constexpr double kTickWidth = 3.0;
constexpr double kTickReach = 3.0;  // how far from a tick the pointer still finds it

QString labelOf(int type, const WeekRow& row)
{
    if (type == TypeChime)
        return QString::number(row.ChimeNO);
    if (type == TypeRepeat)
        return QStringLiteral("%1分").arg(row.Repeat);
    return QString();
}

// A period as pieces of day bars, split at every midnight it crosses.
void addSpan(QList<TimelineMark>& marks, int index, const WeekRow& row, const QString& label)
{
    const int start = startSecond(row);
    const int end = periodEndSecond(row);
    for (int k = 0; k == 0 || k * SecondsPerDay < end; ++k) {
        TimelineMark mark;
        mark.kind = TimelineMark::Kind::Span;
        mark.program = index;
        mark.day = (row.YobiON + k) % 7;
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

// Ticks closer than their width would draw as one mark: within such a
// bunch they take turns in lanes, so that each stays a tick of its own.
void placeTickRects(const TimelineLayout& layout, const QList<TimelineMark*>& ticks, int day)
{
    const QRectF bar = layout.bar(day);
    for (int first = 0; first < ticks.size();) {
        int end = first + 1;
        while (end < ticks.size()
               && layout.xOf(ticks[end]->fromSecond) - layout.xOf(ticks[end - 1]->fromSecond) < kTickWidth)
            ++end;
        const int lanes = std::min(end - first, TimelineMaxLanes);
        const double laneHeight = bar.height() / lanes;
        for (int i = first; i < end; ++i) {
            const double left =
                std::clamp(layout.xOf(ticks[i]->fromSecond) - kTickWidth / 2.0, bar.left(), bar.right() - kTickWidth);
            ticks[i]->rect = QRectF(left, bar.top() + (i - first) % lanes * laneHeight, kTickWidth, laneHeight);
        }
        first = end;
    }
}

// Tune labels above the ticks. Where labels would run into each other,
// none of that run is labelled (a reader would take the ones left for the
// whole run); its first tick shows the run's count instead when that fits.
void placeTickLabels(const TimelineLayout& layout, const QList<TimelineMark*>& ticks, int day,
                     const TextWidth& textWidth)
{
    const QRectF row = layout.row(day);
    const double height = layout.bar(day).top() - row.top();
    const auto centredAt = [&row, height](double x, double width) {
        return QRectF(std::clamp(x - width / 2.0, row.left(), row.right() - width), row.top(), width, height);
    };
    QList<QRectF> wanted;
    for (const TimelineMark* tick : ticks)
        wanted << centredAt(tick->rect.center().x(), textWidth(tick->label));
    struct Run {
        int first;
        int end;
        double right;  // of the labels wanted
    };
    QList<Run> runs;
    for (int i = 0; i < ticks.size(); ++i) {
        if (!runs.isEmpty() && wanted[i].left() < runs.last().right + kLabelGap)
            runs.last() = Run{runs.last().first, i + 1, std::max(runs.last().right, wanted[i].right())};
        else
            runs << Run{i, i + 1, wanted[i].right()};
    }
    double placedRight = row.left() - kLabelGap;
    for (int k = 0; k < runs.size(); ++k) {
        const Run& run = runs[k];
        TimelineMark& head = *ticks[run.first];
        if (run.end - run.first == 1) {
            head.labelRect = wanted[run.first];
            placedRight = head.labelRect.right();
            continue;
        }
        head.label = QStringLiteral("%1件").arg(run.end - run.first);
        const double middle = (head.rect.center().x() + ticks[run.end - 1]->rect.center().x()) / 2.0;
        const QRectF count = centredAt(middle, textWidth(head.label));
        const double from = std::max(placedRight, k > 0 ? runs[k - 1].right : placedRight) + kLabelGap;
        const double to = k + 1 < runs.size() ? wanted[runs[k + 1].first].left() - kLabelGap : row.right();
        if (count.left() >= from && count.right() <= to) {
            head.labelRect = count;
            placedRight = count.right();
        }
    }
}

void placeTicks(const TimelineLayout& layout, QList<TimelineMark*>& ticks, int day, const TextWidth& textWidth)
{
    std::stable_sort(ticks.begin(), ticks.end(),
                     [](const TimelineMark* a, const TimelineMark* b) { return a->fromSecond < b->fromSecond; });
    placeTickRects(layout, ticks, day);
    if (!ticks.isEmpty() && !ticks.first()->label.isEmpty())
        placeTickLabels(layout, ticks, day, textWidth);
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

QList<int> TimelineLayout::marksAt(const QPointF& point) const
{
    QList<int> found;
    for (int i = 0; i < marks.size(); ++i) {
        const TimelineMark& mark = marks[i];
        if (!row(mark.day).contains(point))
            continue;
        const bool hit = mark.kind == TimelineMark::Kind::Span
            ? mark.rect.adjusted(0, 0, 0, 1.0).contains(point)
            : std::abs(mark.rect.center().x() - point.x()) <= kTickReach;
        if (hit)
            found << i;
    }
    return found;
}

TimelineLayout LayoutTimeline(const QList<WeekRow>& rows, int type, const QRectF& plot, const TextWidth& textWidth)
{
    TimelineLayout layout;
    layout.plot = plot;
    layout.labelStrip = type == TypeChime ? kLabelStrip : kGapStrip;
    for (int i = 0; i < rows.size(); ++i) {
        const WeekRow& row = rows[i];
        if (row.YobiON < 0 || row.YobiON > 6)
            continue;
        if (hasPeriod(type)) {
            addSpan(layout.marks, i, row, labelOf(type, row));
            continue;
        }
        TimelineMark tick;
        tick.program = i;
        tick.day = row.YobiON;
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
