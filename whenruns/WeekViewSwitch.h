#pragma once
#include <QWidget>

class QRadioButton;
class QStackedWidget;
class WeekTimeline;

// The week list's choice between its grid ("一覧") and the week timeline
// ("タイムライン"). It holds the list area and the timeline in one stacked
// area; the timeline is refilled from the store whenever the list is.
class WeekViewSwitch : public QWidget
{
    Q_OBJECT
public:
    WeekViewSwitch(QWidget* listArea, QWidget* parent);

    // The stacked list area and timeline, for the window's layout.
    QWidget* area() const;
    bool timelineShown() const;
    // The list now shows this circuit (0 none): redraw the timeline.
    void showCircuit(int circuit);

signals:
    void timelineToggled(bool shown);

private:
    void Option_View_Click(int index);
    void refreshTimeline();

    int m_circuit = 0;
    QRadioButton* Option_View[2];
    QStackedWidget* m_area;
    WeekTimeline* m_timeline;
};
