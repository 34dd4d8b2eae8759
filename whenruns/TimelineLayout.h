#pragma once
#include "store/WeekRow.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <functional>

// Where the week timeline draws each program: seven 24-hour bars (日 … 土)
// stacked in `plot`, time signals and chimes as ticks, timers and repeats
// as spans that carry over midnight onto the next day's bar (土 onto 日).
// Worked out without widgets so that the geometry can be checked.
namespace WhenRuns {

struct TimelineMark {
    enum class Kind { Tick, Span };
    Kind kind = Kind::Tick;
    int program = 0;               // index into the rows laid out
    int day = 0;                   // bar: 0 日 … 6 土
    int fromSecond = 0;            // within the day
    int toSecond = 0;              // equal to fromSecond for a tick
    bool fromPreviousDay = false;  // the part of a span after midnight
    bool toNextDay = false;        // a span that goes on past midnight
    QRectF rect;                   // a tick is 3 px wide, over the bar or a lane of it
    QString label;                 // the tune of a chime, the interval of a repeat ("10分"); on the
                                   // first of ticks too close to label one by one, their count ("3件")
    QRectF labelRect;              // empty when the label has no room
};

struct TimelineLayout {
    QRectF plot;
    double labelStrip = 14.0;  // above each bar; only chimes label their ticks there
    QList<TimelineMark> marks;

    // The row of a day and the bar inside it (below the labels of the ticks).
    QRectF row(int day) const;
    QRectF bar(int day) const;
    double xOf(int second) const;
    // The marks under `point`, in the order of `marks`: the spans containing
    // it and the ticks within 3 px on that bar.
    QList<int> marksAt(const QPointF& point) const;
};

// Spans that overlap, and ticks too close to tell apart, share a bar in at
// most this many lanes.
constexpr int TimelineMaxLanes = 4;

using TextWidth = std::function<double(const QString&)>;

// `type` is the circuit's program type; rows are its week programs.
TimelineLayout LayoutTimeline(const QList<WeekRow>& rows, int type, const QRectF& plot, const TextWidth& textWidth);

}  // namespace WhenRuns
