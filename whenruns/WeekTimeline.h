#pragma once
#include "whenruns/TimelineLayout.h"

#include <QWidget>

// The week programs of one circuit drawn on seven 24-hour bars (日 … 土):
// time signals and chimes as ticks (chimes labelled with their tune),
// timers and repeats as spans carried over midnight onto the next day's
// bar. Hovering shows every program under the pointer.
class WeekTimeline : public QWidget
{
    Q_OBJECT
public:
    explicit WeekTimeline(QWidget* parent = nullptr);

    void setPrograms(int type, const QList<WeekRow>& rows);
    const WhenRuns::TimelineLayout& currentLayout() const { return m_layout; }
    // The programs under a point, one a line, as the tooltip shows them;
    // empty when none.
    QString programTextAt(const QPointF& point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();
    QRectF plotRect() const;
    void paintScale(QPainter& painter) const;
    void paintSpans(QPainter& painter) const;
    void paintTicks(QPainter& painter) const;

    int m_type = 0;
    QList<WeekRow> m_rows;
    WhenRuns::TimelineLayout m_layout;
};
