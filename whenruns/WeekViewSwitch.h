#pragma once
#include "week/WeekViewChoice.h"

class QRadioButton;
class QStackedWidget;
class WeekTimeline;

// The week list's choice between its grid ("一覧") and the week timeline
// ("タイムライン"). It holds the list area and the timeline in one stacked
// area; the timeline is refilled from the store whenever the list is.
class WeekViewSwitch : public WeekViewChoice
{
    Q_OBJECT
public:
    WeekViewSwitch(QWidget* listArea, QWidget* parent);
    // The week list's opener hands this to Form_Week.
    static WeekViewChoice* create(QWidget* listArea, QWidget* window);

    QWidget* area() const override;
    bool timelineShown() const;
    void showCircuit(int circuit) override;

private:
    void Option_View_Click(int index);
    void refreshTimeline();

    int m_circuit = 0;
    QRadioButton* Option_View[2] = {};
    QStackedWidget* m_area = nullptr;
    WeekTimeline* m_timeline = nullptr;
};
