#pragma once
#include "week/WeekViewChoice.h"

class QRadioButton;
class ScheduleDocument;
class QStackedWidget;
class WeekTimeline;

// The week list's choice between its grid ("一覧") and the week timeline
// ("タイムライン"). It holds the list area and the timeline in one stacked
// area; the timeline is refilled from the store whenever the list is.
class WeekViewSwitch : public WeekViewChoice
{
    Q_OBJECT
public:
    WeekViewSwitch(ScheduleDocument& document, QWidget* listArea, QWidget* parent);
    // What the week list's opener hands to Form_Week: switches showing the
    // programs of `document`.
    static WeekViewMaker makerFor(ScheduleDocument& document);

    QWidget* area() const override;
    bool timelineShown() const;
    void showCircuit(int circuit) override;

private:
    void Option_View_Click(int index);
    void refreshTimeline();

    ScheduleDocument& m_document;
    int m_circuit = 0;
    QRadioButton* Option_View[2] = {};
    QStackedWidget* m_area = nullptr;
    WeekTimeline* m_timeline = nullptr;
};
